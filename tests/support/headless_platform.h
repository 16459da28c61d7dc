#pragma once
// HeadlessPlatform: platform code without a display. While alive it installs a HeadlessWindow, a clock the test owns
// (sleeps and presented frames advance it), a console sink, a process end that throws ProcessEnded, the silent audio
// output, and HAZARDCAB_HOME in a fresh folder.
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
    std::function<void(const Image& frame)> onFrame;  // after every presented frame

    // The console output split at line ends (a last unterminated piece included).
    std::vector<std::string> consoleLines() const;
    // As start-up does: display mode, a 640 x 480 software screen, default keys.
    void openScreen(ScreenContext& screen, KeyBindings& keys);
    void releaseScreen();

    // Runs body; returns the exit status if it ended the process, -1 if it returned.
    int runUntilEnd(const std::function<void()>& body);

private:
    ScreenContext* opened_ = nullptr;
};

// With the platform's own records, for the platform layer's tests.
struct HeadlessScreen : HeadlessPlatform {
    ScreenContext screen;
    AudioEngine audio;
    KeyBindings keys;
    FrameTimer timer;

    ~HeadlessScreen() { releaseScreen(); }
    void openScreen() { HeadlessPlatform::openScreen(screen, keys); }
};

}  // namespace hc
