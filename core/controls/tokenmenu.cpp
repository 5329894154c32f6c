#include "controls/tokenmenu.h"

#include "util/ascii.h"
#include "util/constants.h"
#include "util/hex.h"

namespace controls {

namespace {
constexpr std::size_t kCommandColumn = 7;
constexpr std::size_t kMaxCommandText = 20;
constexpr char kBackspace = 8;
constexpr char kDelete = 127;
} // namespace

std::optional<int> valueBoxOf(int label2Index) {
    switch (label2Index) {
    case 1:
        return 0;
    case 4:
        return 1;
    case 22:
        return 2;
    default:
        return std::nullopt;
    }
}

std::string settledValueText(std::string_view boxText) {
    return util::hextolong(boxText) == 0 ? std::string("0") : std::string(boxText);
}

std::string tokenCommandLine(std::string_view caption,
                             std::optional<std::string_view> valueBoxText) {
    std::string line;
    if (caption.size() > kCommandColumn)
        line.assign(caption.substr(kCommandColumn, kMaxCommandText));
    if (valueBoxText) {
        const std::string padded = "00" + settledValueText(*valueBoxText);
        line += padded.substr(padded.size() - 2);
    }
    line += util::CRLF;
    return line;
}

std::optional<char> valueBoxKey(char key) {
    if (util::isHexDigit(key)) return util::asciiUpper(key);
    if (key == kBackspace || key == kDelete) return key;
    return std::nullopt;
}

} // namespace controls
