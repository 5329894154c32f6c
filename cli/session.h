#pragma once
// One conversation with a module over a Port: send frames, keep decoding
// whatever arrives, and wait for the answers a command expects. A wait ends
// early when the port fails or a stop signal (platform/stopsignals.h) comes.
// A power-up report that is the first frame to arrive greets the connection
// and is left out: the command's output starts after it.
#include "link/modulesession.h"
#include "link/port.h"
#include "link/recorder.h"

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace cli {

// The local time of day, "13:05:42.117".
std::string timeOfDay();

class Session {
  public:
    explicit Session(serial::Port& port);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Frames whose answers count for failure(): the codes the command awaits.
    void watchFailuresOf(std::set<std::string> codes) { m_watched = std::move(codes); }

    // Every frame sent ("> ") and received ("< ") on standard error, after
    // the time of day.
    void setVerbose(bool verbose) { m_verbose = verbose; }
    // Off: no view is kept, for a session that runs without end.
    void setKeepView(bool keep) { m_keepView = keep; }
    // Every frame sent and received, and a lost port, recorded there too.
    void setRecorder(serial::Recorder* recorder) { m_engine.setRecorder(recorder); }

    void send(std::string_view frame);
    // Keeps decoding for the given time.
    void pause(std::chrono::milliseconds time);
    // Decodes until done() holds (true), the limit has passed, the port has
    // failed or a stop signal has come (false).
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Until count answers with one of the codes have come since the start.
    bool waitFor(std::initializer_list<std::string_view> commandCodes, int count,
                 std::chrono::milliseconds limit);

    int answers(std::string_view commandCode) const;
    const std::string& view() const { return m_view; }
    bool failed() const { return !m_failure.empty(); }
    // The first failure a watched answer reported, as a sentence (protocol::failureOf).
    const std::string& failure() const { return m_failure; }
    bool portLost() const { return m_engine.portLost(); }
    const QString& portError() const { return m_engine.portError(); }
    // The stop signal that came (SIGINT...), or 0.
    int stoppedBy() const;

    // Called with each frame as it is cut, before its effect is applied.
    std::function<void(std::string_view)> onFrame;
    // Each frame as it is written, and each one cut but the greeting, with
    // the time it went or came; for what a command writes besides its view.
    using Clock = std::chrono::system_clock;
    std::function<void(bool sent, std::string_view frame, Clock::time_point when)> onTraffic;

  private:
    void arrived(std::string_view frame, const protocol::FrameEffect& effect);
    bool interrupted() const { return portLost() || stoppedBy() != 0; }

    // Callbacks and connections live in the engine, which dies with the
    // session: nothing calls into a session that is gone.
    serial::ModuleSession m_engine;
    std::string m_view;
    std::map<std::string, int, std::less<>> m_codes;
    std::set<std::string> m_watched;
    std::string m_failure;
    bool m_firstFrame = true;
    bool m_verbose = false;
    bool m_keepView = true;
};

} // namespace cli
