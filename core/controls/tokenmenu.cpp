#include "controls/tokenmenu.h"

#include "util/ascii.h"
#include "util/constants.h"
#include "util/hex.h"

namespace controls {

namespace {

// Every caption is its code, a column of blanks and the command it writes;
// every entry's colour is its command's group.
constexpr bool consistent(const TokenEntry& e) {
    constexpr std::size_t commandColumn = 7;
    if (e.caption.substr(commandColumn) != e.command) return false;
    const auto word = e.command.substr(0, e.command.find(' '));
    for (const auto& c : compiler::kCommands) {
        if (word.size() != c.keyword.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size(); ++i)
            same = same && util::asciiLower(word[i]) == c.keyword[i];
        if (same) return c.group == e.group;
    }
    return false;
}

constexpr bool allConsistent() {
    for (const auto& e : kTokenMenu)
        if (!consistent(e)) return false;
    return true;
}
static_assert(allConsistent(), "a token menu caption, command or colour disagrees");

} // namespace

const TokenEntry* tokenEntry(int label2Index) {
    for (const auto& e : kTokenMenu)
        if (e.index == label2Index) return &e;
    return nullptr;
}

std::string settledValueText(std::string_view boxText) {
    return util::hextolong(boxText) == 0 ? std::string("0") : std::string(boxText);
}

std::string tokenCommandLine(const TokenEntry& entry, std::string_view valueBoxText) {
    std::string line(entry.command);
    if (entry.valueBox >= 0) {
        const std::string padded = "00" + settledValueText(valueBoxText);
        line += padded.substr(padded.size() - 2);
    }
    line += util::CRLF;
    return line;
}

std::optional<std::string> valueBoxText(std::string_view text) {
    if (text.size() > kValueBoxLength || !util::isHexText(text)) return std::nullopt;
    return util::asciiUpper(text);
}

} // namespace controls
