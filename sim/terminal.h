#pragma once
// Plays the module on a pseudo-terminal, in real time (POSIX: openpty).
//
// The terminal is raw: no echo, bytes pass unchanged. A client opening it
// hears the power-up report; a client going away takes with it what was half
// received and what was not yet sent, however soon the next one opens (on
// Linux; elsewhere only when the simulator looks between the two). What the
// terminal had already taken and the client left unread is dropped as soon
// as the close is seen: only a client reading within microseconds of its
// open could still hear it. Answers leave when the module's work time is
// over, as fast as the terminal takes them or, with line rate on, at the
// pace of a 115200 8N1 line; a write size cuts each write to the terminal to
// at most that many characters, as an adapter delivers them. Memory stays
// bounded whatever arrives: no frame is taken while a script runs or while
// kMaxWaitingOutput bytes wait, and nothing is read then. Idle, with or
// without a client, it sleeps.
#include "sim/commandreader.h"
#include "sim/model.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::size_t kMaxWaitingOutput = 64 * 1024;

class Terminal {
  public:
    // writeSize: the most characters a write takes; 0: as many as are due.
    Terminal(Module& module, bool lineRate, std::size_t writeSize = 0)
        : m_module(module), m_lineRate(lineRate), m_writeSize(writeSize) {}
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // False, with the system's reason, when no pseudo-terminal can be had.
    bool open(std::string& error);
    const std::string& devicePath() const { return m_devicePath; }

    // Serves the client and the console's line commands until "quit" or until
    // stopFd becomes readable. False, with the reason, when poll fails.
    bool run(int consoleFd, int stopFd, std::string& error);

  private:
    using Clock = std::chrono::steady_clock;
    struct Scheduled {
        Clock::time_point due;
        std::string text;
    };

    bool hungUp() const;
    void readOpenings();
    // Greets a new client, after dropping what was the old one's; true when
    // the client stayed the same. hangUp: poll saw the terminal with no one.
    bool followClient(Clock::time_point now, bool hangUp);
    void connect(Clock::time_point now);
    void disconnect();
    void send(Emissions emissions, Clock::time_point now);
    void release(Clock::time_point now);
    void takeFrames(Clock::time_point now);
    void refillFlood(Clock::time_point now);
    void refillNoise();
    void readClient();
    void writeClient(Clock::time_point now);
    Clock::time_point lineFreeAt(Clock::time_point now) const;
    Clock::time_point nextWriteAt(Clock::time_point now) const;
    void readConsole(int fd, Clock::time_point now);
    void runConsoleLine(std::string_view line, Clock::time_point now);
    // How long poll may sleep; nothing: until something happens.
    std::optional<Clock::duration> pollTimeout(Clock::time_point now) const;
    bool busy() const { return !m_scheduled.empty(); }
    bool outputFull() const { return m_output.size() >= kMaxWaitingOutput; }

    Module& m_module;
    bool m_lineRate;
    std::size_t m_writeSize;
    int m_master = -1;
    std::string m_devicePath;
    bool m_connected = false;
    // Opens and closes of the terminal (inotify), which a close followed at
    // once by an open leaves as the only trace; -1 where there are none.
    int m_watch = -1;
    // Opens seen less closes. Events alike in a row may come as one; a look
    // that finds no one with the terminal open sets it right.
    std::size_t m_openers = 0;
    bool m_emptied = false; // no one had it open since the client was greeted

    CommandReader m_reader;
    std::string m_input; // read from the client, not yet given to the reader
    std::deque<Scheduled> m_scheduled;
    std::string m_output; // due, waiting for the terminal to take it
    std::uint64_t m_flood = 0;
    std::uint64_t m_noise = 0; // characters of noise still to send
    std::mt19937 m_random{20261206};
    Clock::time_point m_lineIdleAt;
    Clock::time_point m_startedAt; // when the client may hear the first character

    bool m_consoleOpen = true;
    // Run in the background of a shell, the console cannot be read (EIO with
    // SIGTTIN ignored) until it is brought to the foreground: try now and then.
    Clock::time_point m_consoleRetryAt;
    std::string m_consoleLine;
    bool m_consoleLineTooLong = false;
    bool m_quit = false;
};

} // namespace sim
