#include "cli/commands.h"

#include "cli/io.h"
#include "compiler/compiler.h"
#include "protocol/receiver.h"

#include <optional>

namespace cli {

namespace {

// The single optional FILE argument; nothing when there are more.
std::optional<std::string> fileArgument(const Arguments& args, const char* command) {
    if (args.size() > 1) {
        writeErr(std::string("i2cscript ") + command + ": too many arguments (see --help)\n");
        return std::nullopt;
    }
    return args.empty() ? std::string("-") : args.front();
}

} // namespace

int compileCommand(const Arguments& args) {
    auto file = fileArgument(args, "compile");
    if (!file) return kExitUsage;
    std::string error;
    auto input = readInput(*file, error);
    if (!input) {
        writeErr("i2cscript compile: " + error + "\n");
        return kExitUsage;
    }
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
    auto file = fileArgument(args, "decode");
    if (!file) return kExitUsage;
    std::string error;
    auto input = readInput(*file, error);
    if (!input) {
        writeErr("i2cscript decode: " + error + "\n");
        return kExitUsage;
    }
    protocol::Receiver receiver;
    std::string view;
    for (const auto& effect : receiver.receive(*input))
        protocol::applyToView(view, effect);
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
