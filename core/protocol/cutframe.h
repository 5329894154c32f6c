#pragma once
// Cutting response frames out of received characters.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace protocol {

inline constexpr std::string_view kNullEndMessage = "End character may not be null!";

struct FrameSpan {
    std::size_t begin; // the frame's start marker
    std::size_t end;   // one past its end marker; everything before is consumed
};

// The first complete frame: from the last start marker before the first end
// marker that has at least one character between it and the first start
// marker. An empty start marker makes the frame run from the buffer's
// beginning. `end` must not be empty.
std::optional<FrameSpan> findFrame(std::string_view buffer, std::string_view start,
                                   std::string_view end);

// Returns the first complete frame and removes it and all before it from
// buffer; "" and buffer untouched when there is none. An empty end marker
// returns kNullEndMessage.
std::string cutframe(std::string_view start, std::string_view end, std::string& buffer);

} // namespace protocol
