#include "fakeport.h"

#include "link/portsettings.h"

#include <utility>

namespace serial {

OpenResult FakePort::open(const QString& name, const QString& settings) {
    close();
    const auto parsed = parseSettings(settings);
    if (!parsed.settings) return {false, parsed.error};
    if (!m_openFailure.isEmpty()) return {false, m_openFailure};
    m_open = true;
    opened.append(name + QLatin1Char(' ') + settings);
    return {true, {}};
}

void FakePort::close() {
    ++closeCalls;
    m_open = false;
}

void FakePort::write(const QByteArray& data) {
    if (m_open) written.append(data);
}

QByteArray FakePort::read() {
    return std::exchange(m_pending, {});
}

void FakePort::deliver(const QByteArray& data) {
    if (!m_open) return;
    m_pending += data;
    emit dataArrived();
}

void FakePort::fail(const QString& description) {
    if (!m_open) return;
    m_open = false;
    emit errorOccurred(description);
}

} // namespace serial
