#include "cli/options.h"

#include "cli/io.h"
#include "util/ascii.h"
#include "util/decimal.h"
#include "util/paths.h"
#include "util/system.h"

#include <QCommandLineParser>

#include <array>
#include <cctype>
#include <cmath>
#include <string_view>

namespace cli {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr const char* kPortVariable = "I2C_PORT";

struct CommandForm {
    std::string_view name;
    std::string_view arguments; // as the usage line shows them
    std::size_t maxArguments;
    bool talksToModule; // takes --port and --verbose, and --timeout when it waits
    bool compiles;      // warns about the script unless --quiet
    std::string_view about;
    std::string_view waits;       // the default --timeout, for the help; empty: none
    bool records = false;         // takes --record FILE and --picture FILE
    std::size_t minArguments = 0; // the arguments it cannot do without
};

constexpr std::array<CommandForm, 11> kCommandForms = {{
    {"compile",
     "[FILE]",
     1,
     false,
     true,
     "Compile a command queue and print its script frame.\n",
     {}},
    {"decode",
     "[FILE]",
     1,
     false,
     false,
     "Decode what a module sent (CR ends a frame) and print the\n"
     "bus activity of every frame, in order.\n",
     {}},
    {"explain",
     "[FILE]",
     1,
     false,
     false,
     "Read a session record (its received frames) or the module's\n"
     "frames and print what each script answer did on the bus, one\n"
     "transaction a line, named where the part is known.\n",
     {}},
    {"blocks",
     "FILE",
     1,
     false,
     false,
     "List a script file's blocks, one a line: its number from 1,\n"
     "a TAB and its name (its first line after the \";\").\n",
     {},
     false,
     1},
    {"run", "[FILE]", 1, true, true,
     "Compile the queue, send it to the module and print the bus\nactivity of its answer.\n",
     "1 s plus the script's delays", true},
    {"ping", "", 0, true, false, "Ask the module for its version and configuration.\n", "1 s",
     true},
    {"control", "NAME", 1, true, false,
     "Send a control command. NAME is edge-hl, edge-lh,\n"
     "trigger-on, trigger-off, slow, fast, slave, store or replay.\n",
     "1 s, for a replay 17 s", true},
    {"scan", "", 0, true, false,
     "Probe the addresses 08 to 77 and print the ones that answer\nas a grid.\n",
     "1 s for each probe frame"},
    {"monitor",
     "",
     0,
     true,
     false,
     "Print every frame the module sends on its own (interrupt, reset\n"
     "and power-up reports) as decoded lines after the time of day,\n"
     "until Ctrl-C.\n",
     {},
     true},
    {"ports",
     "",
     0,
     false,
     false,
     "List COM1 to COM8 with the device each opens now and how,\n"
     "and the serial adapters present with their stable names.\n",
     {}},
    {"examples",
     "[N]",
     1,
     false,
     false,
     "List the built-in example scripts; with N, print example N\n"
     "(i2cscript examples 2 | i2cscript run --port COM8).\n",
     {}},
}};

const CommandForm* findForm(const std::string& name) {
    for (const auto& form : kCommandForms)
        if (form.name == name) return &form;
    return nullptr;
}

bool takesJson(const CommandForm& form) {
    return form.talksToModule || form.name == "explain";
}

bool takesBlock(const CommandForm& form) {
    return form.name == "run" || form.name == "compile";
}

std::string usageLine(const CommandForm& form) {
    std::string line = "i2cscript " + std::string(form.name);
    if (!form.arguments.empty()) line += " " + std::string(form.arguments);
    if (form.talksToModule) line += " --port PORT";
    if (takesBlock(form)) line += " [--block NAME]";
    if (!form.waits.empty()) line += " [--timeout SECONDS]";
    if (form.name == "monitor")
        line += " [--raw | --json]";
    else if (takesJson(form))
        line += " [--json]";
    if (form.name == "decode") line += " [--verbose | --last]";
    if (form.records) line += " [--picture FILE] [--record FILE [--append]]";
    return line;
}

// Lines of at most 80 columns, broken between options (never inside their
// brackets), the continuations indented.
std::string wrapped(std::string_view text, std::size_t indent) {
    constexpr std::size_t kWidth = 80;
    std::string out;
    std::size_t lineStart = 0;
    std::size_t wordStart = 0;
    int depth = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && (text[i] != ' ' || depth > 0)) {
            depth += text[i] == '[' ? 1 : text[i] == ']' ? -1 : 0;
            continue;
        }
        const std::string_view word = text.substr(wordStart, i - wordStart);
        if (out.size() > lineStart && out.size() - lineStart + 1 + word.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            lineStart = out.size() - indent;
        } else if (out.size() > lineStart) {
            out += ' ';
        }
        out += word;
        wordStart = i + 1;
    }
    return out;
}

