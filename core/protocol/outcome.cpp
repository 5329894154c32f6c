#include "protocol/outcome.h"

#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "util/ascii.h"

#include <string>

namespace protocol {

std::string commandCodeOf(std::string_view frame) {
    std::string c;
    for (std::size_t i = 3; i < 5 && i < frame.size() && frame[i] != kTerminator; ++i)
        c += util::asciiUpper(frame[i]);
    return c;
}

bool reportsFailure(std::string_view frame) {
    const auto c = commandCodeOf(frame);
    if (c == code::Script) {
        bool failed = false;
        forEachRxToken(frame, [&](std::string_view token) {
            const char t = util::asciiLower(token.front());
            if (t == exec::Unknown) failed = true;
            if (t == 'w' && token.size() == 4 && util::asciiLower(token[3]) == exec::Failed)
                failed = true;
        });
        return failed;
    }
    if (c == code::Store || c == code::Replay || c == code::Slave || c == code::SlaveAlias)
        return frame.size() < 6 || util::asciiLower(frame[5]) != exec::Ack;
    return false;
}

} // namespace protocol
