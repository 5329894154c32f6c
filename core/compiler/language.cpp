#include "compiler/language.h"

#include "util/ascii.h"
#include "util/decimal.h"
#include "util/hex.h"

namespace compiler {

bool matchesWord(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (util::asciiLower(text[i]) != lowerWord[i]) return false;
    }
    return true;
}

const Command* findCommand(std::string_view element) {
    for (const auto& command : kCommands)
        if (matchesWord(element, command.keyword)) return &command;
    return nullptr;
}

std::string_view readToken(std::string_view parameter) {
    return matchesWord(parameter, kReadAckWord) ? kReadAckToken : kReadNackToken;
}

std::optional<std::string_view> supplyToken(std::string_view parameter) {
    for (const auto& choice : kSupplyChoices)
        if (matchesWord(parameter, choice.word)) return choice.token;
    return std::nullopt;
}

std::string supplyChoicesText() {
    std::string text;
    for (std::size_t i = 0; i < kSupplyChoices.size(); ++i) {
        if (i > 0) text += i + 1 == kSupplyChoices.size() ? " or " : ", ";
        std::string word(kSupplyChoices[i].word);
        word.front() = util::asciiUpper(word.front());
        text += word;
    }
    return text;
}

namespace {

// Length of the leading decimal number: digits, a fraction, an exponent.
std::size_t numberLength(std::string_view s) {
    std::size_t i = 0, digits = 0;
    while (i < s.size() && util::isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && util::isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && util::isDigit(s[j])) {
            while (j < s.size() && util::isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

double byteValue(std::string_view parameter) {
    if (parameter.size() >= 2 && (parameter[1] == 'x' || parameter[1] == 'X'))
        return util::hextolong(parameter.substr(2, 2));
    auto length = numberLength(parameter);
    // Zero too when the number is too large to hold.
    return length > 0 ? util::decimalValue(parameter.substr(0, length)).value_or(0) : 0;
}

std::string byteToken(std::string_view parameter) {
    return util::hexpad(byteValue(parameter), 2);
}

std::chrono::microseconds delayOf(std::string_view token, int value) {
    const auto steps = std::chrono::microseconds(value + 1);
    if (token == kDelayMicrosToken) return steps;
    if (token == kDelayMillisToken) return steps * 1000;
    return {};
}

bool takesByte(std::string_view token) {
    for (const auto& command : kCommands)
        if (command.parameter == Parameter::Byte && command.token == token) return true;
    return false;
}

std::chrono::microseconds requestedDelay(std::string_view tokens) {
    std::chrono::microseconds total{0};
    for (std::size_t i = 0; i + 2 <= tokens.size(); i += 2) {
        const auto token = tokens.substr(i, 2);
        if (!takesByte(token) || i + 4 > tokens.size()) continue;
        i += 2;
        total += delayOf(token, util::hextolong(tokens.substr(i, 2)));
    }
    return total;
}

} // namespace compiler
