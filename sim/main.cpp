// i2csim: plays an I2C master module on a pseudo-terminal, for trying the
// program and for end-to-end tests without hardware.
#include "sim/console.h"
#include "sim/devicelink.h"
#include "sim/model.h"
#include "sim/terminal.h"
#include "util/ascii.h"
#include "util/decimal.h"
#include "util/system.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Options {
    sim::Model model = sim::Model::Tamb;
    std::string revision = "03";
    bool lineRate = false;
    std::size_t writeSize = 0;
    std::string link;
    bool help = false;
    bool version = false;
};

std::string usage() {
    return "Usage: i2csim [--model tamb|tolk] [--revision NN] [--line-rate] [--write-size N]\n"
           "              [--link PATH]\n"
           "       i2csim -h | --help | --version\n"
           "\n"
           "Plays an I2C master module on a new pseudo-terminal and prints the\n"
           "terminal's device path as its first line of output.\n"
           "\n"
           "  --model tamb|tolk  master-only (default) or master+slave module\n"
           "  --revision NN      two hex digits ending the version report (default 03)\n"
           "  --line-rate        send at 11,520 characters a second, as a 115200 8N1\n"
           "                     line does (default: as fast as the terminal takes)\n"
           "  --write-size N     write at most N characters at a time (1: a character\n"
           "                     at a time), as an adapter may deliver them (default:\n"
           "                     all that is due)\n"
           "  --link PATH        also make PATH a symbolic link to the terminal while\n"
           "                     running, e.g. build/bin/COM8\n"
           "  -h, --help         show this text\n"
           "  --version          show the program's version\n"
           "\n"
           "A client opening the terminal hears the power-up report (\"!001A08\"); the\n"
           "module keeps its state across clients. Commands on standard input, one a\n"
           "line: " +
           std::string(sim::kConsoleCommands) +
           ".\n"
           "Sensors on the bus: LM75 at 0x90/0x91, 24C02 EEPROM at 0xA0/0xA1.\n"
           "\n"
           "Exit status: 0 after quit or a signal; 1 when no terminal or link can be\n"
           "made; 2 for bad arguments.\n";
}

// Nothing, after a message on standard error, when the arguments are unusable.
std::optional<Options> parseArguments(const std::vector<std::string>& args) {
    Options options;
    auto fail = [](const std::string& message) -> std::optional<Options> {
        std::cerr << "i2csim: " << message << " (see --help)\n";
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool takesValue =
            name == "--model" || name == "--revision" || name == "--link" || name == "--write-size";
        if (takesValue && !value) {
            if (i + 1 == args.size()) return fail(name + " needs a value");
            value = args[++i];
        }
        if (!takesValue && value) return fail(name + " takes no value");
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--line-rate") {
            options.lineRate = true;
        } else if (name == "--model") {
            if (*value != "tamb" && *value != "tolk")
                return fail("--model must be tamb or tolk, not \"" + *value + "\"");
            options.model = *value == "tamb" ? sim::Model::Tamb : sim::Model::Tolk;
        } else if (name == "--revision") {
            if (value->size() != 2 || !util::isHexText(*value))
                return fail("--revision must be two hex digits, not \"" + *value + "\"");
            options.revision = util::asciiUpper(*value);
        } else if (name == "--write-size") {
            const auto size = util::decimalValue(*value);
            if (!size || *size < 1 || *size > 65536 || *size != static_cast<std::size_t>(*size))
                return fail("--write-size must be a whole number from 1 to 65536, not \"" + *value +
                            "\"");
            options.writeSize = static_cast<std::size_t>(*size);
        } else if (name == "--link") {
            if (value->empty()) return fail("--link needs a path");
            options.link = *value;
        } else {
            return fail("unknown argument \"" + args[i] + "\"");
        }
    }
    return options;
}

int g_stopWrite = -1;

extern "C" void onStopSignal(int) {
    const char byte = 0;
    [[maybe_unused]] auto written = ::write(g_stopWrite, &byte, 1);
}

// A signal becomes a readable pipe, so the terminal's poll sees it.
bool catchStopSignals(int& stopRead) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    for (int fd : pipeFds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    stopRead = pipeFds[0];
    g_stopWrite = pipeFds[1];
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // In a shell's background, reading the console would stop the process.
    std::signal(SIGTTIN, SIG_IGN);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) return kExitUsage;
    if (options->help) {
        std::cout << usage();
        return kExitOk;
    }
    if (options->version) {
        std::cout << util::versiontext() << '\n';
        return kExitOk;
    }

    int stopRead = -1;
    if (!catchStopSignals(stopRead)) {
        std::perror("i2csim: pipe");
        return kExitFailure;
    }
    sim::Module module(options->model, options->revision);
    sim::Terminal terminal(module, options->lineRate, options->writeSize);
    std::string error;
    if (!terminal.open(error)) {
        std::cerr << "i2csim: no pseudo-terminal: " << error << '\n';
        return kExitFailure;
    }
    if (!options->link.empty() &&
        !sim::createDeviceLink(options->link, terminal.devicePath(), error)) {
        std::cerr << "i2csim: cannot make the link " << error << '\n';
        return kExitFailure;
    }
    std::cout << terminal.devicePath() << std::endl;

    const bool ok = terminal.run(STDIN_FILENO, stopRead, error);
    if (!ok) std::cerr << "i2csim: " << error << '\n';
    if (!options->link.empty()) sim::removeDeviceLink(options->link, terminal.devicePath());
    return ok ? kExitOk : kExitFailure;
}
