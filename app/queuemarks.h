#pragma once
// Shows in the command queue what each line will do: commands and their
// values in the colours of the token menu, comments grey, a wavy underline
// under what likely does not say what was meant and a red one under what the
// compiler would refuse, and the reason as a tool tip (messageAt).
//
// Follows typing after kMarkPause; a line edited since shows plain until
// then. Only formats for display: the text, the cursor and the undo history
// stay as they are.
#include <QColor>
#include <QHash>
#include <QSyntaxHighlighter>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace app {

inline constexpr std::chrono::milliseconds kMarkPause{150};

class QueueMarks : public QSyntaxHighlighter {
    Q_OBJECT
  public:
    explicit QueueMarks(QPlainTextEdit* editor);

    // Reads the queue and marks it now, without the pause.
    void refresh();
    // The reason shown for the mark at a position of the document, or "".
    QString messageAt(int position) const;

    // The queue as compile() is given it (every line break CR LF), and where
    // each of its lines starts: in it, and in the document (its block, and
    // the index in that block). An ASCII line's bytes are its characters.
    struct Queue {
        std::string text;
        std::vector<std::size_t> lineAt;
        std::vector<int> blockOf;
        std::vector<int> indexOf;
        std::vector<bool> ascii;
    };
    static Queue queueOf(const QTextDocument* document);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    QTimer m_pause;
    QColor readable(const QColor& colour);
    QColor m_page; // the queue's background, which the colours must read on
    QHash<QRgb, QColor> m_readable;
};

} // namespace app
