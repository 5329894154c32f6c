#pragma once
// The numbers by which the window's form knows its controls and requests,
// in one table: nowhere else does a bare index or request code stand.
namespace controls {

inline constexpr int kQuickButtons = 18;       // cmmd(0) to cmmd(17): blocks 1 to 18
inline constexpr int kFirstControlButton = 18; // cmmd(18) to cmmd(27)
inline constexpr int kControlButtons = 10;
inline constexpr int kCompileButton = 255; // cmmd(255), Compile/Transmit
inline constexpr int kTokenValueBoxes = 3; // tokenvalue(0) to tokenvalue(2)
inline constexpr int kDecodeRequest = 255; // process(255, ...): decode what the buffer holds

} // namespace controls
