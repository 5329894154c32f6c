#pragma once
// What assistive tools get of the bus activity view: its text (line by line,
// a character and a word at a time), the caret, the selection and where each
// character stands on the screen (for a magnifier). Offsets count characters
// from the first line the view holds, lines joined by "\n".
class QAccessibleEvent;

namespace app {

// Installs the view's accessible interface with Qt, once per process.
void installActivityAccessible();

// Whether an assistive tool listens: only then is what changed worth telling.
bool toolsListen();

// Tells assistive tools of a change. Qt drops events while no platform tool
// is active, so a test without an AT-SPI bus hands in its own teller
// (nullptr: Qt's again); a teller also makes tools count as listening.
void tellTools(QAccessibleEvent& event);
using Teller = void (*)(QAccessibleEvent*);
void setTeller(Teller teller);

} // namespace app
