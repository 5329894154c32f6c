#pragma once
// "i2cscript examples [N]": the built-in example scripts, as the window's
// example list holds them.
#include "cli/options.h"

namespace cli {

int examplesCommand(const CommandLine& line);

} // namespace cli
