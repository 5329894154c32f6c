#include "cli/commands.h"

#include "bus/json.h"
#include "cli/io.h"
#include "compiler/compiler.h"
#include "compiler/warnings.h"
#include "library/scriptfile.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/stopsignals.h"
#include "protocol/receiver.h"
#include "protocol/record.h"
#include "util/paths.h"

#include <algorithm>
#include <optional>

namespace cli {

namespace {

std::string displayName(const std::string& name) {
    return name == "-" ? "standard input" : util::printableName(name);
}

void cannotRead(const CommandLine& line, const std::string& name, const std::string& error) {
    writeErr("i2cscript " + line.command + ": cannot read " + displayName(name) + ": " + error +
             "\n");
}

struct ScriptFile {
    std::string bytes;
    library::LoadedScript loaded;
};

// A script file as Load takes it: a regular file of a script file's size.
std::optional<ScriptFile> readScriptFile(const CommandLine& line, const std::string& name) {
    auto file = platform::readRegularFile(name, library::kMaxScriptFileBytes);
    if (!file.bytes) {
        cannotRead(line, name, file.error);
        return std::nullopt;
    }
    auto loaded = library::loadScript(*file.bytes, {});
    return ScriptFile{std::move(*file.bytes), std::move(loaded)};
}

std::size_t blockCount(const library::LoadedScript& loaded) {
    return loaded.listItems.size() - 1; // after kSelectScript
}

// The line (from 1) that block k (from 1) starts on, the file read as the loader reads it.
std::size_t blockLine(std::string_view bytes, std::size_t block) {
    const std::string text = library::decodeScriptText(bytes);
    std::string_view lines = text;
    if (lines.starts_with(library::kByteOrderMark))
        lines.remove_prefix(library::kByteOrderMark.size());
    std::size_t line = 0, found = 0, first = 0;
    library::forEachScriptLine(lines, [&](std::string_view each, std::size_t, std::size_t) {
        ++line;
        if (first == 0 && each.starts_with(';') && ++found == block) first = line;
    });
    return first;
}

} // namespace

std::optional<std::string> commandInput(const CommandLine& line) {
    std::string error;
    const std::string name = line.arguments.empty() ? "-" : line.arguments.front();
    auto input = platform::readInput(name, error, platform::StopSignals::descriptor());
    // main says that a signal stopped the program.
    if (!input && error != platform::kStopped) cannotRead(line, name, error);
    return input;
}

std::optional<Queue> queueInput(const CommandLine& line) {
    if (!line.block) {
        auto input = commandInput(line);
        if (!input) return std::nullopt;
        return Queue{std::move(*input)};
    }
    const std::string& name = line.arguments.front();
    const auto script = readScriptFile(line, name);
    if (!script) return std::nullopt;
    const auto& loaded = script->loaded;
    const std::string said = "i2cscript " + line.command + ": " + util::printableName(name);
    for (std::size_t k = 1; k <= blockCount(loaded); ++k) {
        if (library::blockName(loaded.blocks[k]) != *line.block) continue;
        // The queue takes no more; what was cut would go unsent unnoticed.
        if (std::ranges::count(loaded.entriesCut, k) > 0) {
            writeErr(said + ": block \"" + util::printableName(*line.block) +
                     "\" is longer than a queue takes (" + std::to_string(library::kQueueLines) +
                     " lines, " + std::to_string(library::kQueueBytes >> 10) + " KiB)\n");
            return std::nullopt;
        }
        return Queue{loaded.blocks[k], blockLine(script->bytes, k)};
    }
    writeErr(said + " has no block named \"" + util::printableName(*line.block) +
             "\" (i2cscript blocks " + util::printableName(name) + " lists them)\n");
    return std::nullopt;
}

compiler::CompileResult compileInput(const CommandLine& line, const Queue& input) {
    const std::string queue = compiler::typedQueue(input.text);
    const std::string file = line.arguments.empty() || line.arguments.front() == "-"
                                 ? "<stdin>"
                                 : util::printableName(line.arguments.front());
    const std::size_t before = input.firstLine - 1;
    if (!line.quiet)
        for (const auto& warning : compiler::scriptWarnings(queue))
            writeErr(file + ":" + std::to_string(before + warning.line) +
                     ": warning: " + warning.text + "\n");
    auto result = compiler::compile(queue);
    if (const auto& alert = result.error) {
        writeErr(alert->title + "\n" + viewToLines(alert->message) + "\n");
        if (const auto place = compiler::unidentifiedElement(queue))
            writeErr("line " + std::to_string(before + place->line) +
                     (place->element.empty() ? "" : ": " + place->element) + "\n");
    }
    return result;
}

int compileCommand(const CommandLine& line) {
    auto input = queueInput(line);
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

int blocksCommand(const CommandLine& line) {
    const std::string& name = line.arguments.front();
    const auto script = readScriptFile(line, name);
    if (!script) return kExitUsage;
    const auto& loaded = script->loaded;
    for (std::size_t k = 1; k <= blockCount(loaded); ++k)
        writeOut(std::to_string(k) + "\t" + std::string(library::blockName(loaded.blocks[k])) +
                 "\n");
    if (loaded.blocksLeftOut > 0)
        writeErr("i2cscript blocks: " + util::printableName(name) + ": the " +
                 std::to_string(loaded.blocksLeftOut) + " blocks past the first " +
                 std::to_string(library::kMaxBlocks) + " are left out, as Load leaves them\n");
    return kExitOk;
}

} // namespace cli
