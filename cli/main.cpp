#include "cli/commands.h"
#include "cli/examplescommand.h"
#include "cli/io.h"
#include "cli/modulecommands.h"
#include "cli/options.h"
#include "cli/ports.h"
#include "platform/stopsignals.h"
#include "util/paths.h"

#include <QCoreApplication>

#include <string>

namespace {

int run(const cli::Arguments& args) {
    using namespace cli;
    auto parsed = parseCommandLine(args);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const auto& line = std::get<CommandLine>(parsed);
    if (line.command == "compile") return compileCommand(line);
    if (line.command == "decode") return decodeCommand(line);
    if (line.command == "explain") return explainCommand(line);
    if (line.command == "blocks") return blocksCommand(line);
    if (line.command == "run") return runCommand(line);
    if (line.command == "ping") return pingCommand(line);
    if (line.command == "control") return controlCommand(line);
    if (line.command == "ports") return portsCommand(line);
    if (line.command == "monitor") return monitorCommand(line);
    if (line.command == "examples") return examplesCommand(line);
    return scanCommand(line);
}

} // namespace

int main(int argc, char** argv) {
    // The port commands need an event loop; the others never start one.
    QCoreApplication app(argc, argv);
    platform::StopSignals stops;
    int status = run(cli::Arguments(argv + 1, argv + argc));
    const bool written = cli::flushOut();
    // A signal ends the program with its status whatever phase it came in.
    if (const int signal = stops.poll()) {
        if (status != 128 + signal)
            cli::writeErr("i2cscript" + std::string(argc > 1 ? " " : "") +
                          util::printableName(argc > 1 ? argv[1] : "") + ": stopped\n");
        return 128 + signal;
    }
    if (!written) {
        cli::writeErr("i2cscript: cannot write standard output\n");
        return cli::kExitUsage;
    }
    return status;
}
