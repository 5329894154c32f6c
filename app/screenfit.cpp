#include "app/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace app {

namespace {

// Qt's own scroll on Tab keeps 50 pixels around the focus, and centres what
// cannot have them: a tall box then loses its edges though it would fit.
class ContentArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    void bringIntoSight(QWidget* w) {
        const QSize spare = viewport()->size() - w->size();
        constexpr int kMargin = 8;
        ensureWidgetVisible(w, std::clamp(spare.width() / 2, 0, kMargin),
                            std::clamp(spare.height() / 2, 0, kMargin));
    }

  protected:
    bool focusNextPrevChild(bool next) override {
        if (!QWidget::focusNextPrevChild(next)) return false;
        if (QWidget* w = focusWidget()) bringIntoSight(w);
        return true;
    }
};

} // namespace

ScreenFit::ScreenFit(QWidget* window, QWidget* content)
    : QObject(window), m_window(window), m_content(content) {
    m_area = new ContentArea(window);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setFocusPolicy(Qt::NoFocus);
    m_area->setBackgroundRole(QPalette::Window);
    m_area->setWidget(content);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area);
    window->setMaximumSize(content->size());
    window->setMinimumSize(content->size());
    window->resize(content->size());
    window->installEventFilter(this);
    // Tab, a click or a shortcut may give the focus to a control out of sight.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_content->isAncestorOf(now))
            static_cast<ContentArea*>(m_area)->bringIntoSight(now);
    });
}

// What the window manager adds around the window: known once it has framed
// it; until then a title bar and borders of the style's size are allowed for.
QSize ScreenFit::frameExtra() const {
    const QSize known = m_window->frameGeometry().size() - m_window->geometry().size();
    if (!known.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return known;
    const QStyle* style = m_window->style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return {2 * border, style->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
}

void ScreenFit::fit() {
    const QScreen* screen = m_window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize extra = frameExtra();
    const QSize content = m_content->size();
    // A scroll bar in one direction takes room from the other: the window
    // grows by its width where the screen allows, so one bar is enough.
    const int bar = m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize free = area.size() - extra;
    QSize most = content;
    if (free.height() < content.height()) most.rwidth() += bar;
    if (free.width() < content.width()) most.rheight() += bar;
    const QSize room = free.boundedTo(most);
    m_window->setMinimumSize(room);
    m_window->setMaximumSize(most);
    m_window->resize(m_placed ? m_window->size().boundedTo(room) : room);
    // Placed once on the free area, centred; moved only where it would stand
    // out of it. After that the user places it.
    QRect frame(m_window->pos(), m_window->size() + extra);
    if (!m_placed) frame.moveCenter(area.center());
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (frame.topLeft() != m_window->pos()) m_window->move(frame.topLeft());
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show && !m_placed) {
        fit();
        m_placed = true;
        if (QWindow* handle = m_window->windowHandle()) {
            connect(handle, &QWindow::screenChanged, this, [this](QScreen* screen) {
                fit();
                if (screen)
                    connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFit::fit,
                            Qt::UniqueConnection);
            });
            if (QScreen* screen = handle->screen())
                connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFit::fit,
                        Qt::UniqueConnection);
        }
        // The frame is known once the window manager has put it on.
        QTimer::singleShot(200, this, &ScreenFit::fit);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
