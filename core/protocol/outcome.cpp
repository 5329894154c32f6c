#include "protocol/outcome.h"

#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "util/ascii.h"
#include "util/hex.h"

#include <algorithm>

#include <string>

namespace protocol {

std::string commandCodeOf(std::string_view frame) {
    const auto code = frame.substr(std::min<std::size_t>(3, frame.size()), 2);
    return util::asciiUpper(code.substr(0, code.find(kTerminator)));
}

bool isPowerUpReport(std::string_view frame) {
    return commandCodeOf(frame) == code::Reset && frame.size() >= 7 &&
           (util::hextolong(frame.substr(5, 2)) & kPowerUpBit) != 0;
}

bool reportsFailure(std::string_view frame) {
    return !failureOf(frame).empty();
}

std::string failureOf(std::string_view frame) {
    const auto c = commandCodeOf(frame);
    if (c == code::Script) {
        std::string failure;
        forEachRxToken(frame, [&](std::string_view token) {
            if (!failure.empty()) return;
            const char t = util::asciiLower(token.front());
            const std::string hex = util::asciiUpper(token.substr(1, 2));
            if (t == exec::Unknown) failure = "the module does not know the token 0x" + hex;
            if (t == 'w' && token.size() == 4 && util::asciiLower(token[3]) == exec::Failed)
                failure = "WRITE 0x" + hex + " was not acknowledged";
        });
        return failure;
    }
    const char execution = frame.size() < 6 ? '\0' : util::asciiLower(frame[5]);
    if (execution == exec::Ack) return {};
    if (c == code::Store)
        return execution == exec::Empty ? "the module holds no script to store"
                                        : "the module refused to store the script";
    if (c == code::Replay)
        return execution == exec::Empty ? "the module has no stored script to replay"
                                        : "the module could not replay the stored script";
    if (c == code::Slave || c == code::SlaveAlias) return "the module does not support slave mode";
    return {};
}

} // namespace protocol
