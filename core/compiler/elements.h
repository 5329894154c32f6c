#pragma once
// The queue read as compile() reads it: the words of the lines it keeps,
// each with the place it stands in the queue. The compiler, its warnings and
// the window's marks all read through here, so none can point at a word the
// compiler read otherwise.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace compiler {

struct Element {
    std::size_t at = 0, length = 0; // in Elements::text
    // In the queue: its first character and one past its last. A word that
    // runs on over a bare LF spans the line end.
    std::size_t begin = 0, end = 0;
    std::size_t line = 0; // from 1: the line of its first character
};

struct Elements {
    // The element characters of the kept lines, one blank where a run of
    // separators stood, nothing between one line and the next.
    std::string text;
    std::vector<Element> items;
    bool anyLineKept = false;

    std::string_view word(const Element& e) const {
        return std::string_view(text).substr(e.at, e.length);
    }
};

// Lines are cut at LF; a line starting with ";", "/" or a blank is a comment.
// Linear in the length of the queue.
Elements readElements(std::string_view queue);

// onLine(line, number, at) for each line of the queue cut at LF: number from
// 1, at where the line starts in the queue. A CR before the LF stays.
template <typename OnLine> void forEachLine(std::string_view queue, OnLine onLine) {
    std::size_t pos = 0;
    for (std::size_t number = 1;; ++number) {
        const auto lf = queue.find('\n', pos);
        onLine(queue.substr(pos, lf == std::string_view::npos ? lf : lf - pos), number, pos);
        if (lf == std::string_view::npos) return;
        pos = lf + 1;
    }
}

} // namespace compiler
