#pragma once
#include <cstdint>

#include "shell/core/body.h"

namespace hc {

struct Game;
struct Shift;
struct ScreenContext;
class WindowBackend;

// The whole program: console lines, audio, display mode, window, then the program
// loop. Returns only through the exit screen or a failed start (via endProcess), so
// the exit status is the process's. This one opens the real (SDL) window.
int runGame();
// The same on a given record and window backend; tests run it headless.
int runGame(Game& game, WindowBackend& window);

// The program loop: busy icon, one-time set-up, then menu after menu. Never returns.
[[noreturn]] void runProgram(Game& game);
// One-time tables: the random seed from the clock, the trig tables, the key bindings.
void setupTables(Game& game);
// Clears the render buffer, draws the hourglass in colour 22 and presents it.
void drawBusyIcon(ScreenContext& screen);
// Clears a new game's counters and puts the cab at its start.
void newGameReset(Shift& shift, PlayerCar& player);

// Free memory in kilobytes as the first console line shows it: bytes / 1024, rounded
// to nearest with halves to even.
uint64_t kilobytesRounded(uint64_t bytes);

}  // namespace hc
