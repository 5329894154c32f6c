#include "app/activityview.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextCursor>

namespace app {

ActivityView::ActivityView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // The open last line is a block of its own: one more than the lines kept.
    setMaximumBlockCount(kMaxActivityLines + 1);
    setTabStops();
}

void ActivityView::append(std::string_view text) {
    if (text.empty()) return;
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (following) bar->setValue(bar->maximum());
}

void ActivityView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) setTabStops();
}

void ActivityView::setTabStops() {
    setTabStopDistance(8 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
}

} // namespace app
