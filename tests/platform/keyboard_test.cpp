#include "platform/keyboard.h"

#include <gtest/gtest.h>

#include "platform/audio.h"
#include "support/headless_platform.h"

namespace hc {
namespace {

constexpr int Up = 72, Down = 80, Enter = 28, Esc = 1, F2 = 60, F3 = 61, Tab = 15;

TEST(KeyBindings, ACodeAlreadyBoundElsewhereIsRefused) {
    KeyBindings keys;
    bindDefaultKeys(keys);
    EXPECT_FALSE(bindKey(keys, ActionDown, Up));
    EXPECT_EQ(keys.scancode[ActionDown], Down);
    // Rebinding an action to its own key, or to a free key, works.
    EXPECT_TRUE(bindKey(keys, ActionDown, Down));
    EXPECT_TRUE(bindKey(keys, ActionDown, 57));
    EXPECT_EQ(keys.scancode[ActionDown], 57);
    // Actions outside 1..15 are refused without touching the table.
    EXPECT_FALSE(bindKey(keys, 0, 99));
    EXPECT_FALSE(bindKey(keys, 16, 99));
    EXPECT_EQ(keys.scancode[0], 0);
}

TEST(KeyNames, TheDefaultKeysOfTheActionsAndTheirSetOneCodes) {
    // Actions 1..15 in order: the platform's key name and its code.
    const std::pair<const char*, int> table[] = {
        {"Up", 72},   {"Down", 80}, {"Left", 75}, {"Right", 77}, {"Return", 28}, {"Escape", 1},
        {"S", 31},    {"W", 17},    {"Z", 44},    {"Tab", 15},   {"R", 19},      {"F1", 59},
        {"F2", 60},   {"F3", 61},   {"F4", 62},
    };
    KeyBindings keys;
    bindDefaultKeys(keys);
    EXPECT_EQ(keys.scancode[0], 0);
    for (int action = 1; action <= ActionCount; ++action) {
        const auto [name, code] = table[action - 1];
        EXPECT_EQ(keys.scancode[action], code) << name;
        EXPECT_EQ(scancodeForKeyName(name), code) << name;
    }
    // A few more of the keyboard, the E0-prefixed twins and keys without a code.
    EXPECT_EQ(scancodeForKeyName("Keypad 8"), 72);
    EXPECT_EQ(scancodeForKeyName("Keypad Enter"), 28);
    EXPECT_EQ(scancodeForKeyName("Space"), 57);
    EXPECT_EQ(scancodeForKeyName("A"), 30);
    EXPECT_EQ(scancodeForKeyName("M"), 50);
    EXPECT_EQ(scancodeForKeyName("1"), 2);
    EXPECT_EQ(scancodeForKeyName("0"), 11);
    EXPECT_EQ(scancodeForKeyName("F10"), 68);
    EXPECT_EQ(scancodeForKeyName("F11"), 87);
    EXPECT_EQ(scancodeForKeyName("Delete"), 83);
    EXPECT_EQ(scancodeForKeyName("No such key"), 0);
    EXPECT_EQ(scancodeForKeyName(nullptr), 0);
}

class PollTest : public ::testing::Test {
protected:
    HeadlessScreen hg;
    KeyBindings& keys = hg.keys;
    void SetUp() override { bindDefaultKeys(keys); }
};

TEST_F(PollTest, HeldKeysReadDownAndActOnRelease) {
    hg.window.holdKey(F3, 2, 4);
    pollKeys(keys);  // 1
    EXPECT_FALSE(isHeld(keys, ActionStats));
    for (int poll = 2; poll <= 4; ++poll) {
        pollKeys(keys);
        EXPECT_TRUE(isHeld(keys, ActionStats));
        EXPECT_EQ(keys.now[ActionStats], -1);
        EXPECT_FALSE(wasReleased(keys, ActionStats)) << "a held key does nothing yet";
    }
    pollKeys(keys);  // 5: up again
    EXPECT_TRUE(wasReleased(keys, ActionStats));
    pollKeys(keys);
    EXPECT_FALSE(wasReleased(keys, ActionStats)) << "a release counts once";
}

TEST_F(PollTest, AKeyHeldAcrossScreensActsOnTheNextOne) {
    hg.window.holdKey(Enter, 1, 3);
    pollKeys(keys);
    pollKeys(keys);  // the first screen ends here with Enter still down
    KeyBindings nextScreen = keys;  // the table carries over unchanged
    pollKeys(nextScreen);
    EXPECT_FALSE(wasReleased(nextScreen, ActionSelect));
    pollKeys(nextScreen);
    EXPECT_TRUE(wasReleased(nextScreen, ActionSelect));
}

TEST_F(PollTest, CloseRequestCallsTheHandlerAndOtherCharactersAreConsumedOnePerPoll) {
    hg.window.typeChar('a');
    hg.window.typeChar(255);  // a 255 alone is not a close request
    hg.window.typeChar('x');
    int closes = 0;
    setWindowCloseHandler([&] {
        ++closes;
        throw ProcessEnded{42};
    });
    pollKeys(keys);
    pollKeys(keys);
    EXPECT_EQ(closes, 0);
    hg.window.requestClose();
    EXPECT_EQ(hg.runUntilEnd([&] { pollKeys(keys); }), 42);
    EXPECT_EQ(closes, 1);
    // Without a handler a close request ends the process with status 0.
    setWindowCloseHandler(nullptr);
    hg.window.requestClose();
    EXPECT_EQ(hg.runUntilEnd([&] { pollKeys(keys); }), 0);
}

TEST_F(PollTest, FlushingTheBufferKeepsACloseRequest) {
    hg.window.typeChar('a');
    hg.window.typeChar('b');
    flushKeyboardBuffer();
    EXPECT_EQ(hg.window.takeChar(), -1);
    hg.window.typeChar('c');
    hg.window.requestClose();
    EXPECT_EQ(hg.runUntilEnd([] { flushKeyboardBuffer(); }), 0);
}

TEST_F(PollTest, WaitSelectOrBackPrefersSelectWhenBothAreReleasedTogether) {
    hg.window.holdKey(Enter, 3, 5);
    hg.window.holdKey(Esc, 4, 5);
    EXPECT_TRUE(waitSelectOrBack(keys, hg.audio));
    EXPECT_EQ(hg.window.polls(), 6);
}

TEST_F(PollTest, WaitSelectOrBackReturnsFalseForBackAndIgnoresOtherKeys) {
    hg.window.holdKey(Up, 2, 2);
    hg.window.holdKey(Esc, 5, 6);
    const double before = hg.now;
    EXPECT_FALSE(waitSelectOrBack(keys, hg.audio));
    EXPECT_EQ(hg.window.polls(), 7);
    // Each turn rests about a millisecond instead of spinning.
    EXPECT_NEAR(hg.now - before, 0.006, 1e-9);
}

TEST_F(PollTest, WaitAnyActionReturnsTheLowestReleasedAction) {
    hg.window.holdKey(Tab, 2, 3);
    hg.window.holdKey(Down, 3, 3);
    EXPECT_EQ(waitAnyAction(keys, hg.audio), ActionDown);
    EXPECT_EQ(hg.window.polls(), 4);
    hg.window.holdKey(F2, 6, 6);
    EXPECT_EQ(waitAnyAction(keys, hg.audio), ActionScreenshot);
}

TEST_F(PollTest, KeysLetGoWhileTheFocusIsLostAreForgottenNotReleased) {
    // Enter is held at polls 2..3 and the window loses the focus as it comes up at poll
    // 4 (the window lets go of its keys then); Esc is tapped later.
    const struct {
        int64_t focusLostAt;
        bool select;
        int64_t polls;
    } cases[] = {
        {0, true, 4},   // the focus stays: Enter's release selects
        {4, false, 8},  // lost: Enter is forgotten, and Esc's release goes back
        {3, true, 4},   // lost while still held, released afterwards: that release counts
    };
    for (const auto& c : cases) {
        HeadlessScreen screen;
        bindDefaultKeys(screen.keys);
        screen.window.holdKey(Enter, 2, 3);
        screen.window.holdKey(Esc, 6, 7);
        screen.window.onPoll = [&](int64_t poll) {
            if (poll == c.focusLostAt) screen.window.forgetInput();
        };
        EXPECT_EQ(waitSelectOrBack(screen.keys, screen.audio), c.select) << c.focusLostAt;
        EXPECT_EQ(screen.window.polls(), c.polls) << c.focusLostAt;
    }
}

TEST_F(PollTest, AWaitEndsThroughTheCloseHandler) {
    hg.window.requestClose();
    EXPECT_EQ(hg.runUntilEnd([&] { waitAnyAction(keys, hg.audio); }), 0);
}

}  // namespace
}  // namespace hc
