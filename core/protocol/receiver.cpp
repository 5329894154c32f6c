#include "protocol/receiver.h"

#include "protocol/cutframe.h"
#include "protocol/frames.h"

namespace protocol {

namespace {

constexpr std::string_view kStart(&kResponseStart, 1);
constexpr std::string_view kEnd(&kTerminator, 1);

// Where the part of rest that can still matter begins.
std::size_t pendingStart(std::string_view rest) {
    auto last = rest.rfind(kResponseStart);
    if (last == std::string_view::npos) return rest.size();
    if (last > 0 && last + 1 == rest.size()) {
        auto previous = rest.rfind(kResponseStart, last - 1);
        if (previous != std::string_view::npos && rest.size() - previous <= kMaxPendingFrame)
            return previous;
    }
    if (rest.size() - last > kMaxPendingFrame) return rest.size(); // never got its CR
    return last;
}

} // namespace

void Receiver::receiveFrames(std::string_view arrival,
                             const std::function<void(std::string_view)>& onFrame) {
    m_rxbuffer.append(arrival);
    const std::string_view buffer = m_rxbuffer;
    std::size_t pos = 0;
    // Cut by offset and erase once: erasing per frame would be quadratic.
    while (auto span = findFrame(buffer.substr(pos), kStart, kEnd)) {
        // Dropped as it would be had its CR come in a later arrival.
        const auto length = span->end - span->begin;
        if (length - kEnd.size() <= kMaxPendingFrame)
            onFrame(buffer.substr(pos + span->begin, length));
        pos += span->end;
    }
    m_rxbuffer.erase(0, pos + pendingStart(buffer.substr(pos)));
}

void Receiver::receive(std::string_view arrival,
                       const std::function<void(FrameEffect&&)>& onFrame) {
    receiveFrames(arrival, [&](std::string_view frame) { onFrame(decodeFrame(frame)); });
}

std::vector<FrameEffect> Receiver::receive(std::string_view arrival) {
    std::vector<FrameEffect> effects;
    receive(arrival, [&](FrameEffect&& effect) { effects.push_back(std::move(effect)); });
    return effects;
}

} // namespace protocol
