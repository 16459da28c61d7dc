// A whole arcade shift driven by a game controller alone (SDL's virtual joystick) on a
// machine so slow that every frame is five seconds long.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gamepad.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/virtual_pad.h"

namespace hc {
namespace {

// X taps the ignition, the right trigger holds the throttle, the stick swings the wheel
// from side to side, and Start leaves the "time's up!" picture. The shift still lasts
// four minutes of game time: 48 frames (a few more while the frame timer's first window
// reads a tick a frame); the cab moves far but stays in the city with finite numbers.
TEST(GamepadShift, AControllerDrivesAShiftOfFiveSecondFramesInGameTime) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Gamepads pads;
    std::string error;
    ASSERT_TRUE(pads.start(&error)) << error;
    setActiveGamepads(&pads);
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    Game& g = arcade.game();
    const PlayerCar& car = g.player;
    const float x0 = car.x, y0 = car.y, heading0 = car.heading;
    float farthest = 0;
    int64_t lost = 0, endedAt = 0;
    bool engineOn = false, steered = false;
    arcade.window.onPoll = [&](int64_t poll) {
        arcade.secondsPerFrame = 5.0;
        lost += !(std::isfinite(car.vx) && std::isfinite(car.vy) && std::isfinite(g.shift.engineHeat) && car.x >= 0 &&
                  car.x < MapSize && car.y >= 0 && car.y < MapSize);
        farthest = std::fmax(farthest, std::hypot(car.x - x0, car.y - y0));
        engineOn |= isOn(g.shift.engineRunning);
        steered |= car.heading != heading0;
        if (poll == 2 || poll == 3) pad.button(SDL_CONTROLLER_BUTTON_X, poll == 2);
        if (poll == 4) pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        if (poll > 4 && endedAt == 0) pad.axis(SDL_CONTROLLER_AXIS_LEFTX, poll / 2 % 2 ? 32767 : -32767);
        if (g.shift.minutesLeft < 0 && endedAt == 0) endedAt = poll, pad.button(SDL_CONTROLLER_BUTTON_START, true);
        if (endedAt && poll == endedAt + 1) pad.button(SDL_CONTROLLER_BUTTON_START, false);
        if (poll == 1000) arcade.window.requestClose();  // a shift that never ends fails
    };
    const int status = arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    setActiveGamepads(nullptr);
    EXPECT_EQ(status, -1) << "the shift did not return by itself";
    EXPECT_TRUE(endedAt >= 49 && endedAt <= 53) << endedAt;
    EXPECT_TRUE(engineOn && steered && lost == 0 && farthest > 5.0f) << lost << " " << farthest;
    EXPECT_TRUE(arcade.window.polls() > endedAt && arcade.window.polls() < 1000) << "Start left the end picture";
}

}  // namespace
}  // namespace hc
