#include "util/fields.h"

namespace util {

namespace {

constexpr long kMaxField = 8000;

std::string normaliseSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out.push_back(c);
    }
    return out;
}

} // namespace

std::string getfield(std::string_view text, long index, std::string_view delimiter) {
    std::string normalised;
    if (delimiter.empty() || delimiter == " ") {
        delimiter = " ";
        normalised = normaliseSpaces(text);
        text = normalised;
    }
    if (index == 0) {
        if (text.empty()) return "0";
        long count = 1;
        for (auto p = text.find(delimiter); p != std::string_view::npos;
             p = text.find(delimiter, p + delimiter.size()))
            ++count;
        if (count > 1 && text.ends_with(delimiter)) --count;
        return std::to_string(count);
    }
    if (index < 0 || index > kMaxField) return {};
    std::size_t begin = 0;
    for (long i = 1; i < index; ++i) {
        auto p = text.find(delimiter, begin);
        if (p == std::string_view::npos) return {};
        begin = p + delimiter.size();
    }
    auto end = text.find(delimiter, begin);
    return std::string(text.substr(begin, end == std::string_view::npos ? end : end - begin));
}

} // namespace util
