#pragma once

namespace hc {

struct Game;

// The whole program: console lines, audio, display mode, window, then the program
// loop. Returns only through the exit screen or a failed start (via endProcess).
int runGame();

}  // namespace hc
