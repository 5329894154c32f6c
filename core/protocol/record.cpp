#include "protocol/record.h"

#include "protocol/frames.h"
#include "util/constants.h"

#include <cstdio>
#include <ctime>

namespace protocol {

namespace {

// Line breaks as " | ", none at the end.
std::string oneLine(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line.push_back(text[i]);
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        line += " | ";
    }
    return line;
}

} // namespace

std::string recordTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()) % 1000;
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>((millis.count() + 1000) % 1000));
    return text;
}

std::string sentLine(std::string_view time, std::string_view frame) {
    return std::string(time) + " > " + echoText(frame) + std::string(util::CRLF);
}

std::string receivedLine(std::string_view time, std::string_view frame, std::string_view activity) {
    return std::string(time) + " < " + echoText(frame) + "\t" + oneLine(activity) +
           std::string(util::CRLF);
}

std::optional<RecordLine> readRecordLine(std::string_view line) {
    // "2026-12-07T13:05:42.130 < ": the time's length is fixed.
    constexpr std::size_t kTime = 23;
    if (line.size() < kTime + 3 || line[4] != '-' || line[10] != 'T' || line[19] != '.' ||
        line[kTime] != ' ' || line[kTime + 2] != ' ')
        return std::nullopt;
    RecordLine read{std::string(line.substr(0, kTime)), line[kTime + 1], {}};
    if (read.mark != '<' && read.mark != '>') return read;
    // A received frame's activity, after the TAB, is the decoder's: made again from the frame.
    const std::string_view echo = line.substr(kTime + 3);
    const std::string_view shown = echo.substr(0, echo.find_first_of("\t\r\n"));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string_view rest = shown.substr(i);
        if (rest.starts_with("[cr]") || rest.starts_with("[lf]")) {
            read.frame += rest[1] == 'c' ? '\r' : '\n';
            i += 3;
        } else {
            read.frame += shown[i];
        }
    }
    return read;
}

std::string eventLine(std::string_view time, std::string_view text, char mark) {
    return std::string(time) + " " + mark + " " + oneLine(text) + std::string(util::CRLF);
}

} // namespace protocol
