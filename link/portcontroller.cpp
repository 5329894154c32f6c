#include "link/portcontroller.h"

#include "link/portnames.h"
#include "link/portsettings.h"

#include <QFileInfo>

namespace serial {

PortController::PortController(QObject* parent, QString programFolder)
    : Port(parent), m_programFolder(std::move(programFolder)) {
    m_port.setParent(this); // found by tests that play a removed adapter
    connect(&m_port, &QSerialPort::readyRead, this, &PortController::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &PortController::onError);
    m_gather.setSingleShot(true);
    m_gather.setInterval(kGatherInterval);
    connect(&m_gather, &QTimer::timeout, this, &PortController::gathered);
}

void PortController::onReadyRead() {
    // Gathering: the byte that filled the buffer waits for the interval.
    if (m_gather.isActive()) return;
    // A stream: the last piece came just before, or what came while
    // gathering was there at once when it ended.
    auto within = [](const QElapsedTimer& t) {
        return t.isValid() && t.elapsed() < kStreamGap.count();
    };
    const bool streaming = within(m_sinceArrival) || within(m_sinceGathered);
    m_sinceArrival.start();
    m_sinceGathered.invalidate();
    emit dataArrived();
    if (streaming && m_port.isOpen()) {
        m_port.setReadBufferSize(1);
        m_gather.start();
    }
}

void PortController::gathered() {
    m_sinceGathered.start();
    if (!m_port.isOpen()) return;
    m_port.setReadBufferSize(0);
    // Reading what waits makes QtSerialPort read from the device again.
    emit dataArrived();
}

void PortController::setSpeed(qint32 bitsPerSecond) {
    m_speed = bitsPerSecond;
    if (m_port.isOpen()) m_port.setBaudRate(bitsPerSecond);
}

OpenResult PortController::open(const QString& name, const QString& settings) {
    close();
    const auto parsed = parseSettings(settings);
    if (!parsed.settings) return {false, parsed.error};
    const auto& s = *parsed.settings;

    const auto where = m_programFolder.isEmpty()
                           ? resolvePortName(name)
                           : resolvePortName(name, m_programFolder, presentAdapters());
    if (!where.found()) return {false, QStringLiteral("Cannot open %1: %2.").arg(name, where.how)};

    m_port.setPortName(where.device);
    m_port.setBaudRate(s.speed);
    m_port.setParity(s.parity);
    m_port.setDataBits(s.dataBits);
    m_port.setStopBits(s.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(0);
    if (!m_port.open(QIODevice::ReadWrite))
        return {false, openFailure(name, where.device, where.how)};
    m_speed = s.speed;
    m_name = name;
    m_device = where.device;
    m_sinceArrival.invalidate();
    m_sinceGathered.invalidate();
    return {true, {}};
}

QString PortController::openFailure(const QString& name, const QString& device,
                                    const QString& how) const {
    QString text = QStringLiteral("Cannot open %1").arg(name);
    if (device != name) text += QStringLiteral(" (%1, %2)").arg(device, how);
    text += QStringLiteral(": %1.").arg(m_port.errorString());

    const QFileInfo info(device);
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError:
        text += QStringLiteral("\nThe device is not there: check that the adapter is plugged in.");
        break;
    case QSerialPort::PermissionError: {
#ifdef Q_OS_WIN
        // Windows reports a port that another program holds as access denied.
        const bool inUse = true;
#else
        const bool inUse = info.exists() && info.isReadable() && info.isWritable();
#endif
        if (inUse) {
            text += QStringLiteral("\nThe device is in use by another program, or locked by "
                                   "one that ended without closing it. Close that program "
                                   "and try again.");
        } else {
            const bool groupMayUse =
                info.permission(QFileDevice::ReadGroup | QFileDevice::WriteGroup);
            if (groupMayUse && !info.group().isEmpty()) {
                text += QStringLiteral("\nYour user may not use %1. Join the group that owns "
                                       "it: sudo usermod -aG %2 $USER, then log out and in again.")
                            .arg(device, info.group());
            } else {
                text += QStringLiteral("\nYour user may not use %1: it needs read and write "
                                       "permission on it, which only its owner %2 has.")
                            .arg(device, info.owner());
            }
        }
        break;
    }
    case QSerialPort::UnsupportedOperationError:
        text += QStringLiteral("\n%1 is not a serial device.").arg(device);
        break;
    default:
        break;
    }
    return text;
}

bool PortController::present(const QString& name) const {
    const auto where = m_programFolder.isEmpty()
                           ? resolvePortName(name)
                           : resolvePortName(name, m_programFolder, presentAdapters());
    return where.found() && QFileInfo::exists(where.device);
}

void PortController::close() {
    m_gather.stop();
    if (!m_port.isOpen()) return;
    m_port.close();
}

void PortController::write(const QByteArray& data) {
    if (m_port.isOpen()) m_port.write(data);
}

QByteArray PortController::read() {
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void PortController::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        error != QSerialPort::WriteError)
        return;
    if (!m_port.isOpen()) return;
    const QString port = m_name == m_device ? m_name : m_name + " (" + m_device + ")";
    const QString text = QStringLiteral("%1 stopped working: %2. The port is closed.")
                             .arg(port, m_port.errorString());
    m_port.close();
    emit errorOccurred(text);
}

} // namespace serial
