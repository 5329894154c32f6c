#include "cli/scan.h"

#include "compiler/compiler.h"
#include "util/constants.h"
#include "util/hex.h"

namespace cli {

namespace {

// Start, Write and its byte, Stop.
constexpr std::size_t kTokensPerProbe = 4;

} // namespace

std::vector<std::string> scanScripts() {
    constexpr int perFrame = static_cast<int>(compiler::kMaxTokens / kTokensPerProbe);
    std::vector<std::string> scripts;
    for (int first = kFirstScanAddress; first <= kLastScanAddress; first += perFrame) {
        std::string queue;
        for (int a = first; a < first + perFrame && a <= kLastScanAddress; ++a) {
            queue.append("Start").append(util::CRLF);
            queue.append("Write 0x").append(util::hexpad(a * 2, 2)).append(util::CRLF);
            queue.append("Stop").append(util::CRLF);
        }
        scripts.push_back(std::move(queue));
    }
    return scripts;
}

std::string scanGrid(const std::array<bool, 128>& present) {
    std::string grid = "   ";
    for (int column = 0; column < 16; ++column)
        grid.append("  ").append(util::hexpad(column, 1));
    grid += '\n';
    for (int row = 0; row < 128; row += 16) {
        std::string line = util::hexpad(row, 2) + ":";
        for (int a = row; a < row + 16; ++a) {
            if (a < kFirstScanAddress || a > kLastScanAddress)
                line += "   ";
            else
                line.append(" ").append(present[a] ? util::hexpad(a, 2) : "--");
        }
        while (line.back() == ' ')
            line.pop_back();
        grid.append(line) += '\n';
    }
    return grid;
}

} // namespace cli
