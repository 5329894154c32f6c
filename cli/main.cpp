#include "cli/commands.h"
#include "cli/examplescommand.h"
#include "cli/io.h"
#include "cli/modulecommands.h"
#include "cli/options.h"
#include "cli/ports.h"
#include "platform/stopsignals.h"
#include "util/paths.h"

#include <QGuiApplication>

#include <memory>
#include <string>

namespace {

int run(const cli::CommandLine& line) {
    using namespace cli;
    if (line.command == "compile") return compileCommand(line);
    if (line.command == "decode") return decodeCommand(line);
    if (line.command == "explain") return explainCommand(line);
    if (line.command == "blocks") return blocksCommand(line);
    if (line.command == "run") return runCommand(line);
    if (line.command == "ping") return pingCommand(line);
    if (line.command == "control") return controlCommand(line);
    if (line.command == "ports") return portsCommand(line);
    if (line.command == "monitor") return monitorCommand(line);
    if (line.command == "examples") return examplesCommand(line);
    return scanCommand(line);
}

QtMessageHandler g_otherMessages = nullptr;

// Qt's start-up looks for a Wayland socket in the runtime folder and warns
// where none is set (ssh, cron); nothing is ever shown here.
void withoutRuntimeWarning(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (g_otherMessages) g_otherMessages(type, context, message);
}

// The port commands need an event loop; painting a PNG also needs fonts,
// which only a QGuiApplication has. It costs a platform plugin, so the
// other commands go without.
std::unique_ptr<QCoreApplication> application(int& argc, char** argv, bool painting) {
    if (!painting) return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_otherMessages = qInstallMessageHandler(withoutRuntimeWarning);
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(g_otherMessages);
    return app;
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed = cli::parseCommandLine(cli::Arguments(argv + 1, argv + argc));
    const auto* line = std::get_if<cli::CommandLine>(&parsed);
    // Qt takes no arguments of ours: "-reverse" or "-session" may be a file's name.
    int qtArgc = 1;
    const auto app = application(qtArgc, argv, line && line->pictureFormat == "png");
    platform::StopSignals stops;
    int status = line ? run(*line) : std::get<int>(parsed);
    const bool written = cli::flushOut();
    // A signal ends the program with its status whatever phase it came in.
    if (const int signal = stops.poll()) {
        if (status != 128 + signal)
            cli::writeErr("i2cscript" + std::string(argc > 1 ? " " : "") +
                          util::printableName(argc > 1 ? argv[1] : "") + ": stopped\n");
        return 128 + signal;
    }
    if (!written) {
        cli::writeErr("i2cscript: cannot write standard output\n");
        return cli::kExitUsage;
    }
    return status;
}
