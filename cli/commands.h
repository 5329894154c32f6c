#pragma once
// The subcommands of i2cscript. Each returns the process exit status.
#include "cli/options.h"
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

int compileCommand(const CommandLine& line);
int decodeCommand(const CommandLine& line);
int explainCommand(const CommandLine& line);
int blocksCommand(const CommandLine& line);

// The input named by the optional FILE argument (standard input when absent
// or "-"); nothing, after a message on standard error, when it is unreadable.
std::optional<std::string> commandInput(const CommandLine& line);

struct Queue {
    std::string text;
    std::size_t firstLine = 1; // the line of FILE that text starts on
};
// What a command compiles: its input, or with --block that block of FILE.
// Nothing, after a message on standard error, when it is unreadable or has
// no such block.
std::optional<Queue> queueInput(const CommandLine& line);

// Compiles the queue as the window does. The warnings about it go to
// standard error unless line.quiet, then the alert and the line it concerns
// when it does not compile; lines are named as FILE numbers them.
compiler::CompileResult compileInput(const CommandLine& line, const Queue& input);

} // namespace cli
