#include "cli/session.h"

#include "cli/io.h"
#include "platform/stopsignals.h"
#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <utility>

namespace cli {

Session::Session(serial::Port& port) : m_port(port) {
    QObject::connect(&m_port, &serial::Port::dataArrived, &m_port, [this] { arrived(); });
    QObject::connect(&m_port, &serial::Port::errorOccurred, &m_port,
                     [this](const QString& description) {
                         m_portError = description;
                         if (m_recorder) m_recorder->event(description.toStdString());
                         checkRecording();
                     });
}

std::string timeOfDay() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString();
}

namespace {

void showFrame(std::string_view direction, std::string_view frame) {
    if (!frame.empty() && frame.back() == '\r') frame.remove_suffix(1);
    writeErr(timeOfDay() + " " + std::string(direction) + " " + std::string(frame) + "\n");
}

} // namespace

void Session::arrived() {
    const QByteArray data = m_port.read();
    m_receiver.receiveFrames(
        std::string_view(data.constData(), data.size()), [this](std::string_view frame) {
            if (m_verbose) showFrame("<", frame);
            const auto effect =
                m_recorder || m_keepView ? protocol::decodeFrame(frame) : protocol::FrameEffect{};
            if (m_recorder) m_recorder->received(frame, effect.append);
            checkRecording();
            // The first frame after opening, when it is a power-up report,
            // greets the connection (as the simulator greets each client);
            // the command's output starts after it.
            if (std::exchange(m_firstFrame, false) && protocol::isPowerUpReport(frame)) return;
            if (onFrame) onFrame(frame);
            auto code = protocol::commandCodeOf(frame);
            if (m_failure.empty() && m_watched.count(code)) m_failure = protocol::failureOf(frame);
            m_codes.insert(std::move(code));
            if (m_keepView) protocol::applyToView(m_view, effect);
        });
}

void Session::send(std::string_view frame) {
    if (m_verbose) showFrame(">", frame);
    if (m_recorder) m_recorder->sent(frame);
    checkRecording();
    m_port.write(QByteArray(frame.data(), static_cast<qsizetype>(frame.size())));
}

// Said at once, as it happens; the command goes on.
void Session::checkRecording() {
    if (!m_recorder || !m_recorder->failed() || m_recordFailureSaid) return;
    m_recordFailureSaid = true;
    writeErr("i2cscript: the recording stopped: " + m_recorder->error().toStdString() + "\n");
}

int Session::answers(std::string_view commandCode) const {
    return static_cast<int>(m_codes.count(std::string(commandCode)));
}

int Session::stoppedBy() const {
    const auto* stops = platform::StopSignals::current();
    return stops ? stops->raised() : 0;
}

void Session::pause(std::chrono::milliseconds time) {
    waitUntil([] { return false; }, time);
}

bool Session::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (!done() && !interrupted()) {
        QEventLoop loop;
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        auto check = [&] {
            if (done() || interrupted()) loop.quit();
        };
        // Queued, so the frames of an arrival are decoded before the check.
        QObject::connect(&m_port, &serial::Port::dataArrived, &loop, check, Qt::QueuedConnection);
        QObject::connect(&m_port, &serial::Port::errorOccurred, &loop, check, Qt::QueuedConnection);
        if (auto* stops = platform::StopSignals::current())
            QObject::connect(stops, &platform::StopSignals::stopped, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !interrupted() && done();
}

bool Session::waitFor(std::initializer_list<std::string_view> commandCodes, int count,
                      std::chrono::milliseconds limit) {
    return waitUntil(
        [&] {
            int n = 0;
            for (auto code : commandCodes)
                n += answers(code);
            return n >= count;
        },
        limit);
}

} // namespace cli
