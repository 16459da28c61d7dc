#pragma once
#include <cstdint>
#include <functional>

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

// Scan codes of the actions, and their states at the latest and the previous poll
// (-1 down, 0 up). Element 0 is unused so that action a is element a.
struct KeyBindings {
    int32_t scancode[ActionCount + 1] = {};
    int32_t now[ActionCount + 1] = {};
    int32_t previous[ActionCount + 1] = {};
    int64_t pollCount = 0;  // polls so far; lets a release be acted on once per poll
};

// Binds a key; false (and no change) when another action already has the scan code.
bool bindKey(KeyBindings& keys, int action, int scancode);
// The 15 default bindings, in action order.
void bindDefaultKeys(KeyBindings& keys);
// Samples all bound keys and takes one pending character; a window-close request
// calls the close handler, which does not return.
void pollKeys(KeyBindings& keys);
inline bool isHeld(const KeyBindings& keys, int action) { return keys.now[action] != 0; }
inline bool wasReleased(const KeyBindings& keys, int action) {
    return keys.previous[action] != 0 && keys.now[action] == 0;
}

struct AudioEngine;
// Block until select or back is released (true for select) / until any action is
// released (its number), keeping the audio streaming.
bool waitSelectOrBack(KeyBindings& keys, AudioEngine& audio);
int waitAnyAction(KeyBindings& keys, AudioEngine& audio);

// Empties the platform's keyboard buffer (screens call it so that keys typed during an
// effect do not reach the next screen). A window-close request found in it is not
// thrown away: it calls the close handler as pollKeys would.
void flushKeyboardBuffer();

// What a window-close request does: start-up sets it to the exit screen. Without a
// handler the process ends with status 0.
void setWindowCloseHandler(std::function<void()> handler);

// The PC set-1 scan code of a key named as the platform names it ("Up", "Return",
// "F2", "A"...), or 0 when the key has none.
int scancodeForKeyName(const char* name);

}  // namespace hc
