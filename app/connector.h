#pragma once
// The drawing of the module's 9-pin connector as seen looking at the pins,
// in the frame `connection`. Positions in twips from the frame's corner.
#include "dialogs/form.h"

namespace app {

const dialogs::Rows& connectorRows();

} // namespace app
