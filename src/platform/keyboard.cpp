#include "platform/keyboard.h"

#include "core/system.h"
#include "platform/audio.h"
#include "platform/gamepad.h"
#include "platform/window.h"

namespace hc {

namespace {

bool validAction(int action) { return action >= 1 && action <= ActionCount; }

}  // namespace

bool bindKey(KeyBindings& keys, int action, int scancode) {
    if (!validAction(action)) return false;
    for (int other = 1; other <= ActionCount; ++other) {
        if (other != action && keys.scancode[other] == scancode) return false;
    }
    keys.scancode[action] = scancode;
    return true;
}

void bindDefaultKeys(KeyBindings& keys) {
    // Up, Down, Left, Right, Enter, Esc, S, W, Z, Tab, R, F1, F2, F3, F4.
    static const int defaults[ActionCount + 1] = {0,  72, 80, 75, 77, 28, 1,  31,
                                                  17, 44, 15, 19, 59, 60, 61, 62};
    for (int action = 1; action <= ActionCount; ++action) bindKey(keys, action, defaults[action]);
}

void pollKeys(KeyBindings& keys) {
    for (int action = 1; action <= ActionCount; ++action) keys.previous[action] = keys.now[action];
    ++keys.pollCount;
    WindowBackend* window = activeWindow();
    if (!window) {
        for (int action = 1; action <= ActionCount; ++action) keys.now[action] = 0;
        return;
    }
    window->processEvents();
    Gamepads* pads = activeGamepads();
    if (pads) pads->update();
    for (int action = 1; action <= ActionCount; ++action) {
        const bool down = window->keyDown(keys.scancode[action]) || (pads && pads->actionDown(action));
        keys.now[action] = down ? -1 : 0;
    }
    // Keys let go behind the game's back (the focus went to another window, a
    // controller was pulled out) are forgotten, not released: a held Enter or Esc must
    // not choose a menu entry or end the shift.
    const bool unplugged = pads && pads->takeUnplugged();
    if (window->takeForgottenInput() || unplugged) {
        for (int action = 1; action <= ActionCount; ++action) keys.previous[action] = keys.now[action];
    }
    // A close request is kept in the key state for every loop above to see; one
    // character of the keyboard buffer is taken per poll.
    if (window->takeCloseRequest()) keys.quit = true;
    window->takeChar();
}

void flushKeyboardBuffer() {
    WindowBackend* window = activeWindow();
    if (!window) return;
    while (window->takeChar() != -1) {
    }
}

bool waitSelectOrBack(KeyBindings& keys, AudioEngine& audio) {
    for (;;) {
        pollKeys(keys);
        updateAudio(audio);
        if (keys.quit) return false;
        if (wasReleased(keys, ActionSelect) || wasReleased(keys, ActionBack)) {
            return wasReleased(keys, ActionSelect);
        }
        // pollKeys has let the window process its events; rest a moment.
        sleepMilliseconds(1);
    }
}

int waitAnyAction(KeyBindings& keys, AudioEngine& audio) {
    for (;;) {
        pollKeys(keys);
        updateAudio(audio);
        if (keys.quit) return 0;
        for (int action = 1; action <= ActionCount; ++action) {
            if (wasReleased(keys, action)) return action;
        }
        sleepMilliseconds(1);
    }
}

}  // namespace hc
