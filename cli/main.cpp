#include "cli/commands.h"
#include "cli/io.h"
#include "util/system.h"

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
    writeErr("i2cscript: unknown command '" + command + "' (see --help)\n");
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    int status = run(cli::Arguments(argv + 1, argv + argc));
    if (!cli::flushOut()) {
        cli::writeErr("i2cscript: cannot write standard output\n");
        return cli::kExitUsage;
    }
    return status;
}
