#include "cli/commands.h"

#include "cli/io.h"
#include "compiler/compiler.h"
#include "protocol/receiver.h"

#include <optional>

namespace cli {

namespace {

// The input named by the single optional FILE argument; nothing, after a
// message on standard error, when the arguments or the file are unusable.
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

} // namespace

int compileCommand(const Arguments& args) {
    auto input = commandInput(args, "compile");
    if (!input) return kExitUsage;
    auto result = compiler::compile(compiler::typedQueue(*input));
    if (!result.ok()) {
        writeErr(result.error->title + "\n" + viewToLines(result.error->message) + "\n");
        return kExitCompileError;
    }
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
           "                  Reads standard input when FILE is \"-\" or absent.\n"
           "  decode [FILE]   Decode what a module sent (CR ends a frame) and print\n"
           "                  the bus activity it shows.\n"
           "                  Reads standard input when FILE is \"-\" or absent.\n"
           "  --help          Show this help.\n"
           "  --version       Show the program's version.\n"
           "\n"
           "Exit status: 0 success, 1 compile error (the alert on standard error),\n"
           "2 bad arguments or unreadable input.\n";
}

} // namespace cli
