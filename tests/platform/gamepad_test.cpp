// Game controllers: what a controller's state holds down, and controllers plugged in,
// pressed and pulled out through SDL's virtual joystick as the key poll sees them.
#include "platform/gamepad.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/keyboard.h"
#include "support/headless_platform.h"
#include "support/virtual_pad.h"

namespace hc {
namespace {

std::set<int> heldActions(const PadState& pad) {
    std::set<int> held;
    for (int action = 1; action <= ActionCount; ++action) padHoldsAction(pad, action) ? void(held.insert(action)) : void();
    return held;
}

TEST(PadMapping, ButtonsSticksAndTriggersHoldTheirActions) {
    const std::pair<int, int> buttons[] = {
        {PadA, ActionUp},          {PadB, ActionDown},        {PadX, ActionIgnition},  {PadY, ActionMapView},
        {PadStart, ActionSelect},  {PadBack, ActionBack},     {PadLeftShoulder, ActionReverse},
        {PadRightShoulder, ActionMinimapZoom},                {PadLeftStick, ActionWipers},
        {PadDpadUp, ActionUp},     {PadDpadDown, ActionDown}, {PadDpadLeft, ActionLeft}, {PadDpadRight, ActionRight}};
    for (auto [button, action] : buttons) {
        PadState pad;
        pad.button[button] = true;
        EXPECT_EQ(heldActions(pad), std::set<int>{action}) << button;
    }
    EXPECT_EQ(heldActions(PadState{}), std::set<int>{});
    constexpr int16_t Full = 32767, Edge = PadDeadZone;
    const struct { int axis; int16_t value, otherStickAxis; std::set<int> held; } axes[] = {  // the stick's other axis: diagonals
        {PadRightTrigger, Full, 0, {ActionUp}},   {PadLeftTrigger, Full, 0, {ActionDown}},
        {PadRightTrigger, Edge, 0, {}},  /* inside the dead zone */  {PadRightTrigger, Edge + 1, 0, {ActionUp}},
        {PadLeftX, -Full, 0, {ActionLeft}},       {PadLeftX, Edge, 0, {}},
        {PadLeftX, Edge + 1, 0, {ActionRight}},   {PadLeftY, -Full, 0, {ActionUp}},
        {PadLeftY, Edge + 1, 0, {ActionDown}},    {PadLeftY, Edge, 0, {}},
        // Steering with a little up or down in it steers only.
        {PadLeftX, Full, -20000, {ActionRight}},
        {PadLeftY, -Full, -20000, {ActionUp, ActionLeft}},
    };
    for (const auto& c : axes) {
        PadState pad;
        pad.axis[c.axis] = c.value;
        if (c.axis == PadLeftX || c.axis == PadLeftY) pad.axis[PadLeftX + PadLeftY - c.axis] = c.otherStickAxis;
        EXPECT_EQ(heldActions(pad), c.held) << c.axis << " at " << c.value;
    }
}

struct GamepadPollTest : ::testing::Test {
    HeadlessScreen hg;
    Gamepads pads;
    void SetUp() override {
        bindDefaultKeys(hg.keys);
        std::string error;
        ASSERT_TRUE(pads.start(&error)) << error;
        setActiveGamepads(&pads);
    }
    void TearDown() override { setActiveGamepads(nullptr); }
    void poll() { pollKeys(hg.keys); }
};

TEST_F(GamepadPollTest, ControllerActionsAreHeldAndActOnReleaseLikeKeys) {
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    poll();
    EXPECT_EQ(pads.connected(), 1);
    const int64_t enterFrom = 5, enterTo = 6;  // the keyboard's Enter, by poll
    hg.window.holdKey(28, enterFrom, enterTo);
    // Each step changes the controller, then polls: what is held and what was released.
    const struct { std::function<void()> change; std::set<int> held, released; } steps[] = {
        {[&] { pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767); }, {ActionUp}, {}},
        {[&] { pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -30000); }, {ActionUp, ActionLeft}, {}},
        {[&] { pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -3000); }, {ActionUp}, {ActionLeft}},
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_START, true); }, {ActionUp, ActionSelect}, {}},
        // Start comes up while Enter is held: the keyboard still holds select.
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_START, false); }, {ActionUp, ActionSelect}, {}},
        {[] {}, {ActionUp}, {ActionSelect}},
        {[&] { pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN); }, {}, {ActionUp}},
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_BACK, true); }, {ActionBack}, {}},
        // Pulled out while Back is held: Back is let go, and nothing is released.
        {[&] { pad.unplug(); }, {}, {}},
    };
    int n = 0;
    for (const auto& step : steps) {
        step.change();
        poll();
        std::set<int> held, released;
        for (int action = 1; action <= ActionCount; ++action) {
            if (isHeld(hg.keys, action)) held.insert(action);
            if (wasReleased(hg.keys, action)) released.insert(action);
        }
        EXPECT_TRUE(held == step.held && released == step.released) << "step " << n++;
    }
    EXPECT_EQ(pads.connected(), 0);
    // Plugged in again while the game runs, it is picked up at the next poll.
    VirtualPad again;
    again.button(SDL_CONTROLLER_BUTTON_X, true);
    poll();
    EXPECT_TRUE(pads.connected() == 1 && isHeld(hg.keys, ActionIgnition));
}

}  // namespace
}  // namespace hc
