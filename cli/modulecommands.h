#pragma once
// The subcommands that talk to a module over a serial port. Each returns the
// process exit status and prints the bus activity view (scan: its grid).
#include "cli/commands.h"

namespace cli {

int runCommand(const Arguments& args);
int pingCommand(const Arguments& args);
int controlCommand(const Arguments& args);
int scanCommand(const Arguments& args);

} // namespace cli
