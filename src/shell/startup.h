#pragma once
#include <cstdint>
#include <string>

#include "assets/graphics_pack.h"

namespace hc {

struct Game;
struct Recording;
class WindowBackend;
class Gamepads;

// How the real window starts.
struct StartOptions {
    bool fullscreen = false;
    const Recording* replay = nullptr;  // a recorded shift to watch before the menu
};

// The whole program: console lines, audio, display mode, window, then the program
// loop. Returns only through the exit screen or a failed start (via endProcess), so
// the exit status is the process's. This one opens the real (SDL) window and the game
// controllers.
int runGame(const StartOptions& options = {});
// The same on a given record and window backend; tests run it headless. Game
// controllers, when given, are started once the window is open and add to the keys.
int runGame(Game& game, WindowBackend& window, Gamepads* pads = nullptr, const Recording* replay = nullptr);

// The program loop: busy icon, one-time set-up, then menu after menu until "exit" or
// the window is closed (a close request, SIGTERM or SIGINT, seen by the key poll and
// passed up by every loop), which end through the exit screen. Never returns.
// A recording, when given, is watched first, then the menu follows.
[[noreturn]] void runProgram(Game& game, const Recording* replay = nullptr);
// Watches a recorded shift in the window, then its score picture until select or back
// (none when the watch is left before the end).
void watchRecording(Game& game, const Recording& recording);
// Select on the best scores page: watches the best arcade shift (fading the page out
// first, and the menu's music back afterwards) and returns nothing, or returns the line
// the page shows when there is no recording of it or it cannot be played (the console
// says why).
std::string watchBestShift(Game& game);
constexpr const char* NoBestShiftLine = "there is no recording of the best shift yet";
constexpr const char* UnplayableBestShiftLine = "the best shift's recording cannot be played";
// One-time tables: the random seed from the clock, the trig tables, the key bindings.
void setupTables(Game& game);
// Plays what the main menu chose: an arcade game, a career, the options, the help
// pages, or the exit screen (which does not return).
void playMenuChoice(Game& game, int choice);
// One round of the program loop: the menu theme from its start, the main menu, and
// what it chose. Returns the choice; when the window is being closed, every loop on the
// way has returned at once and keys.quit is set.
int playMenuRound(Game& game);
// Loads the graphics pack with the open screen's palette, its images at the render
// buffer's bytes per pixel. False (after the loader's console line) on a bad pack.
bool loadGameGraphics(Game& game, const std::string& path = defaultPackPath());

// Free memory in kilobytes as the first console line shows it: bytes / 1024, rounded
// to nearest with halves to even.
uint64_t kilobytesRounded(uint64_t bytes);

}  // namespace hc
