#pragma once
// Program identity and location.
#include <string>

namespace util {

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 6;

// "2.00.06": major as it is, minor and revision as their last two digits.
std::string versiontext(int major = kVersionMajor, int minor = kVersionMinor,
                        int revision = kVersionRevision);

// The folder of the running executable, without a trailing separator unless it
// is a root. Falls back to the current folder when the system cannot tell.
std::string programdirectory();

} // namespace util
