#pragma once
// The command line's input, read whole: a file or standard input, which may
// be a terminal or a pipe that never ends, so a wait for more can be stopped.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kStopped = "stopped";

// The whole of FILE (its name as the system's bytes), or of standard input
// when name is "-" or empty; nothing, and the reason in error ("No such file
// or directory"), when it cannot be read. A wait for more input ends
// as soon as stopFd is readable, with nothing and kStopped in error. Where
// there is no poll (Windows) stopFd is not watched.
std::optional<std::string> readInput(const std::string& name, std::string& error, int stopFd = -1);

} // namespace platform
