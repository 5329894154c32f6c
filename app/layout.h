#pragma once
// The main window's controls as data, row for row as the layout tables give
// them. Positions are in twips from the client area's top-left corner.
#include "dialogs/form.h"

namespace app {

inline constexpr int kClientWidth = 12330;
inline constexpr int kClientHeight = 9090;
inline constexpr const char* kCaption = "I2C Master driver";
// Where the help and connector views stand when shown.
inline constexpr int kOverlayLeft = 3000;
inline constexpr int kOverlayTop = 300;
inline constexpr int kOverlayWidth = 6795;
inline constexpr int kOverlayHeight = 7035;

const dialogs::Rows& mainRows();

// The name of a member of the command button array.
inline QString cmmdName(int index) {
    return QStringLiteral("cmmd(%1)").arg(index);
}

} // namespace app
