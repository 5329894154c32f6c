#include "cli/io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {

std::optional<std::string> readInput(const std::string& name, std::string& error) {
    const bool standardInput = name.empty() || name == "-";
    std::FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
    const std::string what = standardInput ? "standard input" : name;
    if (!in) {
        error = "cannot read " + what + ": " + std::strerror(errno);
        return std::nullopt;
    }
#ifdef _WIN32
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string data;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        data.append(chunk, n);
    // A folder opens but fails on the first read (EISDIR).
    const bool failed = std::ferror(in) != 0;
    const int reason = errno;
    if (!standardInput) std::fclose(in);
    if (failed) {
        error = "cannot read " + what + ": " + std::strerror(reason);
        return std::nullopt;
    }
    return data;
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

bool flushOut() {
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void writeErr(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace cli
