#include "cli/io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {

std::optional<std::string> readInput(const std::string& name, std::string& error) {
    if (name.empty() || name == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        std::string data;
        char chunk[65536];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0)
            data.append(chunk, n);
        if (std::ferror(stdin)) {
            error = "cannot read standard input";
            return std::nullopt;
        }
        return data;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        error = "cannot read " + name + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + name;
        return std::nullopt;
    }
    return std::move(data).str();
}

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

void writeErr(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace cli
