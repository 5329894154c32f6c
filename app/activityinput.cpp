// What the user does to the activity view: the mouse and its drag past an
// edge, the caret keys, Ctrl+A and Ctrl+C, and the context menu. The lines,
// the geometry and the painting are in activityview.cpp.
#include "app/activityview.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace app {

void ActivityView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    m_dragging = true;
    m_dragAt = event->position().toPoint();
    m_cursor = placeAt(m_dragAt);
    if (!(event->modifiers() & Qt::ShiftModifier)) m_anchor = m_cursor;
    viewport()->update();
    announceSelection();
}

void ActivityView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    m_dragAt = event->position().toPoint();
    // Past an edge the view scrolls on while the button is held.
    if (viewport()->rect().contains(m_dragAt))
        m_dragTimer.stop();
    else if (!m_dragTimer.isActive())
        m_dragTimer.start();
    m_cursor = placeAt(m_dragAt);
    viewport()->update();
}

void ActivityView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    m_dragging = false;
    m_dragTimer.stop();
    announceSelection();
}

// Faster the further the pointer is past the edge: a line a tick, and one
// more for each line's height beyond.
void ActivityView::dragScroll() {
    if (!m_dragging) return m_dragTimer.stop();
    const int height = lineHeight();
    const QRect inside = viewport()->rect();
    qint64 rows = 0;
    if (m_dragAt.y() < inside.top()) rows = -(1 + (inside.top() - m_dragAt.y()) / height);
    if (m_dragAt.y() > inside.bottom()) rows = 1 + (m_dragAt.y() - inside.bottom()) / height;
    if (rows != 0) {
        m_top = std::clamp(m_top + rows, m_first, bottomTop());
        m_follow = m_top == bottomTop();
        syncScrollBars();
    }
    QScrollBar* h = horizontalScrollBar();
    if (m_dragAt.x() < inside.left()) h->setValue(h->value() - h->singleStep());
    if (m_dragAt.x() > inside.right()) h->setValue(h->value() + h->singleStep());
    m_cursor = placeAt(m_dragAt);
    viewport()->update();
}

// The caret keys of a text view, by the platform's own key bindings.
bool ActivityView::moveByKey(QKeyEvent* event) {
    enum class Motion {
        CharBack,
        Char,
        LineUp,
        LineDown,
        PageUp,
        PageDown,
        Start,
        End,
        First,
        Last
    };
    using Key = QKeySequence::StandardKey;
    static const struct {
        Key move, select;
        Motion motion;
    } keys[] = {
        {Key::MoveToPreviousChar, Key::SelectPreviousChar, Motion::CharBack},
        {Key::MoveToNextChar, Key::SelectNextChar, Motion::Char},
        {Key::MoveToPreviousLine, Key::SelectPreviousLine, Motion::LineUp},
        {Key::MoveToNextLine, Key::SelectNextLine, Motion::LineDown},
        {Key::MoveToPreviousPage, Key::SelectPreviousPage, Motion::PageUp},
        {Key::MoveToNextPage, Key::SelectNextPage, Motion::PageDown},
        {Key::MoveToStartOfLine, Key::SelectStartOfLine, Motion::Start},
        {Key::MoveToEndOfLine, Key::SelectEndOfLine, Motion::End},
        {Key::MoveToStartOfDocument, Key::SelectStartOfDocument, Motion::First},
        {Key::MoveToEndOfDocument, Key::SelectEndOfDocument, Motion::Last},
    };
    for (const auto& key : keys) {
        const bool extend = event->matches(key.select);
        if (!extend && !event->matches(key.move)) continue;
        Place at = clamped(m_cursor);
        auto lineTo = [&](qint64 number) {
            number = std::clamp(number, m_first, lastLine());
            return Place{number, std::min(at.index, line(number).size())};
        };
        switch (key.motion) {
        case Motion::CharBack:
            if (at.index > 0)
                --at.index;
            else if (at.line > m_first)
                at = {at.line - 1, line(at.line - 1).size()};
            break;
        case Motion::Char:
            if (at.index < line(at.line).size())
                ++at.index;
            else if (at.line < lastLine())
                at = {at.line + 1, 0};
            break;
        case Motion::LineUp:
            at = lineTo(at.line - 1);
            break;
        case Motion::LineDown:
            at = lineTo(at.line + 1);
            break;
        case Motion::PageUp:
            at = lineTo(at.line - visibleRows());
            break;
        case Motion::PageDown:
            at = lineTo(at.line + visibleRows());
            break;
        case Motion::Start:
            at.index = 0;
            break;
        case Motion::End:
            at.index = line(at.line).size();
            break;
        case Motion::First:
            at = {m_first, 0};
            break;
        case Motion::Last:
            at = {lastLine(), m_open.size()};
            break;
        }
        moveCaret(at, extend);
        return true;
    }
    return false;
}

void ActivityView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (!moveByKey(event))
        QAbstractScrollArea::keyPressEvent(event);
}

void ActivityView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &ActivityView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    const auto [from, to] = selection();
    copyAction->setEnabled(from != to);
    menu.addAction(tr("Select &All"), this, &ActivityView::selectAll)
        ->setShortcut(QKeySequence::SelectAll);
    if (!m_menuActions.isEmpty()) {
        menu.addSeparator();
        menu.addActions(m_menuActions);
    }
    menu.exec(event->globalPos());
}

} // namespace app
