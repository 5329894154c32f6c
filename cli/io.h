#pragma once
// Byte-exact output for the command-line program; its input is platform::readInput.
#include <string>
#include <string_view>

namespace cli {

// View text for a terminal: each CR LF becomes a newline, all else stays.
std::string viewToLines(std::string_view view);

void writeOut(std::string_view text);
// False when standard output could not take everything written to it.
bool flushOut();
void writeErr(std::string_view text);

} // namespace cli
