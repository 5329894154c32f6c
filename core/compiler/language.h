#pragma once
// The script language: keywords, their TxTokens and how parameters read.
#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace compiler {

enum class Parameter {
    None,   // the keyword alone
    Read,   // next element: "ack" gives 02, anything else 03
    Supply, // next element: one of the supply texts
    Byte,   // next element: a byte value, appended as a second token
};

// What a command works on: the token menu colours its rows by it.
enum class Group {
    Bus,    // start, write, read, stop
    Speed,  // the bus speed query
    Delay,  // the delays
    Output, // the outputs and the interrupt input
    Supply, // the slave supply
    Lines,  // the bus lines driven and read by hand
};

struct Command {
    std::string_view keyword; // lower case; matched without regard to case
    Parameter parameter;
    std::string_view token; // empty for read and setv, whose token depends on the parameter
    std::string_view meaning;
    Group group;
};

inline constexpr auto kCommands = std::to_array<Command>({
    {"start", Parameter::None, "00", "I2C Start condition", Group::Bus},
    {"write", Parameter::Byte, "01", "write a byte; the slave's Ack or nAck is reported",
     Group::Bus},
    {"read", Parameter::Read, "", "read a byte, then Ack (ack) or nAck (any other word)",
     Group::Bus},
    {"stop", Parameter::None, "04", "I2C Stop condition", Group::Bus},
    {"delayu", Parameter::Byte, "05", "delay in microseconds", Group::Delay},
    {"delay", Parameter::Byte, "05", "delay in microseconds", Group::Delay},
    {"delaym", Parameter::Byte, "06", "delay in milliseconds", Group::Delay},
    {"speed", Parameter::None, "10", "report the bus speed", Group::Speed},
    {"gp0lo", Parameter::None, "20", "output 0 low", Group::Output},
    {"gp0hi", Parameter::None, "21", "output 0 high", Group::Output},
    {"gp1lo", Parameter::None, "30", "output 1 low", Group::Output},
    {"gp1hi", Parameter::None, "31", "output 1 high", Group::Output},
    {"gp2lo", Parameter::None, "40", "output 2 low", Group::Output},
    {"gp2hi", Parameter::None, "41", "output 2 high", Group::Output},
    {"gp3lo", Parameter::None, "50", "output 3 low", Group::Output},
    {"gp3hi", Parameter::None, "51", "output 3 high", Group::Output},
    {"readint", Parameter::None, "60", "read the interrupt pin", Group::Output},
    {"setv", Parameter::Supply, "", "set the slave supply", Group::Supply},
    {"scl0", Parameter::None, "80", "drive SCL low", Group::Lines},
    {"scl1", Parameter::None, "81", "release SCL high", Group::Lines},
    {"sda0", Parameter::None, "82", "drive SDA low", Group::Lines},
    {"sda1", Parameter::None, "83", "release SDA high", Group::Lines},
    {"scl?", Parameter::None, "90", "read the SCL pin", Group::Lines},
    {"sda?", Parameter::None, "92", "read the SDA pin", Group::Lines},
    {"badtokentest", Parameter::None, "76", "a token the module does not know", Group::Output},
});

struct Choice {
    std::string_view word; // lower case
    std::string_view token;
};

inline constexpr std::string_view kReadAckWord = "ack";
inline constexpr std::string_view kReadAckToken = "02";
inline constexpr std::string_view kReadNackToken = "03";

inline constexpr auto kSupplyChoices = std::to_array<Choice>({
    {"open", "70"},
    {"2.5", "71"},
    {"3.0", "72"},
    {"3.5", "73"},
    {"4.0", "74"},
    {"5.0", "75"},
});

// The letters, digits and ";_/[].?" make up elements; everything else separates.
constexpr bool isElementChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ';' ||
           c == '_' || c == '/' || c == '[' || c == ']' || c == '.' || c == '?';
}

// A line starting with ";", "/" or a blank (or an empty one) is a comment.
constexpr bool isCommentLine(std::string_view line) {
    return line.empty() || line[0] == ';' || line[0] == '/' || line[0] == ' ';
}

// ASCII case-insensitive equality with a lower-case word.
bool matchesWord(std::string_view text, std::string_view lowerWord);

// The command whose keyword the element is, or nullptr.
const Command* findCommand(std::string_view element);

// The read token for a parameter: 02 for "ack" in any case, else 03.
std::string_view readToken(std::string_view parameter);

// The supply texts as a user writes them, for a message: "Open, 2.5, ... or 5.0".
std::string supplyChoicesText();

// The supply token for a parameter, or nothing when it is not one of the texts.
std::optional<std::string_view> supplyToken(std::string_view parameter);

// The byte value of a parameter: hex after a second character of "x" or "X",
// otherwise the leading decimal number (0 when there is none or it overflows).
double byteValue(std::string_view parameter);

// The two-character token for a parameter's byte value: its low 8 bits.
std::string byteToken(std::string_view parameter);

inline constexpr std::string_view kDelayMicrosToken = "05";
inline constexpr std::string_view kDelayMillisToken = "06";

// How long a delay token with its byte value makes the module wait: (value +
// 1) microseconds or milliseconds; zero for any other token.
std::chrono::microseconds delayOf(std::string_view token, int value);

// True for the tokens that a byte value follows (write and the delays).
bool takesByte(std::string_view token);

// What the delay tokens of a token string ask the module to wait: (hh + 1)
// microseconds or milliseconds each. Tokens are read in pairs of characters,
// a byte value after each token that takes one.
std::chrono::microseconds requestedDelay(std::string_view tokens);

} // namespace compiler
