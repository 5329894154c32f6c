#pragma once
// What assistive tools get of the bus picture: its strips as text, one line
// each (the boxes' labels, then what the strip means), the caret on the box
// the keys are on, and where each line stands on the screen.
namespace app {

// Installs the picture's accessible interface with Qt, once per process.
void installPictureAccessible();

} // namespace app
