#pragma once
// ASCII-only character classes: script text and the wire are 8-bit, and
// bytes >= 0x80 must never change or count as letters.
#include <string>
#include <string_view>

namespace util {

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr bool isHexDigit(char c) {
    return isDigit(c) || (asciiLower(c) >= 'a' && asciiLower(c) <= 'f');
}

// True for the empty text too.
constexpr bool isHexText(std::string_view text) {
    for (char c : text)
        if (!isHexDigit(c)) return false;
    return true;
}

inline std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        c = asciiUpper(c);
    return out;
}

inline std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        c = asciiLower(c);
    return out;
}

} // namespace util
