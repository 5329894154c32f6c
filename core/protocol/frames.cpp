#include "protocol/frames.h"

#include "util/hex.h"

namespace protocol {

namespace {

std::string frame(char start, std::string_view commandCode, std::string_view data) {
    std::string out;
    out.reserve(6 + data.size());
    out.push_back(start);
    out += kUnitAddress;
    out += commandCode;
    out += data;
    out.push_back(kTerminator);
    return out;
}

} // namespace

std::string commandFrame(std::string_view commandCode, std::string_view data) {
    return frame(kCommandStart, commandCode, data);
}

std::string scriptFrame(std::string_view tokens) {
    auto count = static_cast<double>(tokens.size() / 2 + 1);
    return commandFrame(code::Script, util::hexpad(count, 2) + std::string(tokens));
}

std::string responseFrame(std::string_view commandCode, std::string_view data) {
    return frame(kResponseStart, commandCode, data);
}

} // namespace protocol
