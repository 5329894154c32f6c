#pragma once
// Turns one response frame into what the views show. Any text is accepted:
// a short frame reads its missing characters as empty, an unknown code
// changes only the receive-buffer box.
#include <functional>
#include <string>
#include <string_view>

namespace protocol {

struct FrameEffect {
    std::string rxbufferbox; // the frame without its CR, then "[cr]"
    bool clearView = false;  // the bus activity view is emptied first
    std::string append;      // then this is appended to it
    bool operator==(const FrameEffect&) const = default;
};

// frame: from "!" through its CR, as cut by findFrame.
FrameEffect decodeFrame(std::string_view frame);

// Calls onToken with each RxToken of a script answer, in order; the last may
// run into the CR or be cut short by the end of the frame.
void forEachRxToken(std::string_view frame, const std::function<void(std::string_view)>& onToken);

// What the view gets for one RxToken: its line, CR LF ended, or an unfinished
// "WRITE"/"READ" line when the token has no ack character; empty for a token
// that writes nothing.
std::string tokenText(std::string_view token);

// The RxTokens of a script answer ("!0010..."), one line each.
std::string decodeTokens(std::string_view frame);

void applyToView(std::string& view, const FrameEffect& effect);

} // namespace protocol