// The parser sees each byte of an argument as one Latin-1 character, so a
// file name that is not UTF-8 comes back as the bytes the system has.
QString toParser(const std::string& argument) {
    return QString::fromLatin1(argument.data(), static_cast<qsizetype>(argument.size()));
}

std::string fromParser(const QString& text) {
    return text.toLatin1().toStdString();
}

// How an option the user typed was spelt, for naming it back.
std::string typed(const Arguments& args, const QString& name) {
    const std::string n = fromParser(name);
    for (const auto& a : args) {
        if (a == "--") break;
        for (const std::string dashes : {"--", "-"})
            if (a == dashes + n || a.starts_with(dashes + n + "=")) return dashes + n;
    }
    return (n.size() == 1 ? "-" : "--") + n;
}

// text may quote what was typed, bytes that are not UTF-8 included.
int complain(const std::string& command, const std::string& text) {
    writeErr("i2cscript " + command + ": " + util::printableName(text) + " (see i2cscript " +
             command + " --help)\n");
    return kExitUsage;
}

} // namespace

std::variant<CommandLine, int> parseCommandLine(const Arguments& args) {
    if (args.empty()) {
        writeErr(usage());
        return kExitUsage;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        if (args.size() > 1 && findForm(args[1])) {
            writeOut(commandUsage(args[1]));
            return kExitOk;
        }
        writeOut(usage());
        return kExitOk;
    }
    if (command == "--version") {
        writeOut(util::versiontext() + "\n");
        return kExitOk;
    }
    const CommandForm* form = findForm(command);
    if (!form) {
        writeErr("i2cscript: unknown command '" + util::printableName(command) +
                 "' (see i2cscript --help)\n");
        return kExitUsage;
    }

    QCommandLineParser parser;
    // "-port" is --port, not -p -o -r -t.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption port("port", {}, "PORT");
    const QCommandLineOption timeout("timeout", {}, "SECONDS");
    const QCommandLineOption quiet(QStringList{"q", "quiet"});
    parser.addOption(help);
    if (form->compiles) parser.addOption(quiet);
    const QCommandLineOption verbose(QStringList{"v", "verbose"});
    const QCommandLineOption raw("raw");
    const QCommandLineOption last("last");
    const QCommandLineOption record("record", {}, "FILE");
    const QCommandLineOption append("append");
    const QCommandLineOption json("json");
    const QCommandLineOption picture("picture", {}, "FILE");
    const QCommandLineOption block("block", {}, "NAME");
    if (form->records) {
        parser.addOption(record);
        parser.addOption(append);
        parser.addOption(picture);
    }
    if (takesJson(*form)) parser.addOption(json);
    if (takesBlock(*form)) parser.addOption(block);
    if (form->talksToModule) {
        parser.addOption(port);
        parser.addOption(verbose);
    }
    if (!form->waits.empty()) parser.addOption(timeout);
    if (form->name == "monitor") parser.addOption(raw);
    if (form->name == "decode") {
        parser.addOption(verbose);
        parser.addOption(last);
    }
    QStringList list{"i2cscript"};
    for (const auto& a : Arguments(args.begin() + 1, args.end()))
        list << toParser(a);
    if (!parser.parse(list)) {
        if (!parser.unknownOptionNames().isEmpty())
            return complain(command,
                            "unknown option " + typed(args, parser.unknownOptionNames().front()));
        // The only other failures: a value missing at the end, or given to --help.
        const QString last = list.back();
        for (const auto* option : {&port, &timeout, &record, &picture, &block})
            if (last == "-" + option->names().front() || last == "--" + option->names().front())
                return complain(command, fromParser(last) + " needs a value");
        // "Unexpected value after '-h'."
        std::string text = fromParser(parser.errorText());
        if (text.ends_with('.')) text.pop_back();
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return complain(command, text);
    }
    if (parser.isSet(help)) {
        writeOut(commandUsage(command));
        return kExitOk;
    }

    CommandLine line;
    line.command = command;
    for (const auto& a : parser.positionalArguments())
        line.arguments.push_back(fromParser(a));
    if (line.arguments.size() > form->maxArguments)
        return complain(command,
                        "unexpected argument '" + line.arguments[form->maxArguments] + "'");
    if (line.arguments.size() < form->minArguments)
        return complain(command, std::string(form->arguments) + " is required");
    line.quiet = form->compiles && parser.isSet(quiet);
    line.json = takesJson(*form) && parser.isSet(json);
    if (takesBlock(*form) && parser.isSet(block)) {
        line.block = fromParser(parser.value(block));
        // A block is looked up in a file: standard input cannot be read twice.
        if (line.arguments.empty() || line.arguments.front() == "-")
            return complain(command, "--block needs the script FILE it is in");
    }
    if (form->name == "decode") {
        line.verbose = parser.isSet(verbose);
        line.last = parser.isSet(last);
        // The view at the end has no clearings left to show.
        if (line.last && line.verbose)
            return complain(command, "--last and --verbose do not go together");
    }
    if (!form->talksToModule) return line;
    line.verbose = parser.isSet(verbose);
    line.raw = form->name == "monitor" && parser.isSet(raw);
    if (line.raw && line.json) return complain(command, "--raw and --json do not go together");
    if (form->records && parser.isSet(picture)) {
        line.picture = fromParser(parser.value(picture));
        // Before the port opens: a run is not to be repeated for a misspelt name.
        const auto dot = line.picture.rfind('.');
        const auto slash = line.picture.rfind('/');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            line.pictureFormat = util::asciiLower(line.picture.substr(dot + 1));
        if (line.pictureFormat != "svg" && line.pictureFormat != "png")
            return complain(command, "--picture FILE ends in .svg or .png");
    }
    if (form->records && parser.isSet(record)) {
        line.record = fromParser(parser.value(record));
        if (line.record.empty()) return complain(command, "--record needs a file name");
    }
    line.append = form->records && parser.isSet(append);
    if (line.append && line.record.empty())
        return complain(command, "--append needs --record FILE");

    line.port =
        parser.isSet(port) ? fromParser(parser.value(port)) : qgetenv(kPortVariable).toStdString();
    if (line.port.empty())
        return complain(command, "--port PORT is required, or I2C_PORT in the environment");
    if (!form->waits.empty() && parser.isSet(timeout)) {
        // Read alike in every locale: the user's decimal comma plays no part.
        const double seconds = util::decimalValue(fromParser(parser.value(timeout))).value_or(0);
        if (!(seconds > 0) || seconds > kMaxTimeoutSeconds)
            return complain(command, "--timeout takes seconds above 0, at most 86,400");
        line.timeout = std::chrono::milliseconds(std::llround(seconds * 1000));
    }
    return line;
}

