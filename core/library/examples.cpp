#include "library/examples.h"

#include "util/constants.h"

namespace library {

std::string exampleScript(std::size_t index) {
    if (index >= kExamples.size()) return {};
    const auto& example = kExamples[index];
    std::string text = ";";
    text.append(example.title).append(util::CRLF);
    for (auto line : example.lines) {
        if (line.empty()) break;
        text.append(line).append(util::CRLF);
    }
    return text;
}

} // namespace library
