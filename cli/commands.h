#pragma once
// The subcommands of i2cscript. Each returns the process exit status.
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCompileError = 1;
inline constexpr int kExitUsage = 2;

using Arguments = std::vector<std::string>;

int compileCommand(const Arguments& args);
int decodeCommand(const Arguments& args);

std::string usage();

} // namespace cli
