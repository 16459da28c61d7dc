#pragma once
#include <cstdint>
#include <iterator>
#include <string_view>

namespace hc {

// The 15 game actions, numbered as the game's rules number them.
enum Action : int {
    ActionUp = 1,
    ActionDown = 2,
    ActionLeft = 3,
    ActionRight = 4,
    ActionSelect = 5,
    ActionBack = 6,
    ActionIgnition = 7,
    ActionWipers = 8,
    ActionMinimapZoom = 9,
    ActionMapView = 10,
    ActionReverse = 11,
    ActionMusic = 12,
    ActionScreenshot = 13,
    ActionStats = 14,
    ActionLowDetail = 15,
};

// The controller button an action is bound to. Unset is what a row that forgets the
// button gets, and the build refuses it; None says on purpose that no button acts.
enum class PadBinding : int {
    Unset, None, A, B, X, Y, Back, Start, LeftStick, LeftShoulder, RightShoulder
};

// Everything bound to one action: its name, default key (PC set-1 scan code), controller
// button, and the help page's key picture (the font's key-cap style) and line.
struct ActionRow {
    Action action;
    std::string_view name;
    int32_t scancode;
    PadBinding pad;
    std::string_view helpKey;
    std::string_view helpLine;
};

// One row per action, in action order. A new action is one more row here (and its
// enumerator above); the keyboard, the controllers and the help page all read this.
inline constexpr ActionRow ActionTable[] = {
    {ActionUp, "up", 72, PadBinding::A, "+", "    up/accelerate"},
    {ActionDown, "down", 80, PadBinding::B, "-", "    down/brake"},
    {ActionLeft, "left", 75, PadBinding::None, "<", "    turn left"},
    {ActionRight, "right", 77, PadBinding::None, ">", "    turn right"},
    {ActionSelect, "select", 28, PadBinding::Start, ".", "    select"},
    {ActionBack, "back", 1, PadBinding::Back, ",", "    exit/return to garage"},
    {ActionIgnition, "ignition", 31, PadBinding::X, "S", "    ignition/starter"},
    {ActionWipers, "wipers", 17, PadBinding::LeftStick, "W", "    windshield wipers"},
    {ActionMinimapZoom, "minimap zoom", 44, PadBinding::RightShoulder, "Z", "    minimap zoom"},
    {ActionMapView, "map view", 15, PadBinding::Y, "!", "    toggle map view"},
    {ActionReverse, "reverse", 19, PadBinding::LeftShoulder, "R", "    reverse"},
    {ActionMusic, "music", 59, PadBinding::None, "?1", "    music on/off"},
    {ActionScreenshot, "screenshot", 60, PadBinding::None, "?2", "    grab screenshot"},
    {ActionStats, "stats", 61, PadBinding::None, "?3", "    show game stats"},
    {ActionLowDetail, "low detail", 62, PadBinding::None, "?4", "    toggle low detail mode"},
};
constexpr int ActionCount = static_cast<int>(std::size(ActionTable));

// What is wrong with a table of actions, or null when every row is whole: rows in action
// order from 1, each with a name, a key of its own, a controller binding (None counts)
// and a help line.
template <size_t N>
constexpr const char* actionTableFault(const ActionRow (&rows)[N]) {
    for (size_t i = 0; i < N; ++i) {
        const ActionRow& row = rows[i];
        if (row.action != static_cast<int>(i) + 1) return "rows out of action order";
        if (row.name.empty()) return "an action without a name";
        if (row.scancode <= 0 || row.scancode > 0xFF) return "an action without a key";
        if (row.pad == PadBinding::Unset) return "an action without a controller binding";
        if (row.helpKey.empty() || row.helpLine.empty()) return "an action without a help line";
        for (size_t j = 0; j < i; ++j) {
            if (rows[j].scancode == row.scancode) return "two actions on one key";
        }
    }
    return nullptr;
}
static_assert(actionTableFault(ActionTable) == nullptr, "every action needs a whole row in ActionTable");

// Actions as bits: bit a is action a.
using ActionMask = uint32_t;
constexpr ActionMask actionBit(int action) { return ActionMask{1} << action; }
static_assert(ActionCount < 31, "an ActionMask holds the actions and one spare bit");

// The key-state record the game reads its input from: the scan code bound to each
// action, and its state at the latest and the previous poll (-1 down, 0 up). Element 0 is unused so that action a is element a.
struct KeyBindings {
    int32_t scancode[ActionCount + 1] = {};
    int32_t now[ActionCount + 1] = {};
    int32_t previous[ActionCount + 1] = {};
    int64_t pollCount = 0;  // polls so far; lets a release be acted on once per poll
    // The window is being closed (its close button, or SIGTERM and SIGINT): set by the
    // poll that sees the request and never cleared. Every loop that sees it returns at
    // once, and each caller saves what it holds on the way out to the exit screen.
    bool quit = false;
};

// Steering, throttle and brake act while held; every switch and menu choice acts on
// the release, seen once: down at the previous poll and up at the latest.
inline bool isHeld(const KeyBindings& keys, int action) { return keys.now[action] != 0; }
inline bool wasReleased(const KeyBindings& keys, int action) {
    return keys.previous[action] != 0 && keys.now[action] == 0;
}

// The held actions of the latest and the previous poll as masks, and back.
inline ActionMask heldMask(const int32_t (&state)[ActionCount + 1]) {
    ActionMask mask = 0;
    for (int a = 1; a <= ActionCount; ++a) mask |= state[a] != 0 ? actionBit(a) : 0;
    return mask;
}
inline void setHeld(int32_t (&state)[ActionCount + 1], ActionMask mask) {
    for (int a = 1; a <= ActionCount; ++a) state[a] = (mask & actionBit(a)) != 0 ? -1 : 0;
}

}  // namespace hc
