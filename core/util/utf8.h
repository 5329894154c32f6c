#pragma once
// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
#include <cstddef>
#include <string_view>

namespace util {

// The bytes of the UTF-8 character that bytes starts with; 0 when bytes is
// empty or does not start with a whole, valid character.
std::size_t utf8Length(std::string_view bytes);

bool isUtf8(std::string_view bytes);

} // namespace util
