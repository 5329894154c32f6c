#include "app/colours.h"

#include "controls/colours.h"

namespace app {

std::optional<QColor> groupColour(compiler::Group group) {
    const auto rgb = controls::groupRgb(group);
    if (!rgb) return std::nullopt;
    return QColor(rgb->red, rgb->green, rgb->blue);
}

} // namespace app
