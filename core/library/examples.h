#pragma once
// The built-in example scripts, in the order the example list shows them.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace library {

inline constexpr std::size_t kMaxExampleLines = 11;

struct Example {
    std::string_view title; // the first line without its ";"
    // No example has an empty line: the first empty entry ends the lines.
    std::array<std::string_view, kMaxExampleLines> lines;
};

// Blanks inside the lines are part of the text.
inline constexpr std::array<Example, 8> kExamples = {{
    {"Set Slave interface voltage to 5.0V", {"SetV    5.0"}},
    {"LM75 2Byte Read, [PresetPointer]",
     {"Start", "Write  0x91", "Read   ack", "Read   Nack", "Stop"}},
    {"LM75 Pointer Set, 2Byte Read",
     {"Start", "Write  0x90", "Write  0x02", "Start", "Write  0x91", "Read   ack", "Read   Nack",
      "Stop"}},
    {"LM75 1Byte Config Read, [PresetPointer]", {"Start", "Write  0x91", "Read   Nack", "Stop"}},
    {"LM75 Pointer Set, Config Read",
     {"Start", "Write  0x90", "Write  0x01", "Start", "Write  0x91", "Read   Nack", "Stop"}},
    {"LM75 Config Register Write", {"Start", "Write  0x90", "Write  0x01", "Write  0x12", "Stop"}},
    {"LM75 Tos / Thyst Write",
     {"Start", "Write  0x90", "Write  0x02", "Write  0x34", "Write  0x52", "Stop"}},
    {"Walking Pulse Generator",
     {"GP0hi", "Delayu 10", "GP0lo", "GP1hi", "Delayu 0x0a", "GP1lo", "GP2hi", "Delayu 010",
      "GP2lo", "GP3hi", "GP3lo"}},
}};

// The example as the command queue holds it: ";" + title, then its lines,
// every one ended by CR LF. Empty for an index out of range.
std::string exampleScript(std::size_t index);

} // namespace library
