#include "sim/console.h"

#include "util/ascii.h"
#include "util/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    const auto usage = "unknown command \"" + std::string(line.substr(0, 80)) +
                       "\" (commands: " + std::string(kConsoleCommands) + ")";

    if (w.size() == 1) {
        if (name == "reset") command.kind = Kind::Reset;
        if (name == "wdt") command.kind = Kind::Watchdog;
        if (name == "quit") command.kind = Kind::Quit;
    } else if (w.size() == 2) {
        if (name == "int" && (w[1] == "0" || w[1] == "1")) {
            command.kind = Kind::Interrupt;
            command.level = w[1] == "1";
        }
        if (const auto celsius = util::decimalValue(w[1]); name == "temp" && celsius) {
            command.kind = Kind::Temperature;
            command.celsius = *celsius;
        }
        if (name == "flood" && readNumber(w[1], command.count)) command.kind = Kind::Flood;
        if (name == "noise" && readNumber(w[1], command.count)) command.kind = Kind::Noise;
    }
    if (command.kind == Kind::Nothing) return usage;
    return command;
}

} // namespace sim
