// Keyboard and controllers as the key poll sees them: bindings, holds, releases, waits, closes, focus, hot-plugging.
#include "platform/gamepad.h"
#include "platform/keyboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>
#include <utility>

#include "platform/audio.h"
#include "support/headless_platform.h"
#include "support/virtual_pad.h"

namespace hc {
namespace {

constexpr int Up = 72, Down = 80, Enter = 28, Esc = 1, F2 = 60, F3 = 61, Tab = 15;

TEST(KeyBindings, DefaultKeysTheirCodesAndRebinding) {
    // Actions from 1 in order: the platform's key name and its set-1 code (actions added later are not listed).
    const std::pair<const char*, int> defaults[] = {{"Up", 72}, {"Down", 80}, {"Left", 75}, {"Right", 77}, {"Return", 28}, {"Escape", 1}, {"S", 31},
                                                    {"W", 17}, {"Z", 44}, {"Tab", 15}, {"R", 19}, {"F1", 59}, {"F2", 60}, {"F3", 61}, {"F4", 62}};
    KeyBindings keys;
    bindDefaultKeys(keys);
    for (int a = 1; a <= static_cast<int>(std::size(defaults)); ++a)
        EXPECT_EQ(std::pair(keys.scancode[a], scancodeForKeyName(defaults[a - 1].first)), std::pair(defaults[a - 1].second, defaults[a - 1].second)) << a;
    const std::pair<const char*, int> others[] = {{"Keypad 8", 72}, {"Keypad Enter", 28}, {"Space", 57}, {"A", 30}, {"M", 50}, {"1", 2},
                                                  {"0", 11}, {"F10", 68}, {"F11", 87}, {"Delete", 83}, {"No such key", 0}, {nullptr, 0}};
    for (auto [name, code] : others) EXPECT_EQ(scancodeForKeyName(name), code) << (name ? name : "null");
    // A code already bound elsewhere is refused; its own key or a free one is taken.
    EXPECT_EQ((std::tuple{bindKey(keys, ActionDown, Up), keys.scancode[ActionDown]}), std::tuple(false, Down));
    EXPECT_EQ((std::tuple{bindKey(keys, ActionDown, Down), bindKey(keys, ActionDown, 57), keys.scancode[ActionDown]}), std::tuple(true, true, 57));
    EXPECT_EQ((std::tuple{bindKey(keys, 0, 99), bindKey(keys, 16, 99), keys.scancode[0]}), std::tuple(false, false, 0));
}

struct PollTest : ::testing::Test {
    HeadlessScreen hg;
    KeyBindings& keys = hg.keys;
    void SetUp() override { bindDefaultKeys(keys); }
};

TEST_F(PollTest, HeldKeysReadDownAndActOnceOnRelease) {
    hg.window.holdKey(F3, 2, 4);
    for (int poll = 1; poll <= 6; ++poll) {
        pollKeys(keys);
        EXPECT_EQ(isHeld(keys, ActionStats), poll >= 2 && poll <= 4) << poll;
        EXPECT_EQ(wasReleased(keys, ActionStats), poll == 5) << poll;
    }
    // A key still down when one screen ends acts on the next one's first poll after it comes up.
    hg.window.holdKey(Enter, 7, 8);
    pollKeys(keys);
    KeyBindings nextScreen = keys;
    const auto releasedAfterPoll = [&] { pollKeys(nextScreen); return wasReleased(nextScreen, ActionSelect); };
    EXPECT_EQ((std::tuple{releasedAfterPoll(), releasedAfterPoll()}), std::tuple(false, true));
}

// A close request is never an exit from inside the poll: it sets the key state's quit,
// which stays set, and the waits return at once; flushing the typed keys keeps it.
TEST_F(PollTest, ACloseRequestSetsQuitForGoodAndTheWaitsReturnAtOnce) {
    for (int c : {int('a'), 255, int('x')}) hg.window.typeChar(c);  // a 255 alone is not a close request
    pollKeys(keys), pollKeys(keys);
    EXPECT_FALSE(keys.quit);
    hg.window.typeChar('c'), hg.window.requestClose(), flushKeyboardBuffer();
    EXPECT_EQ(hg.window.takeChar(), -1) << "the typed keys are flushed";
    hg.window.holdKey(Enter, 1, 3);  // released at poll 4, the first wait's: quitting wins
    EXPECT_EQ(hg.runUntilEnd([&] { pollKeys(keys); }), -1) << "the poll returns";
    EXPECT_TRUE(keys.quit) << "the close request outlived the flush";
    const int64_t polls = hg.window.polls();
    EXPECT_EQ((std::tuple{waitAnyAction(keys, hg.audio), waitSelectOrBack(keys, hg.audio), keys.quit, hg.window.polls() - polls}), std::tuple(0, false, true, 2)) << "one poll each";
}

TEST_F(PollTest, WaitsReturnOnTheFirstReleaseOfTheirKeysRestingBetweenPolls) {
    hg.window.holdKey(Enter, 3, 5), hg.window.holdKey(Esc, 4, 5);  // released at the same poll: select wins
    EXPECT_EQ((std::tuple{waitSelectOrBack(keys, hg.audio), hg.window.polls()}), std::tuple(true, 6));
    // Other keys do nothing; each turn rests a millisecond instead of spinning.
    hg.window.holdKey(Up, 7, 7), hg.window.holdKey(Esc, 10, 11);
    const double before = hg.now;
    EXPECT_EQ((std::tuple{waitSelectOrBack(keys, hg.audio), hg.window.polls()}), std::tuple(false, 12));
    EXPECT_NEAR(hg.now - before, 0.005, 1e-9);  // five rests, then the return
    // Any action: the lowest of those released at the same poll.
    hg.window.holdKey(Tab, 13, 14), hg.window.holdKey(Down, 14, 14);
    EXPECT_EQ((std::tuple{waitAnyAction(keys, hg.audio), hg.window.polls()}), std::tuple(int{ActionDown}, 15));
    hg.window.holdKey(F2, 17, 17);
    EXPECT_EQ(waitAnyAction(keys, hg.audio), ActionScreenshot);
}

TEST_F(PollTest, KeysLetGoWhileTheFocusIsLostAreForgottenNotReleased) {
    // Enter is held at polls 2..3 and comes up at poll 4; Esc is tapped later.
    const struct { int64_t focusLostAt; bool select; int64_t polls; } cases[] = {
        {0, true, 4},   // the focus stays: Enter's release selects
        {4, false, 8},  // lost as it comes up: Enter is forgotten, and Esc's release goes back
        {3, true, 4},   // lost while still held, released afterwards: that release counts
    };
    for (const auto& c : cases) {
        HeadlessScreen screen;
        bindDefaultKeys(screen.keys), screen.window.holdKey(Enter, 2, 3), screen.window.holdKey(Esc, 6, 7);
        screen.window.onPoll = [&](int64_t poll) { poll == c.focusLostAt ? screen.window.forgetInput() : void(); };
        EXPECT_EQ((std::tuple{waitSelectOrBack(screen.keys, screen.audio), screen.window.polls()}), std::tuple(c.select, c.polls)) << c.focusLostAt;
    }
}

std::set<int> actionsWhere(const std::function<bool(int)>& is) {
    std::set<int> out;
    for (int action = 1; action <= ActionCount; ++action) if (is(action)) out.insert(action);
    return out;
}
std::set<int> heldActions(const PadState& pad) { return actionsWhere([&](int a) { return padHoldsAction(pad, a); }); }

TEST(PadMapping, ButtonsSticksAndTriggersHoldTheirActions) {
    const std::pair<int, int> buttons[] = {{PadA, ActionUp}, {PadB, ActionDown}, {PadX, ActionIgnition}, {PadY, ActionMapView},
        {PadStart, ActionSelect}, {PadBack, ActionBack}, {PadLeftShoulder, ActionReverse}, {PadRightShoulder, ActionMinimapZoom},
        {PadLeftStick, ActionWipers}, {PadDpadUp, ActionUp}, {PadDpadDown, ActionDown}, {PadDpadLeft, ActionLeft}, {PadDpadRight, ActionRight}};
    for (auto [button, action] : buttons) {
        PadState pad;
        pad.button[button] = true;
        EXPECT_EQ(std::tuple(heldActions(pad), heldActions(PadState{})), std::tuple(std::set<int>{action}, std::set<int>{})) << button;
    }
    constexpr int16_t Full = 32767, Edge = PadDeadZone;
    // At the dead zone's edge nothing is held; steering with a little up or down in it
    // (the stick's other axis), or as much as at 45 degrees, steers only.
    const struct { int axis; int16_t value, otherStickAxis; std::set<int> held; } axes[] = {
        {PadRightTrigger, Full, 0, {ActionUp}}, {PadLeftTrigger, Full, 0, {ActionDown}}, {PadRightTrigger, Edge, 0, {}},
        {PadRightTrigger, Edge + 1, 0, {ActionUp}}, {PadLeftX, -Full, 0, {ActionLeft}}, {PadLeftX, Edge, 0, {}},
        {PadLeftX, Edge + 1, 0, {ActionRight}}, {PadLeftY, -Full, 0, {ActionUp}}, {PadLeftY, Edge + 1, 0, {ActionDown}}, {PadLeftY, Edge, 0, {}},
        {PadLeftX, Full, -20000, {ActionRight}}, {PadLeftY, -Full, -20000, {ActionUp, ActionLeft}}, {PadLeftY, -Full, -Full, {ActionLeft}}};
    for (const auto& c : axes) {
        PadState pad;
        pad.axis[c.axis] = c.value;
        if (c.axis == PadLeftX || c.axis == PadLeftY) pad.axis[PadLeftX + PadLeftY - c.axis] = c.otherStickAxis;
        EXPECT_EQ(heldActions(pad), c.held) << c.axis << " at " << c.value;
    }
}

TEST(GamepadPoll, ControllerActionsAreHeldAndActOnReleaseLikeKeys) {
    HeadlessScreen hg;
    Gamepads pads;
    std::string error;
    ASSERT_TRUE(pads.start(&error)) << error;
    bindDefaultKeys(hg.keys), setActiveGamepads(&pads), hg.window.holdKey(Enter, 5, 6);  // the keyboard's Enter, by poll
    const struct Detach { ~Detach() { setActiveGamepads(nullptr); } } detach;
    auto poll = [&] { pollKeys(hg.keys); };
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    poll();
    EXPECT_EQ(pads.connected(), 1);
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
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_A, true); }, {ActionUp}, {}},  // A and B are throttle and brake too
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_A, false), pad.button(SDL_CONTROLLER_BUTTON_B, true); }, {ActionDown}, {ActionUp}},
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_B, false); }, {}, {ActionDown}},
        {[&] { pad.button(SDL_CONTROLLER_BUTTON_BACK, true); }, {ActionBack}, {}},
        // Pulled out while Back is held: Back is let go, and nothing is released.
        {[&] { pad.unplug(); }, {}, {}},
    };
    int n = 0;
    for (const auto& step : steps) {
        step.change(), poll();
        EXPECT_EQ(std::tuple(actionsWhere([&](int a) { return isHeld(hg.keys, a); }), actionsWhere([&](int a) { return wasReleased(hg.keys, a); })),
                  std::tuple(step.held, step.released)) << "step " << n++;
    }
    EXPECT_EQ(pads.connected(), 0);
    // Plugged in again while the game runs, it is picked up at the next poll.
    VirtualPad again;
    again.button(SDL_CONTROLLER_BUTTON_X, true), poll();
    EXPECT_EQ(std::tuple(pads.connected(), isHeld(hg.keys, ActionIgnition)), std::tuple(1, true));
}

