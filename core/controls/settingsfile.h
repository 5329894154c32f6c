#pragma once
// The settings file: one line, the load directory, then CR LF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace controls {

inline constexpr std::string_view kSettingsFileName = "i2c.ini";
inline constexpr std::size_t kMaxSettingsLine = 4096;

// The load directory the file's contents give, or nullopt where the default
// must serve: no first line, an empty one, one over kMaxSettingsLine bytes or
// one holding a control character. The line ends at CR LF, LF or CR.
std::optional<std::string> settingsLine(std::string_view contents);

// What the file holds for a load directory.
std::string settingsText(std::string_view loaddirectory);

} // namespace controls
