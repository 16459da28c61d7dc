#pragma once
#include "core/actions.h"

namespace hc {

// A place the game's actions come from: the window's keyboard, the game controllers, a
// recording being played back. The key poll asks each source in turn which actions it
// holds and adds them up, so the loops above it never know where an action came from.
class InputSource {
public:
    virtual ~InputSource() = default;
    // Reads the device; called once per key poll, after the window's events.
    virtual void update() {}
    // The actions held down now. The keyboard finds its keys through the bindings.
    virtual ActionMask held(const KeyBindings& keys) const = 0;
    // True once after the source let go of actions behind the game's back (the window
    // lost the focus, a controller was pulled out): the poll then forgets them rather than
    // counting releases.
    virtual bool takeForgotten() { return false; }
};

// The window's keyboard, through the key bindings: always a source unless another
// stands alone.
InputSource& windowKeyboard();
// More sources (the controllers, a browser's keys) beside the keyboard; removing one
// that is not there does nothing.
void addInputSource(InputSource* source);
void removeInputSource(InputSource* source);
// Makes one source the only one the poll reads (a recording being played back), or,
// with null, goes back to the keyboard and the added sources.
void setSoleInputSource(InputSource* source);

// The held actions of every source in use, and whether any of them forgot its own.
struct PolledActions {
    ActionMask held = 0;
    bool forgotten = false;
};
PolledActions pollInputSources(const KeyBindings& keys);

}  // namespace hc
