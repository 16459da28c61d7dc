#pragma once
// HeadlessPlatform: runs platform code without a display, for screen tests.
//
// Constructing one installs, for the lifetime of the object:
//   - a HeadlessWindow (member `window`) as the active window backend;
//   - a clock the test controls: clockSeconds() returns `now`, sleeps advance it, and
//     every presented frame advances it by `secondsPerFrame`;
//   - a console sink that collects everything written (`console`, `consoleLines()`);
//   - a process-end handler that throws hc::ProcessEnded instead of exiting;
//   - no window-close handler (a close request then ends the "process" with 0);
//   - the silent audio output for initAudio (no sound device is touched);
//   - HAZARDCAB_HOME set to a fresh empty folder (`saveHome`), so saved careers,
//     scores and settings stay inside the test; it is removed afterwards.
// The destructor restores all of these and frees the render buffer it opened.
//
// Key script: polls are counted from 1 by the key poll (see HeadlessWindow).
#include <functional>
#include <string>
#include <vector>

#include "core/actions.h"
#include "core/frame_timer.h"
#include "core/system.h"
#include "platform/audio.h"
#include "platform/headless_window.h"
#include "platform/screen.h"

namespace hc {

class HeadlessPlatform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform();
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    HeadlessWindow window;
    double now = 1000.0;                  // clock seconds
    double secondsPerFrame = 1.0 / 60.0;  // clock advance per presented frame
    std::string console;                  // all console output, escape sequences kept
    std::string saveHome;                 // the game's save folder for this test
    // Called after every presented frame (after the clock has advanced).
    std::function<void(const Image& frame)> onFrame;

    // The console output split at line ends (a last unterminated piece included).
    std::vector<std::string> consoleLines() const;

    // What start-up does before the program loop: display mode, render size 640 x 480,
    // the software screen with the base palette, the key table hooked to screenshots,
    // and the default key bindings.
    void openScreen(ScreenContext& screen, KeyBindings& keys);

    // Frees the render buffer openScreen created (the destructor does it too).
    void releaseScreen();

    // Runs body; returns the exit status if it ended the process, -1 if it returned.
    int runUntilEnd(const std::function<void()>& body);

private:
    ScreenContext* opened_ = nullptr;
};

// A HeadlessPlatform with the platform's own records, for tests of the platform layer.
struct HeadlessScreen : HeadlessPlatform {
    ScreenContext screen;
    AudioEngine audio;
    KeyBindings keys;
    FrameTimer timer;

    ~HeadlessScreen() { releaseScreen(); }
    void openScreen() { HeadlessPlatform::openScreen(screen, keys); }
};

}  // namespace hc
