#pragma once
// ASCII-only character classes: script text and the wire are 8-bit, and
// bytes >= 0x80 must never change or count as letters.
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

} // namespace util