// A source that holds what the test says and forgets when told.
struct ScriptedSource final : InputSource {
    ActionMask mask = 0;
    bool forget = false;
    ActionMask held(const KeyBindings&) const override { return mask; }
    bool takeForgotten() override { return std::exchange(forget, false); }
};

TEST(InputSources, AddedSourcesAddUpAndASoleSourceShutsTheOthersOut) {
    HeadlessScreen hg;
    bindDefaultKeys(hg.keys), hg.window.holdKey(Enter, 1, 100);
    ScriptedSource extra;
    addInputSource(&extra);
    const struct Detach { ScriptedSource* s; ~Detach() { removeInputSource(s), setSoleInputSource(nullptr); } } detach{&extra};
    const auto poll = [&] { pollKeys(hg.keys); return heldMask(hg.keys.now); };
    extra.mask = actionBit(ActionUp);
    EXPECT_EQ(poll(), actionBit(ActionUp) | actionBit(ActionSelect)) << "keyboard and added source together";
    setSoleInputSource(&extra);
    extra.mask = actionBit(ActionLeft);
    EXPECT_EQ(poll(), actionBit(ActionLeft)) << "the keyboard's Enter is shut out";
    extra.mask = 0, extra.forget = true;
    EXPECT_EQ(poll(), 0u);
    EXPECT_FALSE(wasReleased(hg.keys, ActionLeft)) << "a forgetting source lets go without a release";
    setSoleInputSource(nullptr), removeInputSource(&extra);
    EXPECT_EQ(poll(), actionBit(ActionSelect)) << "back to the keyboard alone";
}

}  // namespace
}  // namespace hc
