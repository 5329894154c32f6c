#pragma once
// The main window's controls as data, row for row as the layout tables give
// them. Positions are in twips from the client area's top-left corner.
#include "dialogs/form.h"

namespace app {

inline constexpr int kClientWidth = 12330;
inline constexpr int kClientHeight = 9090;
inline constexpr const char* kCaption = "I2C Master driver";

const dialogs::Rows& mainRows();

} // namespace app
