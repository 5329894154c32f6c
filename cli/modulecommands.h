#pragma once
// The subcommands that talk to a module over a serial port. Each returns the
// process exit status and prints the bus activity view (scan: its grid).
#include "cli/commands.h"
#include "link/port.h"

#include <functional>
#include <memory>

namespace cli {

// Where the commands find their port: a PortController, unless a test
// gives a maker of its own (empty: the PortController again).
using PortMaker = std::function<std::unique_ptr<serial::Port>()>;
void setPortMaker(PortMaker maker);

int runCommand(const CommandLine& line);
int pingCommand(const CommandLine& line);
int controlCommand(const CommandLine& line);
int scanCommand(const CommandLine& line);
// Until a stop signal or the port's loss.
int monitorCommand(const CommandLine& line);

} // namespace cli
