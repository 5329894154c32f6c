#include "link/portkeeper.h"

#include "protocol/frames.h"
#include "protocol/record.h"

#include <utility>

namespace serial {

PortKeeper::PortKeeper(Port& rs232, ModuleSession& session, Clock clock, QObject* parent)
    : QObject(parent), m_rs232(rs232), m_session(session), m_clock(std::move(clock)) {
    m_watch.setInterval(kPortWatchEvery);
    connect(&m_watch, &QTimer::timeout, this, &PortKeeper::look);
    // After the session has recorded the loss.
    connect(&m_session, &ModuleSession::portFailed, this, &PortKeeper::failed);
}

OpenResult PortKeeper::openName(const QString& name) {
    m_session.cancelWaits();
    m_session.endAwait();
    m_rs232.close();
    m_name = name;
    emit portChanged();
    if (name.isEmpty()) return {true, {}};
    if (m_closed) return {false, QStringLiteral("The program is closing.")};
    auto opened = m_rs232.open(
        name, QString::fromLatin1(protocol::kPortSettings.data(),
                                  static_cast<qsizetype>(protocol::kPortSettings.size())));
    if (opened) {
        setNothingSent(false);
    } else {
        m_name.clear();
    }
    return opened;
}

OpenResult PortKeeper::choose(const QString& name) {
    // The user's own choice ends a watch for a lost port at once.
    stopWatching();
    return openName(name);
}

void PortKeeper::close() {
    m_closed = true;
    stopWatching();
    m_rs232.close();
}

void PortKeeper::failed(const QString& description) {
    if (m_closed) return;
    const QString name = std::exchange(m_name, {});
    openName({});
    if (name.isEmpty()) return;
    // An adapter plugged back, a simulator started again: the same name
    // opens again by itself, unless the user chooses otherwise first.
    m_watched = name;
    m_watchingSince = m_clock();
    m_watch.start();
    emit watchChanged();
    emit lost(name, description);
}

std::chrono::milliseconds PortKeeper::watchLeft() const {
    if (!watching()) return {};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        m_watchingSince + kPortWatchLimit - m_clock());
    return std::max(left, std::chrono::milliseconds::zero());
}

void PortKeeper::look() {
    if (!watching()) return;
    if (m_clock() - m_watchingSince > kPortWatchLimit) {
        stopWatching();
        return;
    }
    if (!m_rs232.present(m_watched)) return;
    // One present but failing to open (still starting, held by another
    // program) is tried again at the next look.
    const QString name = m_watched;
    if (!openName(name)) return;
    const QString device = m_rs232.device();
    const QString port =
        device.isEmpty() || device == name ? name : name + QStringLiteral(" (") + device + ')';
    m_session.recordEvent((port + QStringLiteral(" opened again")).toStdString(),
                          protocol::kReturnMark);
    stopWatching();
    emit reopened(name);
}

void PortKeeper::stopWatching() {
    m_watch.stop();
    if (std::exchange(m_watched, {}).isEmpty()) return;
    emit watchChanged();
}

void PortKeeper::setNothingSent(bool marked) {
    if (std::exchange(m_nothingSent, marked) == marked) return;
    emit nothingSentChanged(marked);
}

} // namespace serial