std::string commandUsage(const std::string& command) {
    const CommandForm* form = findForm(command);
    if (!form) return {};
    const std::string head = "Usage: i2cscript " + std::string(form->name) + " ";
    std::string text = wrapped("Usage: " + usageLine(*form), head.size()) + "\n\n" +
                       std::string(form->about) + "\n";
    if (form->arguments == "[FILE]") text += "FILE \"-\" or none reads standard input.\n\n";
    text += "Options:\n";
    if (form->talksToModule)
        text += "  --port PORT        the module's port: COM1, COM2, ... (an entry of that\n"
                "                     name in the program's folder, else the n-th serial\n"
                "                     adapter present) or a device path such as /dev/ttyUSB0;\n"
                "                     by default the environment variable I2C_PORT\n";
    if (!form->waits.empty())
        text += "  --timeout SECONDS  how long to wait for the answer, above 0 and at most\n"
                "                     86,400 s; by default " +
                std::string(form->waits) + "\n";
    if (takesBlock(*form))
        text += "  --block NAME       " + std::string(form->name) +
                " only the block of FILE named NAME (its first\n"
                "                     line is \";NAME\"; i2cscript blocks FILE lists them)\n";
    if (form->name == "monitor")
        text += "  --raw              print the frames as received instead, one a line\n";
    if (form->name == "explain")
        text += "  --json             print one JSON object a line for each frame received:\n"
                "                     its time (null for a plain frame), the frame, its\n"
                "                     decoded lines and, for a script answer, its\n"
                "                     transactions\n";
    else if (takesJson(*form))
        text += "  --json             print JSON Lines instead of the text: one object a\n"
                "                     line for each frame sent and received, in order, with\n"
                "                     its time, the frame, its decoded lines and, for a\n"
                "                     script answer, its transactions\n" +
                std::string(form->name == "scan"
                                ? "                     and a last object {\"scan\": [...]},\n"
                                  "                     the 7-bit addresses that answered\n"
                                : "");
    if (form->records)
        text += "  --picture FILE     when the command ends, write the bus picture of what\n"
                "                     was received to FILE, as the window shows it (a\n"
                "                     script answer starts it afresh), SVG or PNG by its\n"
                "                     extension; written whole, so a failure leaves what\n"
                "                     FILE held\n";
    if (form->name == "decode")
        text += "  -v, --verbose      print a line of dashes where the window's view would\n"
                "                     be emptied (a script answer or a version report\n"
                "                     empties it)\n"
                "  --last             print only what the window's view shows at the end:\n"
                "                     from the last frame that empties it on\n";
    if (form->records)
        text += "  --record FILE      record the session in FILE, one line per frame sent\n"
                "                     (>) or received (<) as it happens, after the local\n"
                "                     time; a received frame with its bus activity. FILE\n"
                "                     is replaced only once the port has opened\n"
                "  --append           add to what FILE holds instead of replacing it\n";
    if (form->talksToModule)
        text += "  -v, --verbose      print the frames sent and received on standard error,\n"
                "                     after the time of day\n";
    if (form->compiles)
        text += "  -q, --quiet        print no warnings: they go to standard error, as\n"
                "                     FILE:LINE: warning: ..., for a line that is a comment\n"
                "                     only for its leading blank, a value that does not\n"
                "                     send what it seems to, or a command that takes its\n"
                "                     value from the next line\n";
    text += "  -h, --help         show this help\n";
    return text;
}

