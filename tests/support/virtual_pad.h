#pragma once
// VirtualPad: a game controller made by SDL itself (its virtual joystick), plugged in
// on construction and driven by the test; the game's Gamepads see it as a real one.
// Its triggers rest at SDL_JOYSTICK_AXIS_MIN: 0 is a trigger pulled halfway.
#include <SDL.h>

namespace hc {

class VirtualPad {
public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION, desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX, desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index >= 0) joystick_ = SDL_JoystickOpen(index);
    }
    ~VirtualPad() { unplug(); }
    bool plugged() const { return joystick_ != nullptr; }
    void button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(joystick_, b, down); }
    void axis(SDL_GameControllerAxis a, int16_t value) { SDL_JoystickSetVirtualAxis(joystick_, a, value); }
    void unplug() {
        if (!joystick_) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }

private:
    SDL_Joystick* joystick_ = nullptr;
};

}  // namespace hc
