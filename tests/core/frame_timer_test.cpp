#include <gtest/gtest.h>

#include <tuple>

#include <initializer_list>

#include "core/frame_timer.h"
#include "core/system.h"

using namespace hc;

// Each listed time of a hand-set clock ends one frame.
TEST(FrameTimer, WindowsOfFourFramesAndTheShownRate) {
    double now = 0.0;
    setClockHooks({[&] { return now; }, nullptr});
    FrameTimer timer;
    const auto framesAt = [&](std::initializer_list<double> times) {
        for (double t : times) now = t, endFrame(timer);
    };
    resetFrameTimer(timer);
    // 20 ms apart: the first window measures from the end of frame 1, so its four-frame
    // average covers only three intervals; frameDelta holds between windows.
    framesAt({100.02, 100.04, 100.06});
    ASSERT_EQ(timer.frameDelta, 1.0);
    framesAt({100.08});
    EXPECT_NEAR(timer.frameSeconds, 0.06 / 4.0, 1e-12);
    EXPECT_NEAR(timer.frameDelta, 0.75, 1e-9);
    framesAt({100.08 + 1 / 60.0, 100.08 + 2 / 60.0, 100.08 + 3 / 60.0});
    EXPECT_NEAR(timer.frameDelta, 0.75, 1e-9);
    framesAt({100.08 + 4 / 60.0});  // 60 frames a second is 50/60 of a tick
    EXPECT_NEAR(timer.frameDelta, 50.0 / 60.0, 1e-9);

    // The shown rate changes only when a window's ends round to seconds of other parity.
    resetFrameTimer(timer);
    framesAt({10.0, 10.1, 10.2, 10.3});  // 10 and 10
    EXPECT_EQ(timer.fpsShown, 0);
    EXPECT_NEAR(timer.fps, 4.0 / 0.3, 1e-9);
    framesAt({10.4, 10.5, 10.6, 10.7});  // 10 and 11
    EXPECT_EQ(timer.fpsShown, 10);
    framesAt({10.8, 10.9, 11.0, 11.2});  // 11 and 11
    EXPECT_EQ(fpsText(timer), "10");
    // Four frames within picoseconds across 11.5 s: a rate beyond 32 bits is clamped.
    resetFrameTimer(timer);
    framesAt({11.499999999999, 11.499999999999, 11.499999999999, 11.500000000001});
    EXPECT_EQ(std::tuple(timer.fpsShown, bool(timer.frameDelta < 1e-9)), std::tuple(2147483647, true));
    setClockHooks({});
}
