#pragma once
// Owns the receive buffer: takes arrivals of any size and split, and yields
// the effect of every complete frame, in order.
//
// Memory stays bounded whatever arrives: once a complete frame has been cut,
// what precedes the last "!" can never start a frame and is dropped (one
// earlier "!" is kept while the buffer ends in "!", since a CR right after it
// then ends a frame). A frame with more than kMaxPendingFrame characters before
// its CR is dropped whole, however it arrives.
#include "protocol/decoder.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

inline constexpr std::size_t kMaxPendingFrame = 4096;

class Receiver {
  public:
    // Appends arrival to the buffer and decodes every complete frame.
    std::vector<FrameEffect> receive(std::string_view arrival);
    // The same, handing each frame's effect on as soon as it is decoded.
    void receive(std::string_view arrival, const std::function<void(FrameEffect&&)>& onFrame);
    // The same, handing on each frame itself ("!" through CR), valid only
    // during the call.
    void receiveFrames(std::string_view arrival,
                       const std::function<void(std::string_view)>& onFrame);

    const std::string& rxbuffer() const { return m_rxbuffer; }

  private:
    std::string m_rxbuffer;
};

} // namespace protocol
