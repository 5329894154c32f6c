#pragma once
// The token menu (`Label2`) and its value boxes (`tokenvalue`), without widgets.
#include <optional>
#include <string>
#include <string_view>

namespace controls {

// The value box beside a menu entry: 0, 1 or 2 for Label2(1), (4), (22); else none.
std::optional<int> valueBoxOf(int label2Index);

// What a value box shows after it is read or left: "0" when it holds no
// non-zero hex value, otherwise its text unchanged.
std::string settledValueText(std::string_view boxText);

// The line a click writes: the caption from its 8th character on (at most 20
// characters), then the value box's settled text as two characters ("5" ->
// "05"), then CR LF. valueBoxText: nullopt for an entry without a box.
std::string tokenCommandLine(std::string_view caption,
                             std::optional<std::string_view> valueBoxText);

// A key typed into a value box: hex digits (lower case made upper), backspace
// and DEL pass; anything else is discarded (nullopt).
std::optional<char> valueBoxKey(char key);

} // namespace controls
