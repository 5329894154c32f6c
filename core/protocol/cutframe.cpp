#include "protocol/cutframe.h"

namespace protocol {

std::optional<FrameSpan> findFrame(std::string_view buffer, std::string_view start,
                                   std::string_view end) {
    constexpr auto npos = std::string_view::npos;
    if (end.empty()) return std::nullopt;
    if (start.empty()) {
        auto p = buffer.find(end);
        if (p == npos) return std::nullopt;
        return FrameSpan{0, p + end.size()};
    }
    auto first = buffer.find(start);
    if (first == npos) return std::nullopt;
    auto p2 = buffer.find(end, first + start.size() + 1);
    if (p2 == npos) return std::nullopt;
    // A frame cut short by a reset leaves an earlier start marker: the last one wins.
    auto begin = buffer.rfind(start, p2 - 1);
    if (begin == npos || begin < first) begin = first;
    return FrameSpan{begin, p2 + end.size()};
}

std::string cutframe(std::string_view start, std::string_view end, std::string& buffer) {
    if (end.empty()) return std::string(kNullEndMessage);
    auto span = findFrame(buffer, start, end);
    if (!span) return {};
    std::string frame = buffer.substr(span->begin, span->end - span->begin);
    buffer.erase(0, span->end);
    return frame;
}

} // namespace protocol
