// Game controllers in the browser edition, through the page's Gamepad API. Controllers
// in the browser's standard layout are read; others are left alone.
#include <emscripten/html5.h>

#include <cstring>

#include "platform/gamepad.h"

namespace hc {

namespace {

// The standard layout's button numbers, in PadButton order.
constexpr int StandardButtons[PadButtonCount] = {0, 1, 2, 3, 8, 9, 10, 4, 5, 12, 13, 14, 15};
constexpr int LeftTriggerButton = 6;
constexpr int RightTriggerButton = 7;

int16_t axisValue(double value) {
    const double scaled = value * 32767.0;
    return static_cast<int16_t>(scaled < -32768.0 ? -32768.0 : scaled > 32767.0 ? 32767.0 : scaled);
}

}  // namespace

struct Gamepads::Pads {
    bool started = false;
    int open = 0;
};

Gamepads::Gamepads() : pads_(std::make_unique<Pads>()) {}

Gamepads::~Gamepads() {
    if (activeGamepads() == this) setActiveGamepads(nullptr);
}

bool Gamepads::start(std::string* error) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        if (error) *error = "this browser has no Gamepad API";
        return false;
    }
    pads_->started = true;
    update();
    return true;
}

void Gamepads::update() {
    if (!pads_->started || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    bool wasHeld = false;
    for (int action = 1; action <= ActionCount; ++action) {
        wasHeld = wasHeld || held_[action];
        held_[action] = false;
    }
    int open = 0;
    const int count = emscripten_get_num_gamepads();
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent state;
        if (emscripten_get_gamepad_status(index, &state) != EMSCRIPTEN_RESULT_SUCCESS) continue;
        if (!state.connected || std::strcmp(state.mapping, "standard") != 0) continue;
        if (state.numButtons <= StandardButtons[PadDpadRight] || state.numAxes < 2) continue;
        ++open;
        PadState pad;
        for (int b = 0; b < PadButtonCount; ++b) pad.button[b] = state.digitalButton[StandardButtons[b]] != 0;
        pad.axis[PadLeftX] = axisValue(state.axis[0]);
        pad.axis[PadLeftY] = axisValue(state.axis[1]);
        pad.axis[PadLeftTrigger] = axisValue(state.analogButton[LeftTriggerButton]);
        pad.axis[PadRightTrigger] = axisValue(state.analogButton[RightTriggerButton]);
        hold(pad);
    }
    if (open < pads_->open && wasHeld) unplugged_ = true;
    pads_->open = open;
}

int Gamepads::connected() const { return pads_->open; }

}  // namespace hc
