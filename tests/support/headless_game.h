#pragma once
// HeadlessGame: runs any screen of the game without a display, for screen tests.
//
// Constructing one installs, for the lifetime of the object:
//   - a HeadlessWindow (member `window`) as the active window backend;
//   - a clock the test controls: clockSeconds() returns `now`, sleeps advance it, and
//     every presented frame advances it by `secondsPerFrame`;
//   - a console sink that collects everything written (`console`, `consoleLines()`);
//   - a process-end handler that throws hc::ProcessEnded instead of exiting;
//   - no window-close handler (a close request then ends the "process" with 0);
//   - the silent audio output for initAudio (no sound device is touched).
// The destructor restores all of these and frees the render buffer.
//
// Typical use:
//   HeadlessGame hg;
//   hg.openScreen();                      // display mode + 640 x 480 screen, default keys
//   hg.window.pressKeyAt(28, 3);          // Enter down at the 3rd poll, up at the 4th
//   int status = hg.runUntilEnd([&] { someScreen(hg.game()); });
//   EXPECT_EQ(hg.window.lastFramePixel(320, 240), 22);
//
// Key script: polls are counted from 1 by the key poll (see HeadlessWindow). The
// record returned by game() is a fresh, value-initialised Game per fixture.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless_window.h"
#include "shell/core/system.h"
#include "shell/game.h"

namespace hc {

class HeadlessGame {
public:
    HeadlessGame();
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    HeadlessWindow window;
    double now = 1000.0;                  // clock seconds
    double secondsPerFrame = 1.0 / 60.0;  // clock advance per presented frame
    std::string console;                  // all console output, escape sequences kept
    // Called after every presented frame (after the clock has advanced).
    std::function<void(const Image& frame)> onFrame;

    Game& game() { return *game_; }
    // The console output split at line ends (a last unterminated piece included).
    std::vector<std::string> consoleLines() const;

    // What start-up does before the program loop: display mode, render size 640 x 480,
    // the software screen with the base palette, the key table hooked to screenshots,
    // and the default key bindings.
    void openScreen();

    // Runs body; returns the exit status if it ended the process, -1 if it returned.
    int runUntilEnd(const std::function<void()>& body);

private:
    std::unique_ptr<Game> game_;
};

}  // namespace hc
