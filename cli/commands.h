#pragma once
// The subcommands of i2cscript. Each returns the process exit status.
#include "compiler/compiler.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCompileError = 1;
inline constexpr int kExitUsage = 2;   // also: the port cannot be used
inline constexpr int kExitFailure = 3; // the module reported a failure
inline constexpr int kExitNoAnswer = 4;

using Arguments = std::vector<std::string>;

int compileCommand(const Arguments& args);
int decodeCommand(const Arguments& args);

std::string usage();

// The input named by the single optional FILE argument (standard input when
// absent or "-"); nothing, after a message on standard error, when the
// arguments or the file are unusable.
std::optional<std::string> commandInput(const Arguments& args, const std::string& command);

// Writes the alert to standard error; returns kExitCompileError.
int reportCompileError(const compiler::Alert& alert);

} // namespace cli
