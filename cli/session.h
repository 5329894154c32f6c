#pragma once
// One conversation with a module over a Port: send frames, keep decoding
// whatever arrives, and wait for the answers a command expects.
#include "link/port.h"
#include "protocol/receiver.h"

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace cli {

class Session {
  public:
    explicit Session(serial::Port& port);

    // Frames whose answers count for failure(): the codes the command awaits.
    void watchFailuresOf(std::set<std::string> codes) { m_watched = std::move(codes); }

    void send(std::string_view frame);
    // Keeps decoding for the given time.
    void pause(std::chrono::milliseconds time);
    // Decodes until count answers with the code have arrived since the
    // session began, the limit has passed (false) or the port failed (false).
    bool waitFor(std::string_view commandCode, int count, std::chrono::milliseconds limit);

    int answers(std::string_view commandCode) const;
    const std::string& view() const { return m_view; }
    bool failed() const { return m_failed; }
    bool portLost() const { return !m_portError.isEmpty(); }
    const QString& portError() const { return m_portError; }

    // Called with each frame as it is cut, before its effect is applied.
    std::function<void(std::string_view)> onFrame;

  private:
    void arrived();

    serial::Port& m_port;
    protocol::Receiver m_receiver;
    std::string m_view;
    std::multiset<std::string> m_codes;
    std::set<std::string> m_watched;
    bool m_failed = false;
    QString m_portError;
};

} // namespace cli
