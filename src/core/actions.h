#pragma once
#include <cstdint>

namespace hc {

// The 15 game actions, numbered as the game's rules number them.
enum Action : int {
    ActionUp = 1,
    ActionDown = 2,
    ActionLeft = 3,
    ActionRight = 4,
    ActionSelect = 5,
    ActionBack = 6,
    ActionIgnition = 7,
    ActionWipers = 8,
    ActionMinimapZoom = 9,
    ActionMapView = 10,
    ActionReverse = 11,
    ActionMusic = 12,
    ActionScreenshot = 13,
    ActionStats = 14,
    ActionLowDetail = 15,
};
constexpr int ActionCount = 15;

// The key-state record the game reads its input from: the scan code bound to each
// action, and its state at the latest and the previous poll (-1 down, 0 up). Element 0 is unused so that action a is element a.
struct KeyBindings {
    int32_t scancode[ActionCount + 1] = {};
    int32_t now[ActionCount + 1] = {};
    int32_t previous[ActionCount + 1] = {};
    int64_t pollCount = 0;  // polls so far; lets a release be acted on once per poll
    // The window is being closed (its close button, or SIGTERM and SIGINT): set by the
    // poll that sees the request and never cleared. Every loop that sees it returns at
    // once, and each caller saves what it holds on the way out to the exit screen.
    bool quit = false;
};

// Steering, throttle and brake act while held; every switch and menu choice acts on
// the release, seen once: down at the previous poll and up at the latest.
inline bool isHeld(const KeyBindings& keys, int action) { return keys.now[action] != 0; }
inline bool wasReleased(const KeyBindings& keys, int action) {
    return keys.previous[action] != 0 && keys.now[action] == 0;
}

}  // namespace hc
