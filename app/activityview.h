#pragma once
// The bus activity view: append-only, bounded, and cheap per line however
// long it grows. It follows the newest line unless the user has scrolled up
// to read; a line left open (a WRITE without its Ack yet) is continued by the
// next text.
//
// Text shows at once when the view has been quiet for a while; under a
// stream of arrivals it is gathered and shown kFlushInterval apart, since
// each insertion costs the text layout far more than its lines do.
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>
#include <string_view>

namespace app {

inline constexpr int kMaxActivityLines = 20000;
inline constexpr std::chrono::milliseconds kFlushInterval{100};

class ActivityView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit ActivityView(QWidget* parent = nullptr);

    // text: lines ended by CR LF, the last one maybe open; one character a byte.
    void append(std::string_view text);
    // Empties the view, text not yet shown included.
    void clearView();
    // Shows what was gathered; then toPlainText() holds everything.
    void flush();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void setTabStops();

    QString m_pending;
    qsizetype m_pendingLines = 0;
    bool m_replace = false; // the pending lines alone fill the view
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
};

} // namespace app
