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
    for (int action = 1; action <= ActionCount; ++action) {
        if (padHoldsAction(pad, action)) held.insert(action);
    }
    return held;
}

TEST(PadMapping, ButtonsSticksAndTriggersHoldTheirActions) {
    constexpr int16_t Full = 32767, Edge = PadDeadZone;
    const struct {
        const char* what;
        int button;  // -1: none
        int axis;    // -1: none
        int16_t value;
        int16_t otherStickAxis;  // the stick's other axis, for diagonal pushes
        std::set<int> held;
    } cases[] = {
        {"at rest", -1, -1, 0, 0, {}},
        {"A", PadA, -1, 0, 0, {ActionUp}},
        {"B", PadB, -1, 0, 0, {ActionDown}},
        {"X", PadX, -1, 0, 0, {ActionIgnition}},
        {"Y", PadY, -1, 0, 0, {ActionMapView}},
        {"Start", PadStart, -1, 0, 0, {ActionSelect}},
        {"Back", PadBack, -1, 0, 0, {ActionBack}},
        {"left shoulder", PadLeftShoulder, -1, 0, 0, {ActionReverse}},
        {"right shoulder", PadRightShoulder, -1, 0, 0, {ActionMinimapZoom}},
        {"stick click", PadLeftStick, -1, 0, 0, {ActionWipers}},
        {"d-pad up", PadDpadUp, -1, 0, 0, {ActionUp}},
        {"d-pad down", PadDpadDown, -1, 0, 0, {ActionDown}},
        {"d-pad left", PadDpadLeft, -1, 0, 0, {ActionLeft}},
        {"d-pad right", PadDpadRight, -1, 0, 0, {ActionRight}},
        {"right trigger", -1, PadRightTrigger, Full, 0, {ActionUp}},
        {"left trigger", -1, PadLeftTrigger, Full, 0, {ActionDown}},
        {"trigger inside the dead zone", -1, PadRightTrigger, Edge, 0, {}},
        {"trigger just past it", -1, PadRightTrigger, Edge + 1, 0, {ActionUp}},
        {"stick left", -1, PadLeftX, -Full, 0, {ActionLeft}},
        {"stick right, small", -1, PadLeftX, Edge, 0, {}},
        {"stick right", -1, PadLeftX, Edge + 1, 0, {ActionRight}},
        {"stick up", -1, PadLeftY, -Full, 0, {ActionUp}},
        {"stick down", -1, PadLeftY, Edge + 1, 0, {ActionDown}},
        {"stick down, small", -1, PadLeftY, Edge, 0, {}},
        // Steering with a little up or down in it steers only.
        {"stick right and a bit up", -1, PadLeftX, Full, -20000, {ActionRight}},
        {"stick up and a bit left", -1, PadLeftY, -Full, -20000, {ActionUp, ActionLeft}},
    };
    for (const auto& c : cases) {
        PadState pad;
        if (c.button >= 0) pad.button[c.button] = true;
        if (c.axis >= 0) pad.axis[c.axis] = c.value;
        if (c.axis == PadLeftX) pad.axis[PadLeftY] = c.otherStickAxis;
        if (c.axis == PadLeftY) pad.axis[PadLeftX] = c.otherStickAxis;
        EXPECT_EQ(heldActions(pad), c.held) << c.what;
    }
}

class GamepadPollTest : public ::testing::Test {
protected:
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
    const struct {
        std::function<void()> change;
        std::set<int> held, released;
    } steps[] = {
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
        EXPECT_EQ(held, step.held) << "step " << n;
        EXPECT_EQ(released, step.released) << "step " << n;
        ++n;
    }
    EXPECT_EQ(pads.connected(), 0);
    // Plugged in again while the game runs, it is picked up at the next poll.
    VirtualPad again;
    again.button(SDL_CONTROLLER_BUTTON_X, true);
    poll();
    EXPECT_EQ(pads.connected(), 1);
    EXPECT_TRUE(isHeld(hg.keys, ActionIgnition));
}

}  // namespace
}  // namespace hc
