#include "app/activityview.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextCursor>

namespace app {

ActivityView::ActivityView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // The open last line is a block of its own: one more than the lines kept.
    setMaximumBlockCount(kMaxActivityLines + 1);
    setTabStops();
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &ActivityView::flush);
}

void ActivityView::append(std::string_view text) {
    if (text.empty()) return;
    // The line carries ASCII: any other byte is noise and shows as itself,
    // one character a byte, never as a character of some far script.
    const QString added = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    m_pending += added;
    m_pendingLines += added.count(QLatin1Char('\n'));
    // Faster than they can be shown: only the newest lines would stay, so
    // the rest, and all the view holds now, go before they cost anything.
    if (m_pendingLines > 2 * kMaxActivityLines) {
        qsizetype cut = -1;
        for (auto drop = m_pendingLines - kMaxActivityLines; drop > 0; --drop)
            cut = m_pending.indexOf(QLatin1Char('\n'), cut + 1);
        m_pending.remove(0, cut + 1);
        m_pendingLines = kMaxActivityLines;
        m_replace = true;
    }
    if (m_flushTimer.isActive()) return;
    const auto quiet = std::chrono::milliseconds(m_sinceFlush.isValid() ? m_sinceFlush.elapsed()
                                                                        : kFlushInterval.count());
    if (quiet >= kFlushInterval)
        flush();
    else
        m_flushTimer.start(kFlushInterval - quiet);
}

void ActivityView::clearView() {
    m_pending.clear();
    m_pendingLines = 0;
    m_replace = false;
    m_flushTimer.stop();
    clear();
}

void ActivityView::flush() {
    m_flushTimer.stop();
    m_sinceFlush.start();
    if (m_replace) clear();
    m_replace = false;
    if (m_pending.isEmpty()) return;
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(m_pending);
    m_pending.clear();
    m_pendingLines = 0;
    if (following) bar->setValue(bar->maximum());
}

void ActivityView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) setTabStops();
}

void ActivityView::setTabStops() {
    setTabStopDistance(8 * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
}

} // namespace app
