#include "cli/commands.h"

#include "cli/io.h"
#include "cli/stopsignals.h"
#include "compiler/compiler.h"
#include "protocol/receiver.h"

#include <optional>

namespace cli {

std::optional<std::string> commandInput(const CommandLine& line) {
    std::string error;
    auto input = readInput(line.arguments.empty() ? "-" : line.arguments.front(), error,
                           StopSignals::descriptor());
    // main says that a signal stopped the program.
    if (!input && error != kStopped) writeErr("i2cscript " + line.command + ": " + error + "\n");
    return input;
}

int reportCompileError(const compiler::Alert& alert) {
    writeErr(alert.title + "\n" + viewToLines(alert.message) + "\n");
    return kExitCompileError;
}

int compileCommand(const CommandLine& line) {
    auto input = commandInput(line);
    if (!input) return kExitUsage;
    auto result = compiler::compile(compiler::typedQueue(*input));
    if (!result.ok()) return reportCompileError(*result.error);
    std::string_view frame = result.frame;
    frame.remove_suffix(1); // the CR
    writeOut(std::string(frame) + "\n");
    return kExitOk;
}

int decodeCommand(const CommandLine& line) {
    auto input = commandInput(line);
    if (!input) return kExitUsage;
    protocol::Receiver receiver;
    std::string view;
    // Applied as decoded, so a huge input never holds all its effects at once.
    receiver.receive(*input,
                     [&](protocol::FrameEffect&& effect) { protocol::applyToView(view, effect); });
    writeOut(viewToLines(view));
    return kExitOk;
}

} // namespace cli
