#pragma once
// Decimal text -> number, the same under every locale and standard library.
#include <optional>
#include <string_view>

namespace util {

// The value of text when all of it is one decimal number ("12", "-0.5",
// "2.5e3"); nothing when it is not, or when the value does not fit a double.
std::optional<double> decimalValue(std::string_view text);

} // namespace util
