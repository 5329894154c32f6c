#pragma once
// Program-wide control characters used wherever lines and frames are built.
#include <string_view>

namespace util {

inline constexpr std::string_view CR = "\r";
inline constexpr std::string_view LF = "\n";
inline constexpr std::string_view CRLF = "\r\n";
inline constexpr std::string_view TAB = "\t";
inline constexpr std::string_view FF = "\f";
inline constexpr std::string_view ESC = "\x1b";
inline constexpr std::string_view QUOTE = "\"";
inline constexpr std::string_view BS = "\b";
inline constexpr std::string_view DEL = "\x7f";
inline constexpr std::string_view ACK = "\x06";
inline constexpr std::string_view NAK = "\x15";

} // namespace util
