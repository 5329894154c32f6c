#pragma once
// The bus activity view: append-only, bounded to the newest kMaxActivityLines
// lines, and cheap per line however fast they come. A line left open (a
// WRITE without its Ack yet) is continued by the next text.
//
// The lines live in a ring of their own and only the lines in sight are
// drawn: a text document spent 6 to 15 microseconds a line on blocks and
// layout, which at line rate was a large share of a core. Appended text is
// kept at once but shown at flush(), when the window says; the view then
// follows the newest line unless the user has scrolled up to read, and a
// user reading keeps the same lines in sight while old ones go.
//
// Read-only: the mouse and Shift select, Ctrl+A selects all, Ctrl+C and the
// context menu copy. A double-click is the window's (it empties the view).
#include <QAbstractScrollArea>
#include <QHash>
#include <QStaticText>

#include <deque>
#include <string_view>

namespace app {

inline constexpr int kMaxActivityLines = 20000;

class ActivityView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ActivityView(QWidget* parent = nullptr);

    // text: lines ended by CR LF (a lone CR or LF ends one too), the last
    // one maybe open; one character a byte.
    void append(std::string_view text);
    // Empties the view.
    void clearView();
    // Brings what was appended to the screen.
    void flush();
    bool hasPending() const { return m_pending; }

    // The lines joined by "\n", the open one last: what the view holds.
    QString toPlainText() const;
    QString selectedText() const;
    void selectAll();
    void copy() const;
    qsizetype lineCount() const { return static_cast<qsizetype>(m_lines.size()) + 1; }
    qreal tabStopDistance() const;
    // Offered in the context menu after the view's own.
    void setMenuActions(QList<QAction*> actions) { m_menuActions = std::move(actions); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  public:
    // A place in the text: line (the open line is lineCount() - 1) and the
    // index of a character in it.
    struct Place {
        qsizetype line = 0;
        qsizetype index = 0;
        auto operator<=>(const Place&) const = default;
    };

  private:
    const QString& line(qsizetype index) const;
    void addLine(QString text);
    void updateScrollBars();
    int lineHeight() const;
    qreal charAdvance() const; // a fixed font's column
    Place placeAt(const QPoint& point) const;
    const QStaticText& staticText(const QString& shown) const;

    std::deque<QString> m_lines; // complete lines, oldest first
    QString m_open;              // the line after the last line break
    qsizetype m_longest = 0;     // columns of the longest line, tabs expanded
    qsizetype m_dropped = 0;     // lines gone from the front since the last flush
    bool m_pending = false;
    bool m_lastWasCr = false; // an LF right after it ends no further line
    Place m_anchor, m_cursor; // the selection, when they differ
    mutable QHash<QString, QStaticText> m_laidOut;
    QList<QAction*> m_menuActions;
};

} // namespace app
