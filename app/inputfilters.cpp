#include "app/inputfilters.h"

#include "app/queuemarks.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolTip>

namespace app {

QObject* mouseTarget(QWidget* box) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(box)) return area->viewport();
    return box;
}

DoubleClickAction::DoubleClickAction(QObject* target, std::function<void()> action)
    : QObject(target), m_action(std::move(action)) {}

void DoubleClickAction::install(QWidget* box, std::function<void()> action) {
    QObject* target = mouseTarget(box);
    target->installEventFilter(new DoubleClickAction(target, std::move(action)));
}

bool DoubleClickAction::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return QObject::eventFilter(watched, event);
    m_action();
    return true;
}

QueueKeys::QueueKeys(QPlainTextEdit* queue, const QueueMarks* marks, std::function<void()> send)
    : QObject(queue), m_queue(queue), m_viewport(queue->viewport()), m_marks(marks),
      m_send(std::move(send)) {
    queue->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

bool QueueKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString message =
            m_marks->messageAt(m_queue->cursorForPosition(help->pos()).position());
        if (message.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), message, m_queue->viewport());
        return true;
    }
    if (watched != m_queue || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::ControlModifier) {
        m_send();
        return true;
    }
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        (modifiers & Qt::ControlModifier)) {
        // The window moves the focus for a plain Tab that reaches it.
        const bool forward = key->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier);
        QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
        QCoreApplication::sendEvent(m_queue->window(), &tab);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ChooseOnly::install(QComboBox* list) {
    list->installEventFilter(new ChooseOnly(list));
}

bool ChooseOnly::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool passes = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                            key->key() == Qt::Key_Space;
        if (!passes && !key->text().isEmpty()) return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
