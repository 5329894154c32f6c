#pragma once
// Runs the TxTokens of a script on the simulated bus and pins.
//
// Every byte sequence runs to its end: a token the module does not know, and a
// write or delay whose operand is missing at the end, answer "?hh". The run
// time counts the delays and the I2C clock; nothing here waits.
#include "sim/bus.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace sim {

enum class Speed { Slow, Fast };

// The supply setting of tokens 70 to 75: open (slave supplied), then 2.5 V to 5.0 V.
inline constexpr std::array<int, 6> kSupplyMillivolts = {3300, 2500, 3000, 3500, 4000, 5000};

// The module's own lines. Power-up values: outputs low, SCL and SDA released,
// supply open.
struct Pins {
    std::array<bool, 4> outputs{};
    bool sclLow = false;
    bool sdaLow = false;
    std::size_t supply = 0; // index into kSupplyMillivolts
    bool interrupt = true;  // an input: only the outside world changes it
};

struct ScriptRun {
    std::string rxTokens;
    std::chrono::microseconds duration{0};
};

ScriptRun runScript(std::span<const std::uint8_t> tokens, Speed speed, Pins& pins, Bus& bus);

} // namespace sim
