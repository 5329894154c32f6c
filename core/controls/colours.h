#pragma once
// The colours of the command groups: the token menu shows them, and the
// command queue and the bus picture repeat them.
#include "compiler/language.h"

#include <cstdint>
#include <optional>

namespace controls {

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// None for the groups shown in the text's own colour.
constexpr std::optional<Rgb> groupRgb(compiler::Group group) {
    switch (group) {
    case compiler::Group::Bus:
        return Rgb{0, 0, 255};
    case compiler::Group::Speed:
        return Rgb{255, 0, 0};
    case compiler::Group::Delay:
        return Rgb{0, 192, 0};
    case compiler::Group::Output:
        return std::nullopt;
    case compiler::Group::Supply:
        return Rgb{192, 64, 0};
    case compiler::Group::Lines:
        return Rgb{192, 0, 192};
    }
    return std::nullopt;
}

} // namespace controls
