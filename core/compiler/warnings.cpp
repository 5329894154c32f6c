#include "compiler/warnings.h"

#include "compiler/elements.h"
#include "compiler/language.h"
#include "util/ascii.h"

#include <algorithm>

namespace compiler {

namespace {

bool isHexDigit(char c) {
    return util::isDigit(c) || (util::asciiLower(c) >= 'a' && util::asciiLower(c) <= 'f');
}

// A comment line that starts with a blank but reads as commands: its first
// word and where that stands, or nothing. Comment lines are no part of what
// the compiler reads, so they are read here on their own.
template <typename OnLine> void forEachBlankLedLine(std::string_view queue, OnLine onLine) {
    forEachLine(queue, [&](std::string_view line, std::size_t number, std::size_t pos) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] != ' ') return;
        std::size_t first = 0;
        while (first < line.size() && !isElementChar(line[first]))
            ++first;
        std::size_t end = first;
        while (end < line.size() && isElementChar(line[end]))
            ++end;
        if (end > first && findCommand(line.substr(first, end - first)))
            onLine(line, number, pos + first, pos + end);
    });
}

std::string str(std::string_view text) {
    return std::string(text);
}

// What a value given on its command's line makes the module do, when that is
// unlikely what was meant; empty otherwise.
std::string valueWarning(const Command& command, std::string_view keyword, std::string_view value) {
    const std::string said = str(keyword) + " " + str(value);
    const std::string sent = "0x" + byteToken(value);
    if (value.size() >= 2 && (value[1] == 'x' || value[1] == 'X')) {
        const auto digits = value.substr(2);
        const auto bad =
            std::find_if(digits.begin(), digits.end(), [](char c) { return !isHexDigit(c); });
        if (digits.empty()) return said + " has no digits after \"0x\", so it sends " + sent;
        if (bad != digits.end())
            return said + ": \"" + std::string(1, *bad) + "\" is not a hex digit, so it sends " +
                   sent;
        if (digits.size() > 2)
            return said + " has more than two hex digits; only the first two count, so it sends " +
                   sent;
        return {};
    }
    const bool allHex = std::all_of(value.begin(), value.end(), isHexDigit);
    const bool anyLetter = std::any_of(value.begin(), value.end(),
                                       [](char c) { return isHexDigit(c) && !util::isDigit(c); });
    // Two digits after a write read like the hex byte of an address or a datum.
    const bool twoDigits = command.keyword == "write" && value.size() == 2 && value[0] != '0' &&
                           util::isDigit(value[0]) && util::isDigit(value[1]);
    if (allHex && (anyLetter || twoDigits))
        return said + " is read as decimal, so it sends " + sent + "; hex takes \"0x\" (" +
               str(keyword) + " 0x" + util::asciiUpper(value) + ")";
    if (byteValue(value) >= 255.5)
        return said + " is above 255: only its low 8 bits are sent, " + sent;
    return {};
}

std::string_view missingWhat(Parameter parameter) {
    switch (parameter) {
    case Parameter::Read:
        return "ack or nack";
    case Parameter::Supply:
        return "voltage";
    default:
        return "value";
    }
}

// Reads the queue as compile() does, on past a refused word so that what
// follows is checked too; unidentified, when given, gets the first refused
// element, the one the compile alert names.
std::vector<Warning> walk(std::string_view queue, std::optional<ElementAt>* unidentified) {
    std::vector<Warning> warnings;
    auto refuse = [&](ElementAt element) {
        if (unidentified && !*unidentified) *unidentified = std::move(element);
    };
    forEachBlankLedLine(
        queue, [&](std::string_view line, std::size_t number, std::size_t begin, std::size_t end) {
            const auto first = line.find_first_not_of(' ');
            warnings.push_back({number,
                                "the line starts with a blank, so it is a comment and \"" +
                                    str(line.substr(first)) + "\" is not sent",
                                begin, end});
        });

    const Elements read = readElements(queue);
    const auto& elements = read.items;
    const std::size_t n = elements.size();
    for (std::size_t m = 0; m < n; ++m) {
        const Element& e = elements[m];
        const std::string_view word = read.word(e);
        if (word.front() == ';') continue;
        const Command* command = findCommand(word);
        if (!command) {
            refuse({e.line, str(word), e.begin, e.end});
            continue;
        }
        if (command->parameter == Parameter::None) continue;
        const std::string what(missingWhat(command->parameter));
        if (m + 1 == n) {
            if (command->parameter == Parameter::Supply) {
                refuse({e.line, "", queue.size(), queue.size()});
                break;
            }
            warnings.push_back(
                {e.line,
                 str(word) + " has no " + what + ", so it " +
                     (command->parameter == Parameter::Read ? "ends with nAck" : "sends 0x00"),
                 e.begin, e.end});
            break;
        }
        const Element& p = elements[m + 1];
        const std::string_view value = read.word(p);
        ++m;
        if (p.line != e.line)
            warnings.push_back({e.line,
                                str(word) + " has no " + what + " on its line, so it takes \"" +
                                    str(value) + "\" from line " + std::to_string(p.line),
                                e.begin, e.end});
        if (command->parameter == Parameter::Supply && !supplyToken(value)) {
            refuse({p.line, str(value), p.begin, p.end});
            continue;
        }
        if (command->parameter == Parameter::Byte && p.line == e.line)
            if (auto text = valueWarning(*command, word, value); !text.empty())
                warnings.push_back({e.line, std::move(text), p.begin, p.end});
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    return warnings;
}

} // namespace

std::vector<Warning> scriptWarnings(std::string_view queue) {
    return walk(queue, nullptr);
}

std::optional<ElementAt> unidentifiedElement(std::string_view queue) {
    std::optional<ElementAt> element;
    walk(queue, &element);
    return element;
}

} // namespace compiler
