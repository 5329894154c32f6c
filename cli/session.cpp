#include "cli/session.h"

#include "cli/io.h"
#include "platform/stopsignals.h"
#include "protocol/decoder.h"
#include "protocol/outcome.h"

#include <QTime>

#include <utility>

namespace cli {

namespace {

void showFrame(std::string_view direction, std::string_view frame) {
    if (!frame.empty() && frame.back() == '\r') frame.remove_suffix(1);
    writeErr(timeOfDay() + " " + std::string(direction) + " " + std::string(frame) + "\n");
}

} // namespace

Session::Session(serial::Port& port) : m_engine(port) {
    m_engine.onFrame = [this](std::string_view frame, const protocol::FrameEffect& effect) {
        arrived(frame, effect);
    };
    m_engine.onSent = [this](std::string_view frame) {
        if (m_verbose) showFrame(">", frame);
        if (onTraffic) onTraffic(true, frame, Clock::now());
    };
    // Said at once, as it happens; the command goes on.
    QObject::connect(
        &m_engine, &serial::ModuleSession::recordingStopped, &m_engine, [](const QString& error) {
            writeErr("i2cscript: the recording stopped: " + error.toStdString() + "\n");
        });
    if (auto* stops = platform::StopSignals::current())
        QObject::connect(stops, &platform::StopSignals::stopped, &m_engine,
                         &serial::ModuleSession::cancelWaits);
}

std::string timeOfDay() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toStdString();
}

void Session::arrived(std::string_view frame, const protocol::FrameEffect& effect) {
    if (m_verbose) showFrame("<", frame);
    // The first frame after opening, when it is a power-up report, greets
    // the connection (as the simulator greets each client); the command's
    // output starts after it.
    if (std::exchange(m_firstFrame, false) && protocol::isPowerUpReport(frame)) return;
    if (onTraffic) onTraffic(false, frame, Clock::now());
    if (onFrame) onFrame(frame);
    auto code = protocol::commandCodeOf(frame);
    if (m_failure.empty() && m_watched.count(code)) m_failure = protocol::failureOf(frame);
    ++m_codes[std::move(code)];
    if (m_keepView) protocol::applyToView(m_view, effect);
}

void Session::send(std::string_view frame) {
    m_engine.send(frame);
}

int Session::answers(std::string_view commandCode) const {
    const auto found = m_codes.find(commandCode);
    return found == m_codes.end() ? 0 : found->second;
}

int Session::stoppedBy() const {
    const auto* stops = platform::StopSignals::current();
    return stops ? stops->raised() : 0;
}

void Session::pause(std::chrono::milliseconds time) {
    waitUntil([] { return false; }, time);
}

bool Session::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (interrupted()) return false;
    const bool ok = m_engine.waitUntil(done, limit);
    return !interrupted() && ok;
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
