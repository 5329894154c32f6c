#pragma once
// The line commands that the simulator takes on standard input, for playing
// the outside world: the interrupt input, the sensor's temperature, resets.
//
// A line that is no command parses to an error text for the user; nothing
// here acts on the module.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace sim {

inline constexpr std::string_view kConsoleCommands =
    "int 0|1, temp CELSIUS, reset, wdt, flood COUNT, noise COUNT, help, quit";

// What "help" answers: each command and what it does, a line each.
inline constexpr std::string_view kConsoleHelp =
    "int 0|1       the interrupt input low or high (the module reports the change)\n"
    "temp CELSIUS  the LM75's temperature, -55 to 125\n"
    "reset         a power-up reset\n"
    "wdt           a watchdog reset\n"
    "flood COUNT   COUNT interrupt reports back to back\n"
    "noise COUNT   COUNT characters of line noise\n"
    "help          this list\n"
    "quit          stop the simulator";

struct ConsoleCommand {
    enum class Kind { Nothing, Interrupt, Temperature, Reset, Watchdog, Flood, Noise, Help, Quit };
    Kind kind = Kind::Nothing; // Nothing: an empty line
    bool level = false;        // Interrupt
    double celsius = 0;        // Temperature
    std::uint64_t count = 0;   // Flood: that many interrupt reports; Noise: characters
};

// A command, or what is wrong with the line: for a known command, what it
// takes ("temp takes degrees from -55 to 125").
std::variant<ConsoleCommand, std::string> parseConsoleLine(std::string_view line);

// The sensor's range, in degrees Celsius.
inline constexpr double kLowestCelsius = -55;
inline constexpr double kHighestCelsius = 125;

// One line that says what the command does ("interrupt input low"); empty
// for an empty line.
std::string confirmation(const ConsoleCommand& command);

} // namespace sim