std::string usage() {
    std::string text = "Usage: i2cscript COMMAND [ARGUMENTS] [OPTIONS]\n"
                       "\n"
                       "Commands:\n";
    constexpr std::size_t kColumn = 18;
    for (const auto& form : kCommandForms) {
        std::string head = "  " + std::string(form.name);
        if (!form.arguments.empty()) head += " " + std::string(form.arguments);
        if (form.talksToModule) head += " --port PORT";
        // The description beside the name when there is room, else below it.
        text += head.size() < kColumn ? head + std::string(kColumn - head.size(), ' ')
                                      : head + "\n" + std::string(kColumn, ' ');
        const std::string_view about = form.about;
        for (std::size_t i = 0; i < about.size(); ++i) {
            text += about[i];
            if (about[i] == '\n' && i + 1 < about.size()) text += std::string(kColumn, ' ');
        }
    }
    text += "  --help          Show this help; COMMAND --help shows the command's.\n"
            "  --version       Show the program's version.\n"
            "\n"
            "Options may stand before or after the arguments; \"--\" ends them.\n"
            "FILE \"-\" or none reads standard input. PORT is COM1, COM2, ... (an entry\n"
            "of that name in the program's folder, usually a link to a device, else the\n"
            "n-th serial adapter present) or a device path such as /dev/ttyUSB0;\n"
            "without --port it is the environment variable I2C_PORT.\n"
            "--timeout SECONDS (above 0, at most 86,400) sets how long to wait for the\n"
            "answer (default 1 s; run adds the script's delays, a replay waits 17 s).\n"
            "--json prints JSON Lines instead of the text, one object per frame;\n"
            "--picture FILE draws the bus activity received as SVG or PNG.\n"
            "\n"
            "Exit status: 0 success; 1 compile error (the alert on standard error);\n"
            "2 bad arguments, unreadable input, or the port cannot be used; 3 the module\n"
            "reported a failure (a write not acknowledged, a bad token, or a store,\n"
            "replay or slave command refused); 4 no answer in time; 128 + the signal\n"
            "when stopped by one.\n";
    return text;
}

} // namespace cli
