#include "platform/gamepad.h"

#include <SDL.h>

#include <vector>

namespace hc {

namespace {

// SDL's names for the parts of PadState, in PadButton and PadAxis order.
const SDL_GameControllerButton SdlButtons[PadButtonCount] = {
    SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,          SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,  SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,  SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};
const SDL_GameControllerAxis SdlAxes[PadAxisCount] = {
    SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
    SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

}  // namespace

struct Gamepads::Pads {
    bool started = false;
    std::vector<SDL_GameController*> open;
};

Gamepads::Gamepads() : pads_(std::make_unique<Pads>()) {}

Gamepads::~Gamepads() {
    if (activeGamepads() == this) setActiveGamepads(nullptr);
    // The window's shutdown may have closed all of SDL, controllers included, already.
    if (!pads_->started || !SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return;
    for (SDL_GameController* controller : pads_->open) SDL_GameControllerClose(controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::start(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    // Controllers are read by polling their state at each key poll, not through the
    // event queue, so that nothing depends on who empties the queue.
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_JoystickEventState(SDL_IGNORE);
    pads_->started = true;
    update();
    return true;
}

void Gamepads::update() {
    if (!pads_->started || !SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return;
    // Finds controllers plugged in or pulled out and refreshes their state.
    SDL_GameControllerUpdate();
    bool wasHeld = false;
    for (int action = 1; action <= ActionCount; ++action) wasHeld = wasHeld || held_[action];
    std::vector<SDL_GameController*>& open = pads_->open;
    for (auto it = open.begin(); it != open.end();) {
        if (SDL_GameControllerGetAttached(*it)) {
            ++it;
            continue;
        }
        SDL_GameControllerClose(*it);
        it = open.erase(it);
        if (wasHeld) unplugged_ = true;
    }
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (!SDL_IsGameController(index)) continue;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        bool known = false;
        for (SDL_GameController* other : open) {
            known = known || SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(other)) == id;
        }
        if (known) continue;
        if (SDL_GameController* controller = SDL_GameControllerOpen(index)) open.push_back(controller);
    }
    for (int action = 1; action <= ActionCount; ++action) held_[action] = false;
    for (SDL_GameController* controller : open) {
        PadState pad;
        for (int b = 0; b < PadButtonCount; ++b) {
            pad.button[b] = SDL_GameControllerGetButton(controller, SdlButtons[b]) != 0;
        }
        for (int a = 0; a < PadAxisCount; ++a) pad.axis[a] = SDL_GameControllerGetAxis(controller, SdlAxes[a]);
        hold(pad);
    }
}

int Gamepads::connected() const { return static_cast<int>(pads_->open.size()); }

}  // namespace hc
