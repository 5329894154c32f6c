#include "compiler/elements.h"

#include "compiler/language.h"

namespace compiler {

Elements readElements(std::string_view queue) {
    Elements read;
    read.text.reserve(queue.size());
    std::size_t pos = 0;
    for (std::size_t number = 1;; ++number) {
        const auto lf = queue.find('\n', pos);
        const auto line = queue.substr(pos, lf == std::string_view::npos ? lf : lf - pos);
        if (!isCommentLine(line)) {
            read.anyLineKept = true;
            for (std::size_t i = 0; i < line.size(); ++i) {
                const char c = line[i];
                if (!isElementChar(c)) {
                    if (read.text.empty() || read.text.back() != ' ') read.text.push_back(' ');
                    continue;
                }
                if (read.text.empty() || read.text.back() == ' ')
                    read.items.push_back({read.text.size(), 0, pos + i, pos + i, number});
                read.text.push_back(c);
                ++read.items.back().length;
                read.items.back().end = pos + i + 1;
            }
        }
        if (lf == std::string_view::npos) break;
        pos = lf + 1;
    }
    return read;
}

} // namespace compiler
