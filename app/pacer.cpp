#include "app/pacer.h"

namespace app {

Pacer::Pacer(std::chrono::milliseconds interval, std::function<void()> show, QObject* parent)
    : QObject(parent), m_interval(interval), m_show(std::move(show)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Pacer::showNow);
}

void Pacer::request() {
    if (m_timer.isActive()) return;
    const auto quiet = std::chrono::milliseconds(m_sinceShown.isValid() ? m_sinceShown.elapsed()
                                                                        : m_interval.count());
    if (quiet >= m_interval)
        showNow();
    else
        m_timer.start(m_interval - quiet);
}

void Pacer::showNow() {
    m_timer.stop();
    m_sinceShown.start();
    ++m_showings;
    m_show();
}

} // namespace app
