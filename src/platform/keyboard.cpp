#include "platform/keyboard.h"

#include "core/system.h"
#include "platform/audio.h"
#include "platform/gamepad.h"
#include "platform/input_source.h"
#include "platform/window.h"

#include <algorithm>
#include <vector>

namespace hc {

namespace {

bool validAction(int action) { return action >= 1 && action <= ActionCount; }

// The keys of the window chosen at start-up.
class WindowKeyboard final : public InputSource {
public:
    ActionMask held(const KeyBindings& keys) const override {
        WindowBackend* window = activeWindow();
        ActionMask mask = 0;
        for (int action = 1; window && action <= ActionCount; ++action) {
            if (window->keyDown(keys.scancode[action])) mask |= actionBit(action);
        }
        return mask;
    }
    bool takeForgotten() override {
        WindowBackend* window = activeWindow();
        return window && window->takeForgottenInput();
    }
};

std::vector<InputSource*> addedSources;
InputSource* soleSource = nullptr;

}  // namespace

InputSource& windowKeyboard() {
    static WindowKeyboard keyboard;
    return keyboard;
}

void addInputSource(InputSource* source) {
    if (source && std::find(addedSources.begin(), addedSources.end(), source) == addedSources.end()) {
        addedSources.push_back(source);
    }
}

void removeInputSource(InputSource* source) {
    addedSources.erase(std::remove(addedSources.begin(), addedSources.end(), source), addedSources.end());
}

void setSoleInputSource(InputSource* source) { soleSource = source; }

PolledActions pollInputSources(const KeyBindings& keys) {
    InputSource* sources[2] = {soleSource ? soleSource : &windowKeyboard(), soleSource ? nullptr : activeGamepads()};
    PolledActions polled;
    const auto read = [&](InputSource& source) {
        source.update();
        polled.held |= source.held(keys);
        // Every source's flag is taken, so that none is left for a later poll.
        polled.forgotten = source.takeForgotten() || polled.forgotten;
    };
    for (InputSource* source : sources) {
        if (source) read(*source);
    }
    if (!soleSource) {
        for (InputSource* source : addedSources) read(*source);
    }
    return polled;
}

bool bindKey(KeyBindings& keys, int action, int scancode) {
    if (!validAction(action)) return false;
    for (int other = 1; other <= ActionCount; ++other) {
        if (other != action && keys.scancode[other] == scancode) return false;
    }
    keys.scancode[action] = scancode;
    return true;
}

void bindDefaultKeys(KeyBindings& keys) {
    for (const ActionRow& row : ActionTable) bindKey(keys, row.action, row.scancode);
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
    const PolledActions polled = pollInputSources(keys);
    setHeld(keys.now, polled.held);
    // Keys let go behind the game's back (the focus went to another window, a
    // controller was pulled out) are forgotten, not released: a held Enter or Esc must
    // not choose a menu entry or end the shift.
    if (polled.forgotten) {
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
