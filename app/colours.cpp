#include "app/colours.h"

namespace app {

std::optional<QColor> groupColour(compiler::Group group) {
    switch (group) {
    case compiler::Group::Bus:
        return QColor(0, 0, 255);
    case compiler::Group::Speed:
        return QColor(255, 0, 0);
    case compiler::Group::Delay:
        return QColor(0, 192, 0);
    case compiler::Group::Output:
        return std::nullopt;
    case compiler::Group::Supply:
        return QColor(192, 64, 0);
    case compiler::Group::Lines:
        return QColor(192, 0, 192);
    }
    return std::nullopt;
}

} // namespace app
