#pragma once
// The help document the window shows. Never fails; any version text is taken
// as it is, even an empty one.
#include <cstddef>
#include <string>
#include <string_view>

#include "util/system.h"

namespace help {

// The help document, character for character: lines ended by CR LF, TABs for
// columns, heavy rules of 140 characters of code 127, light rules of 140 "-".
std::string helpDocument(std::string_view version = util::versiontext());

inline constexpr std::size_t kRuleLength = 140;
inline constexpr char kHeavyRuleChar = 127;

} // namespace help
