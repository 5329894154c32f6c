#include "platform/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#include <vector>
#endif

namespace platform {

namespace {

#ifndef _WIN32
// Reads fd to its end. A signal's EINTR is no failure: the stop descriptor
// says whether the signal was one that ends the program.
bool readAll(int fd, int stopFd, std::string& data, bool& stopped) {
    std::vector<pollfd> watched{{fd, POLLIN, 0}};
    if (stopFd >= 0) watched.push_back({stopFd, POLLIN, 0});
    char chunk[65536];
    for (;;) {
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (watched.size() > 1 && watched[1].revents != 0) {
            stopped = true;
            return false;
        }
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return true;
        if (n > 0)
            data.append(chunk, static_cast<std::size_t>(n));
        else if (errno != EINTR && errno != EAGAIN)
            return false;
    }
}
#endif

} // namespace

std::optional<std::string> readInput(const std::string& name, std::string& error, int stopFd) {
    const bool standardInput = name.empty() || name == "-";
    std::FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
    if (!in) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string data;
    bool stopped = false;
#ifdef _WIN32
    (void)stopFd;
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        data.append(chunk, n);
    const bool failed = std::ferror(in) != 0;
#else
    // A folder opens but fails on the first read (EISDIR).
    const bool failed = !readAll(fileno(in), stopFd, data, stopped);
#endif
    const int reason = errno;
    if (!standardInput) std::fclose(in);
    if (stopped) {
        error = kStopped;
        return std::nullopt;
    }
    if (failed) {
        error = std::strerror(reason);
        return std::nullopt;
    }
    return data;
}

} // namespace platform
