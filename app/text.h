#pragma once
// Core's text at the window's boundary: bytes read as UTF-8.
#include <QString>

#include <string_view>

namespace app {

inline QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace app
