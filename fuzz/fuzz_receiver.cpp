// The bounded receiver decodes exactly what the unbounded cut loop decodes,
// whatever arrives and however it is split.
#include "protocol/cutframe.h"
#include "protocol/receiver.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Longer streams may hold a frame past the length that is given up on.
    if (size == 0 || size > protocol::kMaxPendingFrame) return 0;
    const std::size_t chunk = 1 + data[0] % 32;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    protocol::Receiver receiver;
    std::string reference;
    for (std::size_t pos = 0; pos < stream.size(); pos += chunk) {
        const auto arrival = stream.substr(pos, chunk);
        const auto effects = receiver.receive(arrival);
        reference += arrival;
        std::size_t seen = 0;
        // Frames end at a CR: an arrival without one completes none, and
        // searching the whole reference after every byte made long streams slow.
        while (arrival.find('\r') != std::string_view::npos) {
            const auto frame = protocol::cutframe("!", "\r", reference);
            if (frame.empty()) break;
            if (seen >= effects.size() || !(effects[seen] == protocol::decodeFrame(frame)))
                std::abort();
            ++seen;
        }
        if (seen != effects.size()) std::abort();
        if (receiver.rxbuffer().size() > protocol::kMaxPendingFrame) std::abort();
    }
    return 0;
}
