#pragma once
#include <cstdint>
#include <string>

namespace hc {

// Measures the frame rate over windows of four frames and turns it into frameDelta,
// the length of a frame in ticks of 1/50 second.
struct FrameTimer {
    double frameDelta = 0;     // 50 / fps; 1.0 after reset
    int32_t fpsShown = 0;      // whole frames per second for display
    double windowStart = 0;    // clock seconds at the window's start; -1 none yet
    double frameSeconds = 0;   // average seconds per frame of the last window
    int32_t windowFrames = 0;  // frames counted in the current window, 0..3
    double fps = 0;
};

void resetFrameTimer(FrameTimer& timer);
// Called once at the end of every frame of an animated screen.
void endFrame(FrameTimer& timer);
inline double frameDelta(const FrameTimer& timer) { return timer.frameDelta; }
std::string fpsText(const FrameTimer& timer);

}  // namespace hc
