#include "sim/terminal.h"

#include "protocol/frames.h"
#include "sim/console.h"
#include "sim/noise.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <limits>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#ifdef __APPLE__
#include <util.h>
#else
#include <pty.h>
#endif
#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace sim {

namespace {

using namespace std::chrono_literals;

// How often a terminal without a client is checked for one, where opens are
// not told.
constexpr auto kHangupCheck = 25ms;
// A client sets the port up after opening it, and some empty its input then
// (pyserial): nothing is sent before a module's start-up would be over.
constexpr auto kStartUp = 25ms;
constexpr auto kConsoleRetry = 1s;
// A wake-up this late still keeps the line's pace; a longer pause does not
// make the line send faster afterwards.
constexpr auto kLineSlack = 5ms;
constexpr auto kCharacterTime = std::chrono::nanoseconds(1s) / protocol::kCharactersPerSecond;
constexpr std::size_t kReadChunk = 512;
// Flood reports are made only as the output drains.
constexpr std::size_t kFloodRefill = 4096;
constexpr std::size_t kMaxScheduled = 256;
constexpr std::size_t kMaxConsoleLine = 256;

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

Terminal::~Terminal() {
    if (m_master >= 0) ::close(m_master);
    if (m_watch >= 0) ::close(m_watch);
}

bool Terminal::open(std::string& error) {
    int slave = -1;
    if (::openpty(&m_master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const char* name = ::ttyname(slave);
    m_devicePath = name ? name : "";
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B115200);
    // Raw before the slave closes: the settings stay with the terminal, so a
    // client never sees an echo. Holding the slave open would hide hang-ups.
    const bool raw = ::tcsetattr(slave, TCSANOW, &settings) == 0;
    if (!raw) error = std::strerror(errno);
    ::close(slave);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    if (m_devicePath.empty() && raw) error = "the pseudo-terminal has no name";
#ifdef __linux__
    // Without the watch (no inotify left), a quick reopen may go unnoticed.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 &&
        ::inotify_add_watch(m_watch, m_devicePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
#endif
    return raw && !m_devicePath.empty();
}

bool Terminal::hungUp() const {
    pollfd p{m_master, 0, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
}

void Terminal::readOpenings() {
#ifdef __linux__
    alignas(inotify_event) char events[4096];
    for (;;) {
        const auto n = ::read(m_watch, events, sizeof events);
        if (n <= 0) return;
        for (const char* at = events; at < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_OPEN) ++m_openers;
            if (event->mask & IN_CLOSE && m_openers > 0) --m_openers;
            // Events lost: someone may have come and gone.
            if (event->mask & IN_Q_OVERFLOW) m_openers = 0;
            if (event->mask & (IN_CLOSE | IN_Q_OVERFLOW) && m_openers == 0) m_emptied = true;
        }
    }
#endif
}

bool Terminal::followClient(Clock::time_point now, bool hangUp) {
    const bool gone = m_connected && (hangUp || m_emptied);
    if (gone) disconnect();
    if (m_connected) return true;
    if (hungUp()) {
        m_openers = 0;
        return !gone;
    }
    connect(now);
    return false;
}

void Terminal::connect(Clock::time_point now) {
    m_connected = true;
    m_emptied = false;
    m_startedAt = now + kStartUp;
    m_lineIdleAt = m_startedAt;
    send(m_module.announce(), now);
}

void Terminal::disconnect() {
    m_connected = false;
    m_emptied = false;
    // What the client left unread would otherwise greet the next one. The
    // slave side keeps a read queue of its own over a hang-up, which only
    // settings given with a flush empty from this side; opening the slave to
    // flush it would look like a client to the watch.
    ::tcflush(m_master, TCIOFLUSH);
    termios settings{};
    if (::tcgetattr(m_master, &settings) == 0) ::tcsetattr(m_master, TCSAFLUSH, &settings);
    m_reader.clear();
    m_input.clear();
    m_scheduled.clear();
    m_output.clear();
    m_flood = 0;
    m_noise = 0;
}

void Terminal::send(Emissions emissions, Clock::time_point now) {
    if (!m_connected) return;
    auto at = busy() ? m_scheduled.back().due : now;
    for (auto& emission : emissions) {
        at += emission.delay;
        if (!busy() && at <= now)
            m_output += emission.text;
        else
            m_scheduled.push_back({at, std::move(emission.text)});
    }
}

void Terminal::release(Clock::time_point now) {
    while (busy() && m_scheduled.front().due <= now) {
        m_output += m_scheduled.front().text;
        m_scheduled.pop_front();
    }
}

void Terminal::takeFrames(Clock::time_point now) {
    std::string_view rest = m_input;
    while (!rest.empty() && !busy() && !outputFull())
        if (auto frame = m_reader.next(rest)) send(m_module.handleFrame(*frame), now);
    m_input.erase(0, m_input.size() - rest.size());
}

void Terminal::refillFlood(Clock::time_point now) {
    while (m_flood > 0 && !busy() && m_output.size() < kFloodRefill) {
        auto report = m_module.floodStep();
        if (report.empty()) {
            m_flood = 0; // a sniffing module reports nothing
            break;
        }
        send(std::move(report), now);
        --m_flood;
    }
}

void Terminal::refillNoise() {
    while (m_noise > 0 && !busy() && m_output.size() < kFloodRefill) {
        const auto count = std::min<std::uint64_t>(m_noise, kReadChunk);
        m_output += noise(m_random, static_cast<std::size_t>(count));
        m_noise -= count;
    }
}

void Terminal::readClient() {
    char chunk[kReadChunk];
    const auto n = ::read(m_master, chunk, sizeof chunk);
    if (n > 0)
        m_input.append(chunk, static_cast<std::size_t>(n));
    else if (n == 0 || !wouldBlock())
        disconnect();
}

Terminal::Clock::time_point Terminal::lineFreeAt(Clock::time_point now) const {
    return m_lineIdleAt + kLineSlack < now ? now : m_lineIdleAt;
}

Terminal::Clock::time_point Terminal::nextWriteAt(Clock::time_point now) const {
    if (m_output.empty()) return now;
    if (!m_lineRate) return std::max(now, m_startedAt);
    // With a write size, a write waits until that many characters are due.
    const std::size_t want = m_writeSize > 0 ? std::min(m_writeSize, m_output.size()) : 1;
    return lineFreeAt(now) + static_cast<long>(want - 1) * kCharacterTime;
}

void Terminal::writeClient(Clock::time_point now) {
    auto count = m_output.size();
    const auto start = lineFreeAt(now);
    if (m_lineRate) {
        if (nextWriteAt(now) > now) return;
        count = std::min(count, static_cast<std::size_t>(1 + (now - start) / kCharacterTime));
    }
    if (m_writeSize > 0) count = std::min(count, m_writeSize);
    const auto n = ::write(m_master, m_output.data(), count);
    if (n < 0) {
        if (!wouldBlock()) disconnect();
        return;
    }
    m_output.erase(0, static_cast<std::size_t>(n));
    m_lineIdleAt = start + n * kCharacterTime;
}

void Terminal::readConsole(int fd, Clock::time_point now) {
    char chunk[kReadChunk];
    const auto n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && wouldBlock()) return;
    if (n < 0 && errno == EIO) {
        m_consoleRetryAt = now + kConsoleRetry;
        return;
    }
    if (n <= 0) {
        m_consoleOpen = false;
        if (!m_consoleLine.empty()) runConsoleLine(m_consoleLine, now);
        return;
    }
    for (char c : std::string_view(chunk, static_cast<std::size_t>(n))) {
        if (c != '\n') {
            if (m_consoleLine.size() < kMaxConsoleLine)
                m_consoleLine.push_back(c);
            else
                m_consoleLineTooLong = true;
            continue;
        }
        if (m_consoleLineTooLong)
            std::cerr << "i2csim: line too long, ignored\n";
        else
            runConsoleLine(m_consoleLine, now);
        m_consoleLine.clear();
        m_consoleLineTooLong = false;
    }
}

void Terminal::runConsoleLine(std::string_view line, Clock::time_point now) {
    const auto parsed = parseConsoleLine(line);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::cerr << "i2csim: " << *message << '\n';
        return;
    }
    const auto& command = std::get<ConsoleCommand>(parsed);
    using Kind = ConsoleCommand::Kind;
    const bool withoutClient =
        (command.kind == Kind::Flood || command.kind == Kind::Noise) && !m_connected;
    if (const auto text = confirmation(command); !text.empty())
        std::cout << (withoutClient ? "no client: not " + text : text) << std::endl;
    switch (command.kind) {
    case Kind::Nothing:
        break;
    case Kind::Interrupt:
        send(m_module.setInterrupt(command.level), now);
        break;
    case Kind::Temperature:
        m_module.setTemperature(command.celsius);
        break;
    case Kind::Reset:
    case Kind::Watchdog:
        // The reset cuts off a running script's answer, a half-received frame
        // and the rest of a flood.
        m_scheduled.clear();
        m_reader.clear();
        m_flood = 0;
        m_noise = 0;
        send(command.kind == Kind::Reset ? m_module.powerUp() : m_module.watchdogReset(), now);
        break;
    case Kind::Flood:
        if (m_connected)
            m_flood = std::min(m_flood, std::numeric_limits<std::uint64_t>::max() - command.count) +
                      command.count;
        break;
    case Kind::Noise:
        if (m_connected)
            m_noise = std::min(m_noise, std::numeric_limits<std::uint64_t>::max() - command.count) +
                      command.count;
        break;
    case Kind::Help:
        break;
    case Kind::Quit:
        m_quit = true;
        break;
    }
}

std::optional<Terminal::Clock::duration> Terminal::pollTimeout(Clock::time_point now) const {
    auto wake = Clock::time_point::max();
    if (!m_connected && m_watch < 0) wake = now + kHangupCheck;
    if (m_consoleOpen && m_consoleRetryAt > now) wake = std::min(wake, m_consoleRetryAt);
    if (busy()) wake = std::min(wake, m_scheduled.front().due);
    // A line that is free already waits for POLLOUT instead.
    if (nextWriteAt(now) > now) wake = std::min(wake, nextWriteAt(now));
    if (wake == Clock::time_point::max()) return std::nullopt;
    return std::max<Clock::duration>(wake - now, Clock::duration::zero());
}

namespace {

// poll, to the nanosecond where it matters and the system can: a character
// at line rate takes 87 microseconds, and written a few at a time the line
// would otherwise fall behind. Otherwise to the millisecond, rounded up:
// waking early would only spin.
int waitFor(pollfd* fds, nfds_t count, std::optional<std::chrono::nanoseconds> timeout, bool fine) {
#ifdef __linux__
    if (!timeout) return ::ppoll(fds, count, nullptr, nullptr);
    if (!fine) *timeout = std::chrono::ceil<std::chrono::milliseconds>(*timeout);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*timeout);
    const timespec wait{static_cast<time_t>(seconds.count()),
                        static_cast<long>((*timeout - seconds).count())};
    return ::ppoll(fds, count, &wait, nullptr);
#else
    (void)fine;
    const int ms =
        timeout ? static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(*timeout).count())
                : -1;
    return ::poll(fds, count, ms);
#endif
}

} // namespace

