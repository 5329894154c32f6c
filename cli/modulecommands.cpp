#include "cli/modulecommands.h"

#include "bus/json.h"
#include "bus/picture.h"
#include "cli/io.h"
#include "cli/scan.h"
#include "cli/session.h"
#include "compiler/compiler.h"
#include "link/portcontroller.h"
#include "platform/files.h"
#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "protocol/record.h"
#include "render/picturepainter.h"
#include "util/paths.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace cli {

namespace {

using std::chrono::milliseconds;

using compiler::kAnswerTime;

// Where the picture's strips wrap: a page's width at 96 dpi, about.
constexpr double kPictureWidth = 960;

PortMaker& portMaker() {
    static PortMaker maker;
    return maker;
}

std::unique_ptr<serial::Port> makePort() {
    if (portMaker()) return portMaker()();
    return std::make_unique<serial::PortController>();
}

std::string seconds(milliseconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", time.count() / 1000.0);
    return text;
}

// The port and the session on it; open() says why not when it cannot be.
class Connection {
  public:
    explicit Connection(const CommandLine& line)
        : m_line(line), m_command(line.command), m_port(makePort()), m_session(*m_port) {
        m_session.setVerbose(line.verbose);
        if (line.json || !line.picture.empty())
            m_session.onTraffic = [this](bool sent, std::string_view frame,
                                         Session::Clock::time_point when) {
                traffic(sent, frame, when);
            };
    }

    // The record is begun only once the port is open: a command that cannot
    // talk to the module leaves an earlier record as it was.
    bool open() {
        auto result = m_port->open(
            QString::fromStdString(m_line.port),
            QString::fromUtf8(protocol::kPortSettings.data(), protocol::kPortSettings.size()));
        if (!result) {
            writeErr("i2cscript " + m_command + ": " + result.description.toStdString() + "\n");
            return false;
        }
        if (m_line.record.empty()) return true;
        // Opened by its bytes: a QString would lose those that are not UTF-8.
        const std::string name = util::printableName(m_line.record);
        std::string reason;
        const int fd = platform::openForWriting(m_line.record, m_line.append, reason);
        QString error;
        if (fd < 0 || !m_recorder.start(fd, QString::fromStdString(name), error)) {
            writeErr("i2cscript " + m_command + ": cannot record: " +
                     (fd < 0 ? name + ": " + reason : error.toStdString()) + "\n");
            m_port->close();
            return false;
        }
        m_session.setRecorder(&m_recorder);
        return true;
    }
    Session& session() { return m_session; }
    // The time allowed for an answer: --timeout, else the command's own.
    milliseconds limit(milliseconds otherwise) const { return m_line.timeout.value_or(otherwise); }

    // Prints what the session shows and turns its outcome into the exit status.
    int finish(bool answered, milliseconds limit, bool printView = true) {
        if (printView && !m_line.json) writeOut(viewToLines(m_session.view()));
        const bool pictured = writePicture();
        if (const int signal = m_session.stoppedBy()) {
            writeErr("i2cscript " + m_command + ": stopped\n");
            return 128 + signal;
        }
        if (m_session.portLost()) {
            writeErr("i2cscript " + m_command + ": " + m_session.portError().toStdString() + "\n");
            return kExitUsage;
        }
        if (!answered) {
            writeErr("i2cscript " + m_command + ": no answer from " + portNamed() + " within " +
                     seconds(limit) + " s\n");
            return kExitNoAnswer;
        }
        if (m_session.failed()) {
            writeErr("i2cscript " + m_command + ": " + m_session.failure() + "\n");
            return kExitFailure;
        }
        // The record asked for is not whole (the session said why), or the
        // picture is not there: no success.
        if (m_recorder.failed() || !pictured) return kExitUsage;
        return kExitOk;
    }

  private:
    void traffic(bool sent, std::string_view frame, Session::Clock::time_point when) {
        if (!sent && !m_line.picture.empty()) m_picture.addFrame(frame);
        if (!m_line.json) return;
        const std::string time = protocol::recordTime(when);
        writeOut((sent ? m_json.sent(time, frame) : m_json.received(time, frame)) + "\n");
        // At once, also into a pipe: a program may act on each frame as it comes.
        flushOut();
    }

    // False after saying why the picture asked for could not be written.
    bool writePicture() {
        if (m_line.picture.empty()) return true;
        const auto bytes =
            render::pictureFile(m_picture, 0, m_picture.rows().size(), m_line.pictureFormat);
        std::string error = "it could not be drawn";
        if (bytes && platform::writeWhole(
                         m_line.picture,
                         std::string_view(bytes->constData(), std::size_t(bytes->size())), error))
            return true;
        writeErr("i2cscript " + m_command + ": cannot write the picture: " +
                 util::printableName(m_line.picture) + ": " + error + "\n");
        return false;
    }

    // "COM1 (/dev/ttyS0)": the name as given, and the device it resolved to.
    std::string portNamed() const {
        const std::string device = m_port->device().toStdString();
        const std::string port = util::printableName(m_line.port);
        return device.empty() || device == m_line.port ? port : port + " (" + device + ")";
    }

