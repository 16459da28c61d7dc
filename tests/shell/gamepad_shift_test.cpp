// A whole arcade shift driven by a game controller alone (SDL's virtual joystick):
// ignition, throttle, steering, brake, Back to end the shift and Start past the end.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gamepad.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/virtual_pad.h"

namespace hc {
namespace {

TEST(GamepadShift, AControllerDrivesAShiftFromIgnitionToTheEnd) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Gamepads pads;
    std::string error;
    ASSERT_TRUE(pads.start(&error)) << error;
    setActiveGamepads(&pads);
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();

    Game& g = arcade.game();
    const Body start = g.player;
    bool engineOn = false;
    float headingWhileSteering = start.heading;
    int64_t endedAt = 0;
    arcade.window.onPoll = [&](int64_t poll) {
        // The script, by poll: X taps the ignition, the right trigger holds the
        // throttle, the stick steers right for a while, B brakes, Back ends the shift,
        // Start leaves the "time's up!" picture.
        if (poll == 3) pad.button(SDL_CONTROLLER_BUTTON_X, true);
        if (poll == 4) pad.button(SDL_CONTROLLER_BUTTON_X, false);
        if (poll == 10) pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        if (poll == 60) pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
        if (poll == 80) {
            pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
            headingWhileSteering = g.player.heading;
        }
        if (poll == 120) {
            pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
            pad.button(SDL_CONTROLLER_BUTTON_B, true);
        }
        if (poll == 20) engineOn = isOn(g.shift.engineRunning);
        if (poll == 150) pad.button(SDL_CONTROLLER_BUTTON_BACK, true);
        if (poll == 151) pad.button(SDL_CONTROLLER_BUTTON_BACK, false);
        if (g.shift.minutesLeft < 0 && endedAt == 0) {
            endedAt = poll;
            pad.button(SDL_CONTROLLER_BUTTON_START, true);
        }
        if (endedAt && poll == endedAt + 1) pad.button(SDL_CONTROLLER_BUTTON_START, false);
        if (poll == 1000) arcade.window.requestClose();  // a shift that never ends fails
    };
    const int status = arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    setActiveGamepads(nullptr);

    EXPECT_EQ(status, -1) << "the shift did not return by itself";
    EXPECT_TRUE(engineOn);
    const float moved = std::hypot(g.player.x - start.x, g.player.y - start.y);
    EXPECT_GT(moved, 1.0f) << "the throttle did not move the cab";
    EXPECT_NE(headingWhileSteering, start.heading) << "the stick did not steer";
    // Back ended the shift long before its four minutes, and Start left the end picture.
    EXPECT_GT(endedAt, 150);
    EXPECT_LT(endedAt, 160);
    EXPECT_GT(arcade.window.polls(), endedAt);
    EXPECT_LT(arcade.window.polls(), 1000);
}

}  // namespace
}  // namespace hc
