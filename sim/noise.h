#pragma once
// Line noise for load and soak runs: random bytes with "!" and CR among them
// about as often as real frames bring them, so that a receiver sees frame
// starts, frame ends and garbage in every mix.
#include <cstddef>
#include <random>
#include <string>

namespace sim {

// About one character in kNoiseFrameLength is a "!", and as many are CRs.
inline constexpr unsigned kNoiseFrameLength = 12;

std::string noise(std::mt19937& random, std::size_t count);

} // namespace sim
