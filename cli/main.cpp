#include "cli/commands.h"
#include "cli/io.h"
#include "cli/modulecommands.h"
#include "cli/stopsignals.h"
#include "util/system.h"

#include <QCoreApplication>

namespace {

int run(cli::Arguments args) {
    using namespace cli;
    if (args.empty()) {
        writeErr(usage());
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        writeOut(usage());
        return kExitOk;
    }
    if (command == "--version") {
        writeOut(util::versiontext() + "\n");
        return kExitOk;
    }
    if (command == "compile") return compileCommand(args);
    if (command == "decode") return decodeCommand(args);
    if (command == "run") return runCommand(args);
    if (command == "ping") return pingCommand(args);
    if (command == "control") return controlCommand(args);
    if (command == "scan") return scanCommand(args);
    writeErr("i2cscript: unknown command '" + command + "' (see --help)\n");
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    // The port commands need an event loop; the others never start one.
    QCoreApplication app(argc, argv);
    cli::StopSignals stops;
    int status = run(cli::Arguments(argv + 1, argv + argc));
    if (!cli::flushOut()) {
        cli::writeErr("i2cscript: cannot write standard output\n");
        return cli::kExitUsage;
    }
    return status;
}
