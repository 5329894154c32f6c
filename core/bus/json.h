#pragma once
// The frames of a session as JSON Lines, for programs that read the command
// line's output (doc/json.md has the schema). Every string written is valid
// UTF-8 JSON whatever bytes it was given: control characters are escaped, and
// a byte that is not part of valid UTF-8 stands as the Latin-1 character of
// its value (0xE9 as \u00e9). Nothing here fails.
#include "bus/devices.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bus {

// text as a quoted JSON string.
std::string jsonString(std::string_view text);

// {"address": ..., "direction": ..., "ack": ..., "bytes": [...], "meaning": ...}
std::string transactionJson(const Transaction& t);

// One frame's object, without a line end. time: as protocol::recordTime
// gives it, or nothing for null. frame: with or without its CR. A received
// frame has the lines the activity view shows for it; a received script
// answer also the transactions given.
std::string sentJson(std::optional<std::string_view> time, std::string_view frame);
std::string receivedJson(std::optional<std::string_view> time, std::string_view frame,
                         const std::vector<Transaction>& transactions);

// {"scan": [the 7-bit addresses that answered]}
std::string scanJson(const std::vector<int>& addresses);

// The objects of one stream of frames. A stream shares one explainer, so a
// read is named by what an earlier answer's write left (a register pointer,
// a memory address), as the picture names it.
class JsonStream {
  public:
    std::string sent(std::optional<std::string_view> time, std::string_view frame) const {
        return sentJson(time, frame);
    }
    std::string received(std::optional<std::string_view> time, std::string_view frame);

  private:
    Explainer m_explainer;
};

} // namespace bus
