#pragma once
// The command-queue compiler: queue text in, script frame or alert out.
// Never throws on user text; runs in time linear in the length of the queue.
#include "protocol/frames.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace compiler {

inline constexpr std::string_view kErrorTitle = "I2C processor error";
inline constexpr std::string_view kNoData = "No data to compile!";
inline constexpr std::string_view kUnidentified = "Unidentified element encountered: ";
inline constexpr std::string_view kTooMany = "I2C transactions limited to 125 elements";
inline constexpr std::size_t kMaxTokens = protocol::kMaxCountField - 1;

struct Alert {
    std::string title;
    std::string message;
    bool operator==(const Alert&) const = default;
};

struct CompileResult {
    std::string frame; // "$0010" + count + tokens + CR when there is no error
    std::optional<Alert> error;
    bool ok() const { return !error; }
};

// Lines are cut at LF; a line starting with ";", "/" or a blank is a comment.
// A typed line ends in CR LF, and it is the CR that separates it from the next.
CompileResult compile(std::string_view queue);

// Text as the queue editor hands it over: every line break (CR LF, LF, CR,
// U+2028, U+2029 in UTF-8) becomes CR LF.
std::string typedQueue(std::string_view text);

// How long a module may take to answer, beyond the delays a script asks for.
inline constexpr std::chrono::milliseconds kAnswerTime{1000};

// The longest the answer to a script frame may take: its delays and
// kAnswerTime. A frame that is not a script frame gives kAnswerTime.
std::chrono::milliseconds scriptAnswerTime(std::string_view frame);

// The same for a replay of the stored script, whatever it holds: every
// token pair a 256 ms delay.
std::chrono::milliseconds replayAnswerTime();

} // namespace compiler
