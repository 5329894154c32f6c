#pragma once
// What the window's command buttons (the `cmmd` array) stand for, by index.
#include "controls/formcodes.h"

#include <optional>
#include <string>
#include <vector>

namespace controls {

// A button that sends fixed control frames, each followed by the control wait.
struct ControlButton {
    std::vector<std::string> frames; // "$00cc" + CR each, in sending order
    bool clearsView = false;         // the activity view is emptied first
};

// cmmd(18) to cmmd(27); nothing for any other index.
std::optional<ControlButton> controlButton(int index);

} // namespace controls
