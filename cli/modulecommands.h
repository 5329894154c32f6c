#pragma once
// The subcommands that talk to a module over a serial port. Each returns the
// process exit status and prints the bus activity view (scan: its grid).
#include "cli/commands.h"

namespace cli {

int runCommand(const CommandLine& line);
int pingCommand(const CommandLine& line);
int controlCommand(const CommandLine& line);
int scanCommand(const CommandLine& line);
// Until a stop signal or the port's loss.
int monitorCommand(const CommandLine& line);

} // namespace cli
