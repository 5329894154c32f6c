#include "cli/commands.h"

#include "cli/io.h"
#include "compiler/compiler.h"
#include "protocol/receiver.h"

#include <optional>

namespace cli {

std::optional<std::string> commandInput(const Arguments& args, const std::string& command) {
    if (args.size() > 1) {
        writeErr("i2cscript " + command + ": too many arguments (see --help)\n");
        return std::nullopt;
    }
    std::string error;
    auto input = readInput(args.empty() ? "-" : args.front(), error);
    if (!input) writeErr("i2cscript " + command + ": " + error + "\n");
    return input;
}

int reportCompileError(const compiler::Alert& alert) {
    writeErr(alert.title + "\n" + viewToLines(alert.message) + "\n");
    return kExitCompileError;
}

int compileCommand(const Arguments& args) {
    auto input = commandInput(args, "compile");
    if (!input) return kExitUsage;
    auto result = compiler::compile(compiler::typedQueue(*input));
    if (!result.ok()) return reportCompileError(*result.error);
    std::string_view frame = result.frame;
    frame.remove_suffix(1); // the CR
    writeOut(std::string(frame) + "\n");
    return kExitOk;
}

int decodeCommand(const Arguments& args) {
    auto input = commandInput(args, "decode");
    if (!input) return kExitUsage;
    protocol::Receiver receiver;
    std::string view;
    // Applied as decoded, so a huge input never holds all its effects at once.
    receiver.receive(*input,
                     [&](protocol::FrameEffect&& effect) { protocol::applyToView(view, effect); });
    writeOut(viewToLines(view));
    return kExitOk;
}

std::string usage() {
    return "Usage: i2cscript COMMAND [ARGUMENTS]\n"
           "\n"
           "Commands:\n"
           "  compile [FILE]  Compile a command queue and print its script frame.\n"
           "  decode [FILE]   Decode what a module sent (CR ends a frame) and print\n"
           "                  the bus activity it shows.\n"
           "  run [FILE] --port PORT [--timeout SECONDS]\n"
           "                  Compile the queue, send it to the module and print the\n"
           "                  bus activity of its answer. The answer may take 1 s plus\n"
           "                  the delays the script asks for.\n"
           "  ping --port PORT\n"
           "                  Ask the module for its version and configuration.\n"
           "  control NAME --port PORT\n"
           "                  Send a control command: edge-hl, edge-lh, trigger-on,\n"
           "                  trigger-off, slow, fast, slave, store or replay.\n"
           "  scan --port PORT\n"
           "                  Probe the addresses 08 to 77 and print the ones that\n"
           "                  answer as a grid.\n"
           "  --help          Show this help.\n"
           "  --version       Show the program's version.\n"
           "\n"
           "FILE \"-\" or none reads standard input. PORT is COM1, COM2, ... (an entry\n"
           "of that name in the program's folder, usually a link to a device, else the\n"
           "n-th serial adapter present) or a device path such as /dev/ttyUSB0.\n"
           "--timeout sets how long to wait for the answer (default 1 s; a replay may\n"
           "take as long as the longest script).\n"
           "\n"
           "Exit status: 0 success; 1 compile error (the alert on standard error);\n"
           "2 bad arguments, unreadable input, or the port cannot be used; 3 the module\n"
           "reported a failure (a write not acknowledged, a bad token, or a store,\n"
           "replay or slave command refused); 4 no answer in time.\n";
}

} // namespace cli
