#include "util/utf8.h"

namespace util {

std::size_t utf8Length(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto c = static_cast<unsigned char>(bytes[0]);
    if (c < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (second < low || second > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80) return 0;
    return length;
}

bool isUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = utf8Length(bytes);
        if (length == 0) return false;
        bytes.remove_prefix(length);
    }
    return true;
}

} // namespace util
