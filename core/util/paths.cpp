#include "util/paths.h"

#include "util/ascii.h"
#include "util/utf8.h"

#include <exception>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace util {

namespace fs = std::filesystem;

std::string pathpart(std::string& path, int code, char separator) {
    if (path.empty()) return {};
    auto first = path.find_first_not_of(' ');
    if (first != std::string::npos) {
        auto last = path.find_last_not_of(' ');
        path = path.substr(first, last - first + 1);
    }

    std::string_view banned = "/*?<>|";
    std::string cleaned;
    for (char c : path)
        if (c == separator || banned.find(c) == std::string_view::npos) cleaned.push_back(c);

    auto slash = cleaned.rfind(separator);
    auto nameStart = slash == std::string::npos ? 0 : slash + 1;
    auto dot = cleaned.find('.', nameStart);
    if (dot != std::string::npos) {
        auto second = cleaned.find('.', dot + 1);
        if (second != std::string::npos) cleaned.resize(second);
    }

    std::string folder = slash == std::string::npos ? "" : cleaned.substr(0, slash);
    std::string name =
        cleaned.substr(nameStart, dot == std::string::npos ? std::string::npos : dot - nameStart);
    std::string dotText = dot == std::string::npos ? "" : ".";
    std::string ext = dot == std::string::npos ? "" : cleaned.substr(dot + 1);
    std::string sep(1, separator);

    switch (code) {
    case 0:
        return name + dotText + ext;
    case 1:
        return name;
    case 2:
        return ext;
    case 3:
        return folder;
    case 4:
        return folder + sep + name + dotText + ext;
    case 5:
        return folder + sep + name;
    default:
        return {};
    }
}

namespace {

bool wildcardMatch(std::u8string_view pattern, std::u8string_view name) {
    // Iterative matcher with one backtrack point: linear enough for file names.
    std::size_t p = 0, n = 0, starP = std::u8string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u8string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool isHidden(const fs::path& p) {
#ifdef _WIN32
    auto attributes = GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
    auto name = p.filename().native();
    return !name.empty() && name.front() == '.';
#endif
}

// Calls accept on each entry matching path until it returns true. A NUL
// would cut the name short at the system call, so such a path names nothing.
template <class Accept> bool anyMatch(std::string_view text, Accept accept) {
    if (text.empty() || text.find('\0') != std::string_view::npos) return false;
    try {
        std::error_code ec;
        fs::path path(std::u8string(text.begin(), text.end()));
        auto last = path.filename().u8string();
        if (last.find_first_of(u8"*?") == std::u8string::npos) return accept(path);
        fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (wildcardMatch(last, it->path().filename().u8string()) && accept(it->path()))
                return true;
    } catch (const std::exception&) {
        // A name the system cannot convert matches nothing.
    }
    return false;
}

} // namespace

bool pathexists(std::string_view path) {
    return anyMatch(path, [](const fs::path& p) {
        std::error_code ec;
        return fs::exists(p, ec);
    });
}

bool fileexists(std::string_view path) {
    return anyMatch(path, [](const fs::path& p) {
        std::error_code ec;
        return !isHidden(p) && fs::is_regular_file(p, ec);
    });
}

bool isAbsolutePath(std::string_view path, char separator) {
    if (path.empty()) return false;
    if (path.front() == separator) return true;
    if (separator != '\\') return false;
    if (path.front() == '/') return true;
    return path.size() >= 3 && asciiLower(path[0]) >= 'a' && asciiLower(path[0]) <= 'z' &&
           path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

std::string chosenPath(std::string_view folder, std::string_view names, char separator) {
    while (!names.empty() && (names.back() == '\r' || names.back() == '\n'))
        names.remove_suffix(1);
    if (names.empty()) return {};
    const bool several = names.find_first_of("\r\n") != std::string_view::npos;
    if (!several && isAbsolutePath(names, separator)) return std::string(names);
    std::string path(folder);
    if (path.empty() || path.back() != separator) path.push_back(separator);
    path += names;
    // A CR becomes a blank and an LF a comma, one pair at a time.
    while (path.find_first_of("\r\n") != std::string::npos) {
        if (const auto cr = path.find('\r'); cr != std::string::npos) path[cr] = ' ';
        if (const auto lf = path.find('\n'); lf != std::string::npos) path[lf] = ',';
    }
    return path;
}

std::string printableName(std::string_view name) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string shown;
    while (!name.empty()) {
        const std::size_t length = utf8Length(name);
        const auto c = static_cast<unsigned char>(name[0]);
        // Control characters could steer a terminal: C0, DEL and C1 (U+0080 to U+009F).
        const bool control =
            length == 1 ? c < 0x20 || c == 0x7F
                        : length == 2 && c == 0xC2 && static_cast<unsigned char>(name[1]) < 0xA0;
        // An invalid byte goes alone: what follows it may be a character.
        const std::size_t taken = length == 0 ? 1 : length;
        if (length == 0 || control) {
            for (const char b : name.substr(0, taken)) {
                const auto byte = static_cast<unsigned char>(b);
                shown += {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0xF]};
            }
        } else {
            shown.append(name.substr(0, taken));
        }
        name.remove_prefix(taken);
    }
    return shown;
}

} // namespace util
