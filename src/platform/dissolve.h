#pragma once
#include <cstdint>

namespace hc {

struct ScreenContext;
struct AudioEngine;
struct FrameTimer;

// Directions of the dissolve, as byte flags: a fade-in reveals the picture in the
// render buffer from black, a fade-out covers it with black.
constexpr int8_t FadeIn = -1;
constexpr int8_t FadeOut = 0;

// Dissolves the render buffer's picture in or out in small diagonal wipes, taking the
// sound with it, until the effect is complete (about 1.9 seconds at any frame rate).
// Every step refills the audio, presents and ends a frame on the timer, which it
// resets first. Afterwards the render buffer holds the whole picture (fade-in) or black
// (fade-out), every channel's gain is at the end level, and the keyboard buffer has
// been emptied so that keys typed during the effect do not reach the next screen. A
// request to close the window, seen at any step, ends the effect on its last picture.
void transition(ScreenContext& screen, AudioEngine& audio, FrameTimer& timer, int8_t direction);

// The wipe's block size for a render width: width / 32 rounded, 1 to 20.
int dissolveBlockSize(int width);

}  // namespace hc