bool Terminal::run(int consoleFd, int stopFd, std::string& error) {
    followClient(Clock::now(), false);
    while (!m_quit) {
        auto now = Clock::now();
        // A line idle for longer starts afresh now, and stays anchored there
        // while a write waits for its characters to be due.
        m_lineIdleAt = lineFreeAt(now);
        release(now);
        takeFrames(now);
        refillFlood(now);
        refillNoise();

        const bool roomForMore = !outputFull() && m_scheduled.size() < kMaxScheduled;
        short clientEvents = 0;
        if (m_input.empty() && !busy() && roomForMore) clientEvents |= POLLIN;
        if (!m_output.empty() && nextWriteAt(now) <= now) clientEvents |= POLLOUT;
        std::array<pollfd, 4> fds = {{
            {stopFd, POLLIN, 0},
            {m_consoleOpen && roomForMore && m_consoleRetryAt <= now ? consoleFd : -1, POLLIN, 0},
            {m_connected ? m_master : -1, clientEvents, 0},
            {m_watch, POLLIN, 0},
        }};
        if (waitFor(fds.data(), fds.size(), pollTimeout(now), m_writeSize > 0) < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return false;
        }
        if (fds[0].revents) break;
        now = Clock::now();
        const auto client = fds[2].revents;
        // Before anything is read or written: what poll saw of the terminal
        // may be another client's by now. Before the console too, whose lines
        // then act on the client there now.
        if (fds[3].revents) readOpenings();
        const bool sameClient = followClient(now, client & (POLLHUP | POLLERR | POLLNVAL));
        if (fds[1].revents) readConsole(consoleFd, now);
        if (!sameClient) continue;
        if (client & POLLIN) readClient();
        if (client & POLLOUT) writeClient(now);
    }
    return true;
}

} // namespace sim
