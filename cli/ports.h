#pragma once
// "i2cscript ports": what each COM name opens now, and the serial adapters
// present with their stable names, so a user can tell which port is which.
#include "cli/options.h"

namespace cli {

// The names the window offers.
inline constexpr int kComNames = 8;

int portsCommand(const CommandLine& line);

} // namespace cli
