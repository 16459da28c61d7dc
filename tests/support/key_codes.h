#pragma once

namespace hc::test {

// The game's own key codes of the keys the tests press.
constexpr int KeyEsc = 1, KeyTab = 15, KeyEnter = 28, KeyS = 31, KeyF1 = 59, KeyF2 = 60, KeyF3 = 61;
constexpr int KeyUp = 72, KeyLeft = 75, KeyRight = 77, KeyDown = 80;

}  // namespace hc::test
