#include <gtest/gtest.h>

#include "core/frame_timer.h"
#include "core/system.h"

using namespace hc;

namespace {

// A clock the test moves by hand.
class FrameTimerTest : public ::testing::Test {
protected:
    double now = 100.0;
    void SetUp() override { setClockHooks({[this] { return now; }, nullptr}); }
    void TearDown() override { setClockHooks({}); }
};

}  // namespace

TEST_F(FrameTimerTest, FirstWindowStartsAfterFirstFrame) {
    FrameTimer t;
    resetFrameTimer(t);
    EXPECT_EQ(t.frameDelta, 1.0);
    EXPECT_EQ(t.fpsShown, 0);
    EXPECT_EQ(t.windowStart, -1.0);

    // Frames 20 ms apart: the first window measures from the end of frame 1, so its
    // four-frame average covers only three intervals.
    for (int frame = 1; frame <= 3; ++frame) {
        now += 0.02;
        endFrame(t);
        EXPECT_EQ(t.frameDelta, 1.0) << "frame " << frame;
    }
    EXPECT_DOUBLE_EQ(t.windowStart, 100.02);
    now += 0.02;
    endFrame(t);
    EXPECT_NEAR(t.frameSeconds, 0.06 / 4.0, 1e-12);
    EXPECT_NEAR(t.frameDelta, 50.0 * 0.015, 1e-9);
    EXPECT_EQ(t.windowFrames, 0);
    EXPECT_DOUBLE_EQ(t.windowStart, now);
    // Later windows measure four whole intervals: 60 frames a second is 50/60 of a tick.
    for (int i = 0; i < 8; ++i) {
        now += 1.0 / 60.0;
        endFrame(t);
    }
    EXPECT_NEAR(t.frameDelta, 50.0 / 60.0, 1e-9);
}

TEST_F(FrameTimerTest, ShownRateChangesOnlyOnSecondParityCrossings) {
    FrameTimer t;
    resetFrameTimer(t);
    now = 10.0;
    endFrame(t);
    now = 10.1;
    endFrame(t);
    now = 10.2;
    endFrame(t);
    now = 10.3;
    endFrame(t);  // window 10.0 -> 10.3: both round to 10, no refresh
    EXPECT_EQ(t.fpsShown, 0);
    EXPECT_NEAR(t.fps, 4.0 / 0.3, 1e-9);

    // The next window runs from 10.3 to 10.7: 10 and 11 differ in parity.
    for (double s : {10.4, 10.5, 10.6, 10.7}) {
        now = s;
        endFrame(t);
    }
    EXPECT_EQ(t.fpsShown, 10);  // floor(4 / 0.4)

    // 10.7 -> 11.1 rounds to 11 and 11: the shown rate stays.
    for (double s : {10.8, 10.9, 11.0, 11.1}) {
        now = s;
        endFrame(t);
    }
    EXPECT_NEAR(t.fps, 10.0, 1e-9);
    EXPECT_EQ(t.fpsShown, 10);
    EXPECT_EQ(fpsText(t), "10");
}

TEST_F(FrameTimerTest, AnAbsurdRateAcrossASecondBoundaryIsShownClamped) {
    FrameTimer t;
    resetFrameTimer(t);
    // Four frames within two picoseconds that straddle 10.5 s: the rate is far beyond
    // what a 32-bit figure holds.
    now = 10.499999999999;
    endFrame(t);
    endFrame(t);
    endFrame(t);
    now = 10.500000000001;
    endFrame(t);
    EXPECT_GT(t.fps, 1e12);
    EXPECT_EQ(t.fpsShown, 2147483647);
    EXPECT_LT(t.frameDelta, 1e-9);
}
