#include "sim/commandreader.h"

#include "protocol/frames.h"

#include <utility>

namespace sim {

std::optional<std::string> CommandReader::next(std::string_view& input) {
    while (!input.empty()) {
        const char c = input.front();
        input.remove_prefix(1);
        if (c == protocol::kCommandStart) {
            m_frame.assign(1, c);
            m_inFrame = true;
            continue;
        }
        if (!m_inFrame) continue;
        if (c != protocol::kTerminator && m_frame.size() < kMaxFrame) {
            m_frame.push_back(c);
            continue;
        }
        if (c == protocol::kTerminator) m_frame.push_back(c);
        m_inFrame = false;
        return std::exchange(m_frame, {});
    }
    return std::nullopt;
}

void CommandReader::clear() {
    m_frame.clear();
    m_inFrame = false;
}

} // namespace sim
