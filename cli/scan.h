#pragma once
// Probing the bus for slaves: the probe scripts, reading their answers, and
// the grid of what answered.
#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr int kFirstScanAddress = 0x08;
inline constexpr int kLastScanAddress = 0x77;

using Presence = std::array<bool, 128>;

struct ScanFrame {
    std::vector<int> addresses; // 7-bit, in probe order
    std::string queue;          // Start, Write (address x 2), Stop for each
};

// Every address of the scan range, in as few script frames as the token
// limit allows.
std::vector<ScanFrame> scanFrames();

// When frame is the answer to the probes of addresses (START, the write with
// its Ack or nAck, STOP for each, and nothing else), marks the addresses that
// acknowledged and returns true; any other frame leaves present alone.
bool readScanAnswer(std::string_view frame, const std::vector<int>& addresses, Presence& present);

class Session;

// Sends the probe frames one by one, each once the one before was answered,
// and marks what acknowledged. False when an answer did not come within
// limit (or the port failed, or a stop signal came).
bool probeBus(Session& session, std::chrono::milliseconds limit, Presence& present);

// The grid of all 128 addresses, rows "00:" to "70:": "--" for silence, the
// address in hex where a slave acknowledged, blank outside the scan range.
std::string scanGrid(const Presence& present);

// What the grid's addresses mean to a script: they are 7-bit, written shifted
// left with the direction in bit 0. The example is the first address found,
// 48 when none was.
std::string scanNote(const Presence& present);

} // namespace cli
