#include "platform/gamepad.h"

#include <cstdlib>

namespace hc {

namespace {

Gamepads* active = nullptr;

bool pushed(int value) { return value > PadDeadZone; }

// The button of an action's row; PadButtonCount for none.
int padButtonOf(PadBinding binding) {
    switch (binding) {
        case PadBinding::A: return PadA;
        case PadBinding::B: return PadB;
        case PadBinding::X: return PadX;
        case PadBinding::Y: return PadY;
        case PadBinding::Back: return PadBack;
        case PadBinding::Start: return PadStart;
        case PadBinding::LeftStick: return PadLeftStick;
        case PadBinding::LeftShoulder: return PadLeftShoulder;
        case PadBinding::RightShoulder: return PadRightShoulder;
        default: return PadButtonCount;
    }
}

}  // namespace

bool padHoldsAction(const PadState& pad, int action) {
    if (action < 1 || action > ActionCount) return false;
    const int button = padButtonOf(ActionTable[action - 1].pad);
    if (button != PadButtonCount && pad.button[button]) return true;
    // The d-pad, the left stick and the triggers drive and steer as well.
    const int x = pad.axis[PadLeftX], y = pad.axis[PadLeftY];
    const bool vertical = std::abs(y) > std::abs(x);
    switch (action) {
        case ActionUp: return pad.button[PadDpadUp] || (vertical && pushed(-y)) || pushed(pad.axis[PadRightTrigger]);
        case ActionDown: return pad.button[PadDpadDown] || (vertical && pushed(y)) || pushed(pad.axis[PadLeftTrigger]);
        case ActionLeft: return pad.button[PadDpadLeft] || pushed(-x);
        case ActionRight: return pad.button[PadDpadRight] || pushed(x);
        default: return false;
    }
}

void Gamepads::hold(const PadState& pad) {
    for (int action = 1; action <= ActionCount; ++action) held_[action] = held_[action] || padHoldsAction(pad, action);
}

bool Gamepads::actionDown(int action) const {
    return action >= 1 && action <= ActionCount && held_[action];
}

bool Gamepads::takeUnplugged() {
    const bool unplugged = unplugged_;
    unplugged_ = false;
    return unplugged;
}

Gamepads* activeGamepads() { return active; }
void setActiveGamepads(Gamepads* pads) { active = pads; }

}  // namespace hc
