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

std::string boxText(std::string_view frame) {
    std::string out(frame.substr(0, frame.empty() ? 0 : frame.size() - 1));
    out += "[cr]";
    return out;
}

std::string echoText(std::string_view frame) {
    std::string out;
    out.reserve(frame.size() + 8);
    for (char c : frame) {
        if (c == '\r')
            out += "[cr]";
        else if (c == '\n')
            out += "[lf]";
        else
            out.push_back(c);
    }
    return out;
}

} // namespace protocol
