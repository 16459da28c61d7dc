#include "core/frame_timer.h"

#include <cmath>

#include "core/system.h"

namespace hc {

void resetFrameTimer(FrameTimer& timer) {
    timer.frameDelta = 1.0;
    timer.windowStart = -1.0;
    timer.windowFrames = 0;
    timer.fpsShown = 0;
}

void endFrame(FrameTimer& timer) {
    const double t = clockSeconds();
    timer.windowFrames += 1;
    if (timer.windowFrames < 4) {
        if (timer.windowStart == -1.0) timer.windowStart = t;
        return;
    }
    timer.frameSeconds = (t - timer.windowStart) / 4.0;
    timer.fps = 1.0 / timer.frameSeconds;
    timer.frameDelta = 50.0 / timer.fps;
    // Refresh the displayed rate only when the window crosses a whole-second parity
    // change, about once a second instead of every fourth frame.
    const auto parity = [](double s) { return static_cast<long long>(std::nearbyint(s)) & 1; };
    if (parity(t) != parity(timer.windowStart)) {
        // A clock that did not move over a window gives an infinite rate: show the
        // largest figure rather than convert infinity.
        const double shown = std::floor(timer.fps);
        timer.fpsShown = shown < 2147483647.0 ? static_cast<int32_t>(shown) : 2147483647;
    }
    timer.windowStart = clockSeconds();
    timer.windowFrames = 0;
}

std::string fpsText(const FrameTimer& timer) { return std::to_string(timer.fpsShown); }

}  // namespace hc
