#include "cli/examplescommand.h"

#include "cli/io.h"
#include "library/examples.h"

namespace cli {

int examplesCommand(const CommandLine& line) {
    const auto count = library::kExamples.size();
    if (line.arguments.empty()) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += std::to_string(i + 1) + "  " + std::string(library::kExamples[i].title) + "\n";
        writeOut(text);
        return 0;
    }
    const std::string& n = line.arguments.front();
    const bool digits = !n.empty() && n.size() <= 2 && n.find_first_not_of("0123456789") == n.npos;
    const std::size_t index = digits ? std::stoul(n) : 0;
    if (index < 1 || index > count) {
        writeErr("i2cscript examples: N is a number from 1 to " + std::to_string(count) +
                 " (see i2cscript examples)\n");
        return 2;
    }
    // LF line ends, so the text can go straight to a file or to "run".
    writeOut(viewToLines(library::exampleScript(index - 1)));
    return 0;
}

} // namespace cli
