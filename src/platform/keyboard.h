#pragma once
#include <cstdint>

#include "core/actions.h"

namespace hc {

// Binds a key; false (and no change) when another action already has the scan code.
bool bindKey(KeyBindings& keys, int action, int scancode);
// The 15 default bindings, in action order.
void bindDefaultKeys(KeyBindings& keys);
// Samples all bound keys and takes one pending character; a window-close request sets
// keys.quit, which stays set.
void pollKeys(KeyBindings& keys);

struct AudioEngine;
// Block until select or back is released (true for select) / until any action is
// released (its number), keeping the audio streaming. Both return at once, false or
// 0, when the window is being closed (keys.quit).
bool waitSelectOrBack(KeyBindings& keys, AudioEngine& audio);
int waitAnyAction(KeyBindings& keys, AudioEngine& audio);

// Empties the platform's keyboard buffer (screens call it so that keys typed during an
// effect do not reach the next screen). A window-close request is not part of it: it
// stays for the next poll.
void flushKeyboardBuffer();

// The PC set-1 scan code of a key named as the platform names it ("Up", "Return",
// "F2", "A"...), or 0 when the key has none.
int scancodeForKeyName(const char* name);

}  // namespace hc
