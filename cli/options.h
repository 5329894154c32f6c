#pragma once
// Reading i2cscript's command line: the command first, then its arguments and
// options in any order; "--" ends the options. Help and every complaint are
// written here, so a command only ever sees a usable command line.
#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

using Arguments = std::vector<std::string>;

// The longest --timeout taken, in seconds.
inline constexpr int kMaxTimeoutSeconds = 86400;

struct CommandLine {
    std::string command;
    Arguments arguments; // the command's own, options taken out
    std::string port;    // empty unless the command talks to a module
    std::optional<std::chrono::milliseconds> timeout;
    bool quiet = false;          // --quiet: no warnings about the script
    bool verbose = false;        // --verbose: the frames on standard error; decode: the clearings
    bool raw = false;            // monitor --raw: the frames as received
    bool last = false;           // decode --last: only what the window's view shows at the end
    std::string record;          // --record FILE: the session recorded there
    bool append = false;         // --append: after what FILE holds
    bool json = false;           // --json: JSON Lines on standard output instead of the text
    std::string picture{};       // --picture FILE: the bus picture written there at the end
    std::string pictureFormat{}; // "svg" or "png", from FILE's extension
    std::optional<std::string> block{}; // --block NAME: that block of the script FILE
};

// The command line to run, or the exit status after help, the version or a
// complaint on standard error. args excludes the program's name.
std::variant<CommandLine, int> parseCommandLine(const Arguments& args);

// The overview that "i2cscript --help" prints.
std::string usage();
// What "i2cscript COMMAND --help" prints; empty for an unknown command.
std::string commandUsage(const std::string& command);

} // namespace cli
