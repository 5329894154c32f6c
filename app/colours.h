#pragma once
// The colours of the command groups, as the token menu shows them and the
// command queue repeats them.
#include "compiler/language.h"

#include <QColor>

#include <optional>

namespace app {

// None for the groups shown in the text's own colour.
std::optional<QColor> groupColour(compiler::Group group);

} // namespace app
