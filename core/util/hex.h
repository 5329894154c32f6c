#pragma once
// Hexadecimal text <-> numbers. Never fail: what is not a hex digit is ignored,
// what does not fit is cut.
#include <cstdint>
#include <string>
#include <string_view>

namespace util {

// Reads the hex digits of text (others are skipped), keeping the last 8, as a
// 32-bit two's complement value. No digit at all gives 0.
std::int32_t hextolong(std::string_view text);

// Upper-case hex of value, rounded half to even, as its last `width` digits,
// padded with zeros (at most 18 of them). Values beyond 64 bits keep their low
// bits, negative ones their 64-bit two's complement; not finite gives zeros.
std::string hexpad(double value, int width);

} // namespace util
