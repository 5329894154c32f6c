#pragma once
// Probing the bus for slaves: the probe scripts and the grid of answers.
#include <array>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kFirstScanAddress = 0x08;
inline constexpr int kLastScanAddress = 0x77;

// Start, Write (address x 2), Stop for every 7-bit address in the scan
// range, as command queues of as many probes as one script frame holds.
std::vector<std::string> scanScripts();

// The grid of all 128 addresses, rows "00:" to "70:": "--" for silence, the
// address in hex where a slave acknowledged, blank outside the scan range.
std::string scanGrid(const std::array<bool, 128>& present);

} // namespace cli
