#include "cli/session.h"

#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QEventLoop>
#include <QTimer>

namespace cli {

Session::Session(serial::Port& port) : m_port(port) {
    QObject::connect(&m_port, &serial::Port::dataArrived, &m_port, [this] { arrived(); });
    QObject::connect(&m_port, &serial::Port::errorOccurred, &m_port,
                     [this](const QString& description) { m_portError = description; });
}

void Session::arrived() {
    const QByteArray data = m_port.read();
    m_receiver.receiveFrames(std::string_view(data.constData(), data.size()),
                             [this](std::string_view frame) {
                                 if (onFrame) onFrame(frame);
                                 auto code = protocol::commandCodeOf(frame);
                                 if (m_watched.count(code) && protocol::reportsFailure(frame))
                                     m_failed = true;
                                 m_codes.insert(std::move(code));
                                 protocol::applyToView(m_view, protocol::decodeFrame(frame));
                             });
}

void Session::send(std::string_view frame) {
    m_port.write(QByteArray(frame.data(), static_cast<qsizetype>(frame.size())));
}

int Session::answers(std::string_view commandCode) const {
    return static_cast<int>(m_codes.count(std::string(commandCode)));
}

void Session::pause(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Session::waitFor(std::string_view commandCode, int count, std::chrono::milliseconds limit) {
    auto done = [&] { return portLost() || answers(commandCode) >= count; };
    if (!done()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        auto check = [&] {
            if (done()) loop.quit();
        };
        auto data = QObject::connect(&m_port, &serial::Port::dataArrived, &loop, check,
                                     Qt::QueuedConnection);
        auto error = QObject::connect(&m_port, &serial::Port::errorOccurred, &loop, check,
                                      Qt::QueuedConnection);
        timer.start(limit);
        loop.exec();
        QObject::disconnect(data);
        QObject::disconnect(error);
    }
    return !portLost() && answers(commandCode) >= count;
}

} // namespace cli
