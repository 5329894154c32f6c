#include "util/decimal.h"

#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

namespace util {

std::optional<double> decimalValue(std::string_view text) {
    if (text.empty() || text.front() == '+' || text.front() == ' ') return std::nullopt;
    double value = 0;
#if defined(__cpp_lib_to_chars)
    const auto end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || ptr != end) return std::nullopt;
#else
    // Without floating-point from_chars (older Apple libraries): a stream in
    // the classic locale, so a user's decimal comma never changes the reading.
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    in >> std::noskipws >> value;
    if (in.fail() || in.peek() != std::char_traits<char>::eof()) return std::nullopt;
#endif
    if (!std::isfinite(value)) return std::nullopt; // "inf" and "nan" are words here
    return value;
}

} // namespace util
