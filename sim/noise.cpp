#include "sim/noise.h"

namespace sim {

std::string noise(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<unsigned> pick(0, 255 + 2 * kNoiseFrameLength);
    // Plain bytes 0 to 255 get one chance each; "!" and CR get
    // kNoiseFrameLength more each, out of 256 + 2 * kNoiseFrameLength in all.
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned value = pick(random);
        if (value < 256)
            out.push_back(static_cast<char>(value));
        else
            out.push_back(value < 256 + kNoiseFrameLength ? '!' : '\r');
    }
    return out;
}

} // namespace sim
