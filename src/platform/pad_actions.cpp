#include "platform/gamepad.h"

#include <cstdlib>

namespace hc {

namespace {

bool pushed(int value) { return value > PadDeadZone; }

}  // namespace

bool padHoldsAction(const PadState& pad, int action) {
    const int x = pad.axis[PadLeftX], y = pad.axis[PadLeftY];
    const bool vertical = std::abs(y) > std::abs(x);
    switch (action) {
        case ActionUp:
            return pad.button[PadDpadUp] || (vertical && pushed(-y)) ||
                   pushed(pad.axis[PadRightTrigger]) || pad.button[PadA];
        case ActionDown:
            return pad.button[PadDpadDown] || (vertical && pushed(y)) ||
                   pushed(pad.axis[PadLeftTrigger]) || pad.button[PadB];
        case ActionLeft: return pad.button[PadDpadLeft] || pushed(-x);
        case ActionRight: return pad.button[PadDpadRight] || pushed(x);
        case ActionSelect: return pad.button[PadStart];
        case ActionBack: return pad.button[PadBack];
        case ActionIgnition: return pad.button[PadX];
        case ActionMapView: return pad.button[PadY];
        case ActionReverse: return pad.button[PadLeftShoulder];
        case ActionMinimapZoom: return pad.button[PadRightShoulder];
        case ActionWipers: return pad.button[PadLeftStick];
        default: return false;
    }
}

}  // namespace hc
