#include "sim/console.h"

#include "util/ascii.h"
#include "util/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace sim {

namespace {

using Kind = ConsoleCommand::Kind;

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        const auto begin = line.find_first_not_of(" \t\r\n", i);
        if (begin == std::string_view::npos) break;
        const auto end = std::min(line.find_first_of(" \t\r\n", begin), line.size());
        out.push_back(line.substr(begin, end - begin));
        i = end;
    }
    return out;
}

template <typename Number> bool readNumber(std::string_view text, Number& value) {
    const auto end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && ptr == end;
}

} // namespace

std::variant<ConsoleCommand, std::string> parseConsoleLine(std::string_view line) {
    const auto w = words(line);
    ConsoleCommand command;
    if (w.empty()) return command;
    const std::string name = util::asciiLower(w[0]);
    const std::string_view argument = w.size() == 2 ? w[1] : std::string_view{};
    const bool one = w.size() == 1;
    if (name == "reset" || name == "wdt" || name == "quit" || name == "help") {
        if (!one) return name + " takes no argument";
        command.kind = name == "reset"  ? Kind::Reset
                       : name == "wdt"  ? Kind::Watchdog
                       : name == "help" ? Kind::Help
                                        : Kind::Quit;
    } else if (name == "int") {
        if (argument != "0" && argument != "1") return "int takes 0 (input low) or 1 (input high)";
        command.kind = Kind::Interrupt;
        command.level = argument == "1";
    } else if (name == "temp") {
        const auto celsius = util::decimalValue(argument);
        if (!celsius || !(*celsius >= kLowestCelsius && *celsius <= kHighestCelsius))
            return "temp takes degrees from -55 to 125";
        command.kind = Kind::Temperature;
        command.celsius = *celsius;
    } else if (name == "flood" || name == "noise") {
        if (!readNumber(argument, command.count))
            return name + " takes a count, a whole number from 0";
        command.kind = name == "flood" ? Kind::Flood : Kind::Noise;
    } else {
        return "unknown command \"" + std::string(line.substr(0, 80)) +
               "\" (commands: " + std::string(kConsoleCommands) + ")";
    }
    return command;
}

std::string confirmation(const ConsoleCommand& command) {
    switch (command.kind) {
    case Kind::Nothing:
        return {};
    case Kind::Interrupt:
        return command.level ? "interrupt input high" : "interrupt input low";
    case Kind::Temperature: {
        char text[64];
        std::snprintf(text, sizeof text, "sensor at %g degrees", command.celsius);
        return text;
    }
    case Kind::Reset:
        return "power-up reset";
    case Kind::Watchdog:
        return "watchdog reset";
    case Kind::Flood:
        return "sending " + std::to_string(command.count) + " interrupt reports";
    case Kind::Noise:
        return "sending " + std::to_string(command.count) + " characters of noise";
    case Kind::Help:
        return std::string(kConsoleHelp);
    case Kind::Quit:
        return "quitting";
    }
    return {};
}

} // namespace sim
