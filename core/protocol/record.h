#pragma once
// The lines of a session record, one per frame sent or received and one per
// event, each as it happens:
//   2026-12-07T13:05:42.117 > $0013[cr]
//   2026-12-07T13:05:42.130 < !0013a[cr]<TAB>[Edge = High-to-Low ]
//   2026-12-07T13:06:10.002 * COM8 stopped working: ...
//   2026-12-07T13:06:31.540 + COM8 (/dev/pts/4) opened again
// The time is local, ISO 8601 with milliseconds; a frame shows CR as "[cr]"
// and LF as "[lf]"; a received frame's activity stands on one line, its line
// breaks shown as " | ". Every line ends with CR LF.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace protocol {

// "2026-12-07T13:05:42.117" for a time, in local time.
std::string recordTime(std::chrono::system_clock::time_point when);

std::string sentLine(std::string_view time, std::string_view frame);
// activity: the lines the frame writes to the activity view.
std::string receivedLine(std::string_view time, std::string_view frame, std::string_view activity);
// An event: "*" marks a loss (a port that stopped working), "+" a return.
inline constexpr char kLossMark = '*';
inline constexpr char kReturnMark = '+';
std::string eventLine(std::string_view time, std::string_view text, char mark = kLossMark);

struct RecordLine {
    std::string time;
    char mark;         // '>', '<', kLossMark, kReturnMark
    std::string frame; // '>' and '<': "[cr]" and "[lf]" back as CR and LF
};
// What a line of a record says (its line end may be there or not); nothing
// for a line that does not start with a record's time and mark.
std::optional<RecordLine> readRecordLine(std::string_view line);

} // namespace protocol
