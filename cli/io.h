#pragma once
// Byte-exact input and output for the command-line program.
#include <optional>
#include <string>
#include <string_view>

namespace cli {

inline constexpr std::string_view kStopped = "stopped";

// The whole of FILE, or of standard input when name is "-" or empty; nothing
// (and a reason in error) when it cannot be read. A wait for more input ends
// as soon as stopFd is readable, with nothing and kStopped in error.
std::optional<std::string> readInput(const std::string& name, std::string& error, int stopFd = -1);

// View text for a terminal: each CR LF becomes a newline, all else stays.
std::string viewToLines(std::string_view view);

void writeOut(std::string_view text);
// False when standard output could not take everything written to it.
bool flushOut();
void writeErr(std::string_view text);

} // namespace cli
