#pragma once
// What an answer says about the command it answers, for callers that must
// tell success from failure (the views show every answer alike).
#include <string>
#include <string_view>

namespace protocol {

// The frame's command code in upper case ("" when it has none).
std::string commandCodeOf(std::string_view frame);

// True when the frame reports a failure: a script answer with a write the
// slave did not acknowledge or a token the module did not know, or a store,
// replay or slave-mode answer whose execution code is not "a".
bool reportsFailure(std::string_view frame);

// True for a reset report that says the module has just powered up.
bool isPowerUpReport(std::string_view frame);

// The failure reportsFailure sees, as a sentence: the first write not
// acknowledged ("WRITE 0x40 was not acknowledged"), the first token the module
// did not know, or why a store, replay or slave command was refused. Empty
// when the frame reports none.
std::string failureOf(std::string_view frame);

} // namespace protocol
