#include "app/overlays.h"

#include "app/inputfilters.h"
#include "app/layout.h"
#include "dialogs/form.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace app {

Overlays::Overlays(const OverlayWidgets& widgets, QObject* parent) : QObject(parent), m_w(widgets) {
    DoubleClickAction::install(m_w.helpbox, [this] { hide(); });
    m_w.connection->installEventFilter(this);
    for (auto* label : m_w.connection->findChildren<QLabel*>())
        label->installEventFilter(this);
}

void Overlays::toggle(QWidget* view) {
    if (!view->isHidden())
        hide();
    else
        show(view);
}

void Overlays::show(QWidget* view) {
    bool switching = false; // from another overlay: where to return stays
    for (QWidget* other : {m_w.helpbox, m_w.connection, m_w.picture}) {
        switching = switching || !other->isHidden();
        if (other != view) other->hide();
    }
    view->setGeometry(dialogs::pixels(kOverlayLeft), dialogs::pixels(kOverlayTop),
                      dialogs::pixels(kOverlayWidth), dialogs::pixels(kOverlayHeight));
    view->show();
    view->raise();
    QWidget* focus = m_w.helpbox->window()->focusWidget();
    const bool covered = focus == m_w.covered[0] || focus == m_w.covered[1];
    for (QWidget* under : m_w.covered)
        under->setFocusPolicy(Qt::NoFocus);
    // The picture is read with the keys: it takes the focus from anywhere,
    // and gives it back. The drawing takes none: its button keeps it.
    const bool onOverlay = focus == m_w.helpbox || focus == m_w.picture;
    if (covered || (view == m_w.picture && !onOverlay && !(switching && m_uncovered)))
        m_uncovered = focus;
    if (covered || onOverlay || view == m_w.picture)
        (view == m_w.connection ? m_w.connectorButton : view)->setFocus();
}

void Overlays::hide() {
    QWidget* focus = m_w.helpbox->window()->focusWidget();
    m_w.helpbox->hide();
    m_w.connection->hide();
    m_w.picture->hide();
    for (QWidget* under : m_w.covered)
        under->setFocusPolicy(Qt::StrongFocus);
    // Unless the user has gone elsewhere meanwhile.
    if (m_uncovered && (!focus || focus == m_w.helpbox || focus == m_w.picture ||
                        focus == m_w.helpButton || focus == m_w.connectorButton))
        m_uncovered->setFocus();
    m_uncovered = nullptr;
}

// The labels take their clicks, which would otherwise go on to the frame.
bool Overlays::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!mouse) return QObject::eventFilter(watched, event);
    if (watched == m_w.connection && type == QEvent::MouseButtonRelease) hide();
    return true;
}

} // namespace app
