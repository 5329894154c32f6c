#include "controls/settingsfile.h"

#include "util/constants.h"

#include <algorithm>

namespace controls {

std::optional<std::string> settingsLine(std::string_view contents) {
    const auto end = contents.find_first_of("\r\n");
    const std::string_view line = contents.substr(0, end);
    if (line.empty() || line.size() > kMaxSettingsLine) return std::nullopt;
    const bool control = std::any_of(line.begin(), line.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
    if (control) return std::nullopt;
    return std::string(line);
}

std::string settingsText(std::string_view loaddirectory) {
    return std::string(loaddirectory) + std::string(util::CRLF);
}

} // namespace controls
