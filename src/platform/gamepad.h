#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/actions.h"
#include "platform/input_source.h"

namespace hc {

// One controller's state, as SDL's game-controller interface names its parts.
enum PadButton : int {
    PadA, PadB, PadX, PadY, PadBack, PadStart, PadLeftStick, PadLeftShoulder,
    PadRightShoulder, PadDpadUp, PadDpadDown, PadDpadLeft, PadDpadRight, PadButtonCount
};
enum PadAxis : int { PadLeftX, PadLeftY, PadLeftTrigger, PadRightTrigger, PadAxisCount };

struct PadState {
    bool button[PadButtonCount] = {};
    int16_t axis[PadAxisCount] = {};  // sticks -32768..32767 (up is negative), triggers 0..32767
};

// Sticks and triggers nearer their rest than this count as at rest.
constexpr int PadDeadZone = 8000;

// Whether a controller in this state holds an action down:
//   Up     d-pad up, left stick up, right trigger, A (throttle in the cab)
//   Down   d-pad down, left stick down, left trigger, B (brake in the cab)
//   Left / Right   d-pad or left stick
//   Select Start, Back Back, Ignition X, Map view Y, Reverse left shoulder,
//   Minimap zoom right shoulder, Wipers a click of the left stick.
// The stick's up and down count only when it is pushed more up or down than
// sideways, so that steering does not open the throttle.
bool padHoldsAction(const PadState& pad, int action);

// The game controllers plugged in, through SDL's game-controller interface. They add to
// the keyboard: the key poll asks them, as one input source, which actions they hold.
class Gamepads final : public InputSource {
public:
    Gamepads();
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Starts SDL's controller support. False with a reason when it cannot; the game
    // then plays on the keyboard alone.
    bool start(std::string* error);
    // Opens the controllers plugged in since the last update, lets go of those pulled
    // out, and reads what every open one holds.
    void update() override;
    bool actionDown(int action) const;
    ActionMask held(const KeyBindings&) const override {
        ActionMask mask = 0;
        for (int action = 1; action <= ActionCount; ++action) mask |= actionDown(action) ? actionBit(action) : 0;
        return mask;
    }
    bool takeForgotten() override { return takeUnplugged(); }
    // True once after a controller was pulled out while it held an action: the key poll
    // then lets those actions go without counting releases.
    bool takeUnplugged();
    int connected() const;

private:
    // Adds the actions one controller holds to those held.
    void hold(const PadState& pad);
    struct Pads;
    std::unique_ptr<Pads> pads_;
    bool held_[ActionCount + 1] = {};
    bool unplugged_ = false;
};

// The controllers the key poll reads. Null (keyboard only) until one is set.
Gamepads* activeGamepads();
void setActiveGamepads(Gamepads* pads);

}  // namespace hc
