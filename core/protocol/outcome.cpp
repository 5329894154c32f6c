#include "protocol/outcome.h"

#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "util/ascii.h"

#include <algorithm>

#include <string>

namespace protocol {

std::string commandCodeOf(std::string_view frame) {
    const auto code = frame.substr(std::min<std::size_t>(3, frame.size()), 2);
    return util::asciiUpper(code.substr(0, code.find(kTerminator)));
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
