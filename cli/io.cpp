#include "cli/io.h"

#include <cstdio>

namespace cli {

std::string viewToLines(std::string_view view) {
    std::string out;
    out.reserve(view.size());
    for (std::size_t i = 0; i < view.size(); ++i) {
        if (view[i] == '\r' && i + 1 < view.size() && view[i + 1] == '\n') continue;
        out.push_back(view[i]);
    }
    return out;
}

void writeOut(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool flushOut() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void writeErr(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace cli