    const CommandLine& m_line;
    std::string m_command;
    std::unique_ptr<serial::Port> m_port;
    Session m_session;
    serial::Recorder m_recorder;
    bus::JsonStream m_json;
    bus::Picture m_picture{kPictureWidth};
};

struct ControlName {
    std::string_view name;
    std::string_view commandCode;
};

constexpr std::array<ControlName, 9> kControlNames = {{
    {"edge-hl", protocol::code::EdgeHighToLow},
    {"edge-lh", protocol::code::EdgeLowToHigh},
    {"trigger-on", protocol::code::TriggerOn},
    {"trigger-off", protocol::code::TriggerOff},
    {"slow", protocol::code::SpeedSlow},
    {"fast", protocol::code::SpeedFast},
    {"slave", protocol::code::Slave},
    {"store", protocol::code::Store},
    {"replay", protocol::code::Replay},
}};

} // namespace

void setPortMaker(PortMaker maker) {
    portMaker() = std::move(maker);
}

int runCommand(const CommandLine& line) {
    auto input = queueInput(line);
    if (!input) return kExitUsage;
    auto result = compileInput(line, *input);
    if (!result.ok()) return kExitCompileError;

    Connection connection(line);
    if (!connection.open()) return kExitUsage;
    auto& session = connection.session();
    session.watchFailuresOf({std::string(protocol::code::Script)});
    const milliseconds limit = connection.limit(compiler::scriptAnswerTime(result.frame));
    session.send(result.frame);
    return connection.finish(session.waitFor({protocol::code::Script}, 1, limit), limit);
}

int pingCommand(const CommandLine& line) {
    Connection connection(line);
    if (!connection.open()) return kExitUsage;
    auto& session = connection.session();
    const milliseconds limit = connection.limit(kAnswerTime);
    // As the Ping button: the version, a pause, then the configuration.
    session.send(protocol::commandFrame(protocol::code::Version));
    session.pause(protocol::pauseOf(protocol::kControlWait));
    session.send(protocol::commandFrame(protocol::code::Configuration));
    const bool answered = session.waitUntil(
        [&] {
            return session.answers(protocol::code::Version) > 0 &&
                   session.answers(protocol::code::Configuration) > 0;
        },
        limit);
    return connection.finish(answered, limit);
}

int controlCommand(const CommandLine& line) {
    const ControlName* control = nullptr;
    for (const auto& c : kControlNames)
        if (line.arguments.size() == 1 && line.arguments.front() == c.name) control = &c;
    if (!control) {
        writeErr("i2cscript control: NAME is one of edge-hl, edge-lh, trigger-on, trigger-off, "
                 "slow, fast, slave, store, replay\n");
        return kExitUsage;
    }
    Connection connection(line);
    if (!connection.open()) return kExitUsage;
    auto& session = connection.session();
    const std::string code(control->commandCode);
    const bool slave = code == protocol::code::Slave;
    // A slave-mode answer may come with either code.
    const std::string alias(slave ? protocol::code::SlaveAlias : protocol::code::Slave);
    session.watchFailuresOf({code, alias, std::string(protocol::code::Script)});
    // A replay answers after the stored script has run.
    const milliseconds limit = connection.limit(
        code == protocol::code::Replay ? compiler::replayAnswerTime() : kAnswerTime);
    session.send(protocol::commandFrame(code));
    const bool answered =
        slave ? session.waitFor({code, alias}, 1, limit) : session.waitFor({code}, 1, limit);
    return connection.finish(answered, limit);
}

int scanCommand(const CommandLine& line) {
    Connection connection(line);
    if (!connection.open()) return kExitUsage;
    auto& session = connection.session();
    Presence present{};
    const milliseconds limit = connection.limit(kAnswerTime);
    const bool answered = probeBus(session, limit, present);
    // Silent addresses are what a scan is for: their nAcks are no failure.
    const int status = connection.finish(answered, limit, false);
    if (status == kExitOk) {
        std::vector<int> found;
        for (int a = kFirstScanAddress; a <= kLastScanAddress; ++a)
            if (present[static_cast<std::size_t>(a)]) found.push_back(a);
        writeOut(line.json ? bus::scanJson(found) + "\n" : scanGrid(present));
        // On standard error, so the grid alone can be read by a program.
        flushOut();
        writeErr(scanNote(present));
    }
    return status;
}

int monitorCommand(const CommandLine& line) {
    Connection connection(line);
    if (!connection.open()) return kExitUsage;
    auto& session = connection.session();
    session.setKeepView(false);
    session.onFrame = [&](std::string_view frame) {
        if (line.json) return; // written with the frames sent, as they pass
        if (!frame.empty() && frame.back() == '\r') frame.remove_suffix(1);
        std::string text;
        if (line.raw) {
            text = timeOfDay() + "  " + std::string(frame) + "\n";
        } else {
            const std::string lines = viewToLines(protocol::decodeFrame(frame).append);
            std::size_t start = 0;
            while (start < lines.size()) {
                const auto end = std::min(lines.find('\n', start), lines.size());
                if (end > start)
                    text += timeOfDay() + "  " + lines.substr(start, end - start) + "\n";
                start = end + 1;
            }
        }
        // At once, also into a pipe: a monitor is watched as it runs.
        writeOut(text);
        flushOut();
    };
    while (!session.stoppedBy() && !session.portLost())
        session.pause(std::chrono::hours(1));
    return connection.finish(true, {}, false);
}

} // namespace cli
