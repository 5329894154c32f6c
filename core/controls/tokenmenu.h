#pragma once
// The token menu (`Label2`) and its value boxes (`tokenvalue`), without
// widgets: one table that the window's layout, its click handler and the
// queue's colours all read.
#include "compiler/language.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace controls {

struct TokenEntry {
    int index;                // the member of Label2
    std::string_view caption; // as the menu shows it: code, then command
    std::string_view command; // what a click writes, before a value
    int valueBox;             // the tokenvalue member beside it; -1: none
    compiler::Group group;    // its colour
    std::string_view tip;
};

inline constexpr std::string_view kDelayTip = "Delay is (nn + 20)uS";

// In the order the menu shows them, top down.
inline constexpr auto kTokenMenu = std::to_array<TokenEntry>({
    {0, "00     Start", "Start", -1, compiler::Group::Bus, {}},
    {1, "01 HH  Write  0x", "Write  0x", 0, compiler::Group::Bus, {}},
    {2, "02     Read   Ack", "Read   Ack", -1, compiler::Group::Bus, {}},
    {5, "03     Read   Nack", "Read   Nack", -1, compiler::Group::Bus, {}},
    {3, "04     Stop", "Stop", -1, compiler::Group::Bus, {}},
    {6, "10     Speed", "Speed", -1, compiler::Group::Speed, {}},
    {4, "05 HH  Delayu 0x", "Delayu 0x", 1, compiler::Group::Delay, kDelayTip},
    {22, "06 HH  Delaym 0x", "Delaym 0x", 2, compiler::Group::Delay, kDelayTip},
    {7, "20     GP0LO", "GP0LO", -1, compiler::Group::Output, {}},
    {8, "21     GP0HI", "GP0HI", -1, compiler::Group::Output, {}},
    {9, "30     GP1LO", "GP1LO", -1, compiler::Group::Output, {}},
    {10, "31     GP1HI", "GP1HI", -1, compiler::Group::Output, {}},
    {11, "40     GP2LO", "GP2LO", -1, compiler::Group::Output, {}},
    {12, "41     GP2HI", "GP2HI", -1, compiler::Group::Output, {}},
    {13, "50     GP3LO", "GP3LO", -1, compiler::Group::Output, {}},
    {14, "51     GP3HI", "GP3HI", -1, compiler::Group::Output, {}},
    {15, "60     ReadInt", "ReadInt", -1, compiler::Group::Output, {}},
    {16, "70     SetV   Open", "SetV   Open", -1, compiler::Group::Supply, {}},
    {17, "71     SetV   2.5", "SetV   2.5", -1, compiler::Group::Supply, {}},
    {18, "72     SetV   3.0", "SetV   3.0", -1, compiler::Group::Supply, {}},
    {19, "73     SetV   3.5", "SetV   3.5", -1, compiler::Group::Supply, {}},
    {20, "74     SetV   4.0", "SetV   4.0", -1, compiler::Group::Supply, {}},
    {21, "75     SetV   5.0", "SetV   5.0", -1, compiler::Group::Supply, {}},
    {23, "80     SCL0", "SCL0", -1, compiler::Group::Lines, {}},
    {24, "81     SCL1", "SCL1", -1, compiler::Group::Lines, {}},
    {25, "82     SDA0", "SDA0", -1, compiler::Group::Lines, {}},
    {26, "83     SDA1", "SDA1", -1, compiler::Group::Lines, {}},
    {28, "90     SCL?", "SCL?", -1, compiler::Group::Lines, {}},
    {27, "92     SDA?", "SDA?", -1, compiler::Group::Lines, {}},
});

// The entry of a Label2 member, or nullptr.
const TokenEntry* tokenEntry(int label2Index);

// What a value box shows after it is read or left: "0" when it holds no
// non-zero hex value, otherwise its text unchanged.
std::string settledValueText(std::string_view boxText);

// The line a click writes: the entry's command, then, for an entry with a
// value box, the box's settled text as two characters ("5" -> "05"), then
// CR LF.
std::string tokenCommandLine(const TokenEntry& entry, std::string_view valueBoxText = {});

inline constexpr std::size_t kValueBoxLength = 2;

// What a value box holds for a text however it comes (typed, pasted,
// dropped): hex digits, lower case made upper, at most kValueBoxLength of
// them (empty too); nullopt for any other text, which the box refuses.
std::optional<std::string> valueBoxText(std::string_view text);

} // namespace controls
