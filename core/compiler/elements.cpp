#include "compiler/elements.h"

#include "compiler/language.h"

namespace compiler {

Elements readElements(std::string_view queue) {
    Elements read;
    read.text.reserve(queue.size());
    forEachLine(queue, [&](std::string_view line, std::size_t number, std::size_t pos) {
        if (isCommentLine(line)) return;
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
    });
    return read;
}

} // namespace compiler
