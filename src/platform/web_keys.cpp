#include "platform/web_keys.h"

#include <cstring>

#include "platform/keyboard.h"

namespace hc {

namespace {

// Each key: the browser's code, the name the game's bindings use, its set-1 code.
struct KeyName {
    const char* dom;
    const char* name;
    int code;
};

const KeyName Keys[] = {
    {"Escape", "Escape", 1},
    {"KeyQ", "Q", 16},
    {"KeyW", "W", 17},
    {"KeyE", "E", 18},
    {"KeyR", "R", 19},
    {"KeyT", "T", 20},
    {"KeyY", "Y", 21},
    {"KeyU", "U", 22},
    {"KeyI", "I", 23},
    {"KeyO", "O", 24},
    {"KeyP", "P", 25},
    {"KeyA", "A", 30},
    {"KeyS", "S", 31},
    {"KeyD", "D", 32},
    {"KeyF", "F", 33},
    {"KeyG", "G", 34},
    {"KeyH", "H", 35},
    {"KeyJ", "J", 36},
    {"KeyK", "K", 37},
    {"KeyL", "L", 38},
    {"KeyZ", "Z", 44},
    {"KeyX", "X", 45},
    {"KeyC", "C", 46},
    {"KeyV", "V", 47},
    {"KeyB", "B", 48},
    {"KeyN", "N", 49},
    {"KeyM", "M", 50},
    {"Digit1", "1", 2},
    {"Digit2", "2", 3},
    {"Digit3", "3", 4},
    {"Digit4", "4", 5},
    {"Digit5", "5", 6},
    {"Digit6", "6", 7},
    {"Digit7", "7", 8},
    {"Digit8", "8", 9},
    {"Digit9", "9", 10},
    {"Digit0", "0", 11},
    {"Minus", "-", 12},
    {"Equal", "=", 13},
    {"Backspace", "Backspace", 14},
    {"Tab", "Tab", 15},
    {"BracketLeft", "[", 26},
    {"BracketRight", "]", 27},
    {"Enter", "Return", 28},
    {"NumpadEnter", "Keypad Enter", 28},
    {"ControlLeft", "Left Ctrl", 29},
    {"ControlRight", "Right Ctrl", 29},
    {"Semicolon", ";", 39},
    {"Quote", "'", 40},
    {"Backquote", "`", 41},
    {"ShiftLeft", "Left Shift", 42},
    {"Backslash", "\\", 43},
    {"Comma", ",", 51},
    {"Period", ".", 52},
    {"Slash", "/", 53},
    {"NumpadDivide", "Keypad /", 53},
    {"ShiftRight", "Right Shift", 54},
    {"NumpadMultiply", "Keypad *", 55},
    {"PrintScreen", "PrintScreen", 55},
    {"AltLeft", "Left Alt", 56},
    {"AltRight", "Right Alt", 56},
    {"Space", "Space", 57},
    {"CapsLock", "CapsLock", 58},
    {"F1", "F1", 59},
    {"F2", "F2", 60},
    {"F3", "F3", 61},
    {"F4", "F4", 62},
    {"F5", "F5", 63},
    {"F6", "F6", 64},
    {"F7", "F7", 65},
    {"F8", "F8", 66},
    {"F9", "F9", 67},
    {"F10", "F10", 68},
    {"NumLock", "Numlock", 69},
    {"ScrollLock", "ScrollLock", 70},
    {"Numpad7", "Keypad 7", 71},
    {"Home", "Home", 71},
    {"Numpad8", "Keypad 8", 72},
    {"ArrowUp", "Up", 72},
    {"Numpad9", "Keypad 9", 73},
    {"PageUp", "PageUp", 73},
    {"NumpadSubtract", "Keypad -", 74},
    {"Numpad4", "Keypad 4", 75},
    {"ArrowLeft", "Left", 75},
    {"Numpad5", "Keypad 5", 76},
    {"Numpad6", "Keypad 6", 77},
    {"ArrowRight", "Right", 77},
    {"NumpadAdd", "Keypad +", 78},
    {"Numpad1", "Keypad 1", 79},
    {"End", "End", 79},
    {"Numpad2", "Keypad 2", 80},
    {"ArrowDown", "Down", 80},
    {"Numpad3", "Keypad 3", 81},
    {"PageDown", "PageDown", 81},
    {"Numpad0", "Keypad 0", 82},
    {"Insert", "Insert", 82},
    {"NumpadDecimal", "Keypad .", 83},
    {"Delete", "Delete", 83},
    {"IntlBackslash", "NonUSBackslash", 86},
    {"F11", "F11", 87},
    {"F12", "F12", 88},
    {"MetaLeft", "Left GUI", 91},
    {"MetaRight", "Right GUI", 92},
    {"ContextMenu", "Menu", 93},
};

}  // namespace

int set1ScancodeForDomCode(const char* code) {
    if (!code) return 0;
    for (const KeyName& key : Keys) {
        if (std::strcmp(key.dom, code) == 0) return key.code;
    }
    return 0;
}

int scancodeForKeyName(const char* name) {
    if (!name) return 0;
    for (const KeyName& key : Keys) {
        if (std::strcmp(key.name, name) == 0) return key.code;
    }
    return 0;
}

}  // namespace hc
