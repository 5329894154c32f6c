#pragma once
// Cuts command frames out of whatever the line delivers, in chunks of any size.
//
// A frame runs from "$" through the next CR. Characters outside a frame are
// dropped; a "$" inside a frame starts it afresh, dropping the part before.
// Memory is bounded: a frame that reaches kMaxFrame characters without its CR
// is handed on as it stands, without CR, and the rest of it is dropped.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

inline constexpr std::size_t kMaxFrame = 1000;

class CommandReader {
  public:
    // Consumes input up to the end of the first frame it completes and
    // returns that frame; consumes all of it and returns nothing otherwise.
    std::optional<std::string> next(std::string_view& input);
    // Forgets a partial frame.
    void clear();

  private:
    std::string m_frame;
    bool m_inFrame = false;
};

} // namespace sim
