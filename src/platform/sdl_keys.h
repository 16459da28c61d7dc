#pragma once
#include <SDL.h>

namespace hc {

// The PC set-1 scan code of an SDL key, 0 for keys without one. Keys that the PC
// keyboard sends with an E0 prefix (arrows, the editing block, right Ctrl and Alt,
// keypad Enter and slash) share the code of their plain twin, as the game's bindings
// expect: the Up arrow is 72 like keypad 8.
int set1Scancode(SDL_Scancode key);

}  // namespace hc
