#include "compiler/marks.h"

#include "compiler/compiler.h"
#include "compiler/elements.h"
#include "compiler/warnings.h"
#include "util/constants.h"

namespace compiler {

namespace {

using Kind = Mark::Kind;

void commentLines(std::string_view queue, std::vector<Mark>& marks) {
    forEachLine(queue, [&](std::string_view line, std::size_t, std::size_t pos) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && isCommentLine(line))
            marks.push_back({pos, pos + line.size(), Kind::Comment, Group::Bus, {}});
    });
}

// The compile alert's words, then what the command would take.
std::string refusedSupply(std::string_view keyword, std::string_view value) {
    return std::string(kUnidentified) + std::string(util::CRLF) + std::string(value) +
           std::string(util::CRLF) + std::string(keyword) + " takes " + supplyChoicesText();
}

} // namespace

std::vector<Mark> queueMarks(std::string_view queue) {
    std::vector<Mark> marks;
    commentLines(queue, marks);
    std::vector<Mark> underlines;
    const Elements read = readElements(queue);
    const auto& items = read.items;
    std::size_t tokens = 0;
    bool overLimit = false;
    for (std::size_t m = 0; m < items.size(); ++m) {
        const Element& e = items[m];
        const std::string_view word = read.word(e);
        if (word.front() == ';') {
            marks.push_back({e.begin, e.end, Kind::Comment, Group::Bus, {}});
            continue;
        }
        const Command* command = findCommand(word);
        if (!command) {
            underlines.push_back(
                {e.begin, e.end, Kind::Error, Group::Bus,
                 std::string(kUnidentified) + std::string(util::CRLF) + std::string(word)});
            continue;
        }
        marks.push_back({e.begin, e.end, Kind::Command, command->group, {}});
        tokens += command->parameter == Parameter::Byte ? 2 : 1;
        if (tokens > kMaxTokens && !overLimit) {
            overLimit = true;
            underlines.push_back(
                {e.begin, e.end, Kind::Error, command->group, std::string(kTooMany)});
        }
        if (command->parameter == Parameter::Supply && m + 1 == items.size())
            underlines.push_back(
                {e.begin, e.end, Kind::Error, command->group, refusedSupply(word, {})});
        if (command->parameter == Parameter::None || m + 1 == items.size()) continue;
        const Element& p = items[++m];
        const std::string_view value = read.word(p);
        if (command->parameter == Parameter::Supply && !supplyToken(value))
            underlines.push_back(
                {p.begin, p.end, Kind::Error, command->group, refusedSupply(word, value)});
        else
            marks.push_back({p.begin, p.end, Kind::Command, command->group, {}});
    }
    for (auto& w : scriptWarnings(queue))
        underlines.push_back({w.begin, w.end, Kind::Warning, Group::Bus, std::move(w.text)});
    marks.insert(marks.end(), std::make_move_iterator(underlines.begin()),
                 std::make_move_iterator(underlines.end()));
    return marks;
}

} // namespace compiler
