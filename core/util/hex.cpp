#include "util/hex.h"

#include <algorithm>
#include <cmath>

namespace util {

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::int32_t hextolong(std::string_view text) {
    // Shifting out the high digits keeps exactly the last eight.
    std::uint32_t value = 0;
    for (char c : text) {
        int d = digitValue(c);
        if (d >= 0) value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

std::string hexpad(double value, int width) {
    std::uint64_t bits = 0;
    if (std::isfinite(value)) {
        constexpr double two64 = 18446744073709551616.0;
        constexpr double two63 = 9223372036854775808.0;
        // fmod is exact; the low 64 bits are all that can be shown.
        double low = std::fmod(std::nearbyint(value), two64); // rounds half to even
        if (low >= 0)
            bits = static_cast<std::uint64_t>(low);
        else if (low >= -two63)
            bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(low));
        else
            bits = static_cast<std::uint64_t>(low + two64);
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    do {
        hex.insert(hex.begin(), digits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    std::string padded = std::string(18, '0') + hex;
    if (width <= 0) return {};
    auto keep = std::min(padded.size(), static_cast<std::size_t>(width));
    return padded.substr(padded.size() - keep);
}

} // namespace util
