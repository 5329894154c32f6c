#include "controls/buttons.h"

#include "protocol/frames.h"

#include <array>
#include <string_view>

namespace controls {

namespace {

using namespace protocol::code;

struct Row {
    std::string_view first;
    std::string_view second; // empty: one frame
    bool clearsView;
};

// From cmmd(18) on.
constexpr std::array<Row, 10> kRows = {{
    {Version, Configuration, false}, // Ping
    {EdgeHighToLow, {}, false},
    {EdgeLowToHigh, {}, false},
    {TriggerOn, {}, false},
    {TriggerOff, {}, false},
    {SpeedSlow, {}, false},
    {SpeedFast, {}, false},
    {Slave, {}, true},
    {Store, {}, false},
    {Replay, {}, false},
}};

constexpr int kFirst = kFirstControlButton;
static_assert(kRows.size() == kControlButtons);

} // namespace

std::optional<ControlButton> controlButton(int index) {
    if (index < kFirst || index >= kFirst + static_cast<int>(kRows.size())) return std::nullopt;
    const Row& row = kRows[static_cast<std::size_t>(index - kFirst)];
    ControlButton button;
    button.frames.push_back(protocol::commandFrame(row.first));
    if (!row.second.empty()) button.frames.push_back(protocol::commandFrame(row.second));
    button.clearsView = row.clearsView;
    return button;
}

} // namespace controls
