#include "cli/commands.h"

#include "bus/json.h"
#include "cli/io.h"
#include "compiler/compiler.h"
#include "compiler/warnings.h"
#include "platform/input.h"
#include "platform/stopsignals.h"
#include "protocol/receiver.h"
#include "protocol/record.h"
#include "util/paths.h"

#include <optional>

namespace cli {

std::optional<std::string> commandInput(const CommandLine& line) {
    std::string error;
    const std::string name = line.arguments.empty() ? "-" : line.arguments.front();
    auto input = platform::readInput(name, error, platform::StopSignals::descriptor());
    // main says that a signal stopped the program.
    if (!input && error != platform::kStopped)
        writeErr("i2cscript " + line.command + ": cannot read " +
                 (name == "-" ? "standard input" : util::printableName(name)) + ": " + error +
                 "\n");
    return input;
}

compiler::CompileResult compileInput(const CommandLine& line, const std::string& input) {
    const std::string queue = compiler::typedQueue(input);
    const std::string file = line.arguments.empty() || line.arguments.front() == "-"
                                 ? "<stdin>"
                                 : util::printableName(line.arguments.front());
    if (!line.quiet)
        for (const auto& warning : compiler::scriptWarnings(queue))
            writeErr(file + ":" + std::to_string(warning.line) + ": warning: " + warning.text +
                     "\n");
    auto result = compiler::compile(queue);
    if (const auto& alert = result.error) {
        writeErr(alert->title + "\n" + viewToLines(alert->message) + "\n");
        if (const auto place = compiler::unidentifiedElement(queue))
            writeErr("line " + std::to_string(place->line) +
                     (place->element.empty() ? "" : ": " + place->element) + "\n");
    }
    return result;
}

int compileCommand(const CommandLine& line) {
    auto input = commandInput(line);
    if (!input) return kExitUsage;
    auto result = compileInput(line, *input);
    if (!result.ok()) return kExitCompileError;
    std::string_view frame = result.frame;
    frame.remove_suffix(1); // the CR
    writeOut(std::string(frame) + "\n");
    return kExitOk;
}

// decode --verbose: where the window's view would be emptied.
constexpr std::string_view kViewEmptied = "------------------------\n";

int decodeCommand(const CommandLine& line) {
    auto input = commandInput(line);
    if (!input) return kExitUsage;
    protocol::Receiver receiver;
    std::string view;      // --last: the window's view, printed at the end
    bool shown = false;    // lines printed since the view was last emptied
    bool lineOpen = false; // the last of them has no line end yet
    // Printed as decoded, so a huge input never holds all its output at once.
    receiver.receive(*input, [&](protocol::FrameEffect&& effect) {
        if (line.last) return protocol::applyToView(view, effect);
        if (effect.clearView && shown) {
            // Where the window starts afresh, a new line starts.
            if (lineOpen) writeOut("\n");
            if (line.verbose) writeOut(kViewEmptied);
            shown = lineOpen = false;
        }
        if (effect.append.empty()) return;
        const std::string text = viewToLines(effect.append);
        writeOut(text);
        shown = true;
        lineOpen = text.back() != '\n';
    });
    if (line.last) writeOut(viewToLines(view));
    return kExitOk;
}

int explainCommand(const CommandLine& line) {
    auto input = commandInput(line);
    if (!input) return kExitUsage;
    bus::JsonStream json;
    bus::Explainer explainer; // one for the input: a read is named by an earlier write
    auto explain = [&](std::optional<std::string_view> time, std::string_view frame) {
        if (line.json) return writeOut(json.received(time, frame) + "\n");
        for (const auto& t : bus::transactionsOf(frame, explainer))
            writeOut(t.meaning + "\n");
    };
    protocol::Receiver receiver;
    std::string_view rest = *input;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view text = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (const auto recorded = protocol::readRecordLine(text)) {
            if (recorded->mark == '<') explain(recorded->time, recorded->frame);
            continue;
        }
        // One frame a line, or frames as the module sends them, each ended by CR.
        std::string characters(text);
        if (!characters.empty() && characters.back() != '\r') characters += '\r';
        receiver.receiveFrames(characters,
                               [&](std::string_view frame) { explain(std::nullopt, frame); });
    }
    return kExitOk;
}

} // namespace cli
