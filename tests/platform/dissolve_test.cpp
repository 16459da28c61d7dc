// The dissolve between screens: its pictures, its length at any frame rate, the sound
// levels it leaves, and the keyboard buffer it empties.
#include "platform/dissolve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/frame_timer.h"
#include "platform/audio.h"
#include "platform/screen.h"
#include "support/headless_platform.h"

namespace hc {
namespace {

class DissolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        hg.openScreen();
        initAudio(hg.audio);
        // A picture without black: every pixel 1..250 by position.
        Image& target = *hg.screen.renderBuffer;
        for (int y = 0; y < target.height; ++y) {
            for (int x = 0; x < target.width; ++x) putPixel(target, x, y, static_cast<uint32_t>((x + 3 * y) % 250 + 1));
        }
        picture.assign(target.pixels, target.pixels + static_cast<size_t>(target.width) * target.height);
        hg.onFrame = [this](const Image&) { frames.push_back(hg.window.lastFrame()); };
    }
    void TearDown() override { shutdownAudio(hg.audio); }

    void run(int8_t direction) {
        HeadlessScreen& g = hg;
        const double start = hg.now;
        transition(g.screen, g.audio, g.timer, direction);
        seconds = hg.now - start;
    }
    static bool allBlack(const std::vector<uint8_t>& frame) {
        return std::all_of(frame.begin(), frame.end(), [](uint8_t p) { return p == 255; });
    }

    HeadlessScreen hg;
    std::vector<uint8_t> picture;
    std::vector<std::vector<uint8_t>> frames;
    double seconds = 0;
};

TEST_F(DissolveTest, FadeOutStartsOnThePictureAndEndsBlack) {
    run(FadeOut);
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames.front(), picture);
    EXPECT_TRUE(allBlack(frames.back()));
    EXPECT_FALSE(allBlack(frames[frames.size() / 2]));
    // The render buffer is left black too.
    const Image& target = *hg.screen.renderBuffer;
    EXPECT_TRUE(allBlack(std::vector<uint8_t>(target.pixels, target.pixels + 640 * 480)));
}

TEST_F(DissolveTest, FadeInStartsBlackAndEndsOnThePicture) {
    run(FadeIn);
    ASSERT_GE(frames.size(), 3u);
    EXPECT_TRUE(allBlack(frames.front()));
    EXPECT_EQ(frames.back(), picture);
    const Image& target = *hg.screen.renderBuffer;
    EXPECT_EQ(std::vector<uint8_t>(target.pixels, target.pixels + 640 * 480), picture);
}

TEST_F(DissolveTest, WipesRunFromTheTopLeftToTheBottomRight) {
    run(FadeOut);
    // Some frame has the top-left corner already black and the bottom-right not yet.
    const bool found = std::any_of(frames.begin(), frames.end(), [](const std::vector<uint8_t>& f) {
        return f[0] == 255 && f[479 * 640 + 639] != 255;
    });
    EXPECT_TRUE(found);
    // Inside a block the wipe runs diagonally: (1, 0) and (0, 1) always turn together.
    for (const auto& f : frames) EXPECT_EQ(f[1] == 255, f[640] == 255);
}

TEST_F(DissolveTest, TakesAboutTwoSecondsAtAnyFrameRate) {
    for (double perFrame : {1.0 / 60.0, 1.0 / 20.0, 1.0 / 200.0}) {
        frames.clear();
        hg.secondsPerFrame = perFrame;
        run(FadeOut);
        EXPECT_NEAR(seconds, 1.9, 0.15) << perFrame << " s per frame";
        EXPECT_TRUE(allBlack(frames.back()));
    }
}

TEST_F(DissolveTest, AtAVeryLowFrameRateOneStepAfterTheFirstMeasurementEndsIt) {
    // The timer starts at one tick per frame and measures the first time after four
    // frames: 3 seconds a frame give a frame length above 92 ticks, which covers the
    // whole wipe at once.
    hg.secondsPerFrame = 3.0;
    run(FadeIn);
    EXPECT_GT(frameDelta(hg.timer), 92.0);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames.back(), picture);
    EXPECT_FALSE(allBlack(frames[3]));  // the fourth step had begun to reveal it
}

TEST_F(DissolveTest, TheSoundFollowsThePicture) {
    AudioEngine& audio = hg.audio;
    run(FadeOut);
    for (int c = 1; c <= AudioChannelCount; ++c) EXPECT_EQ(audio.channels[c].gain, 0.0f) << c;
    run(FadeIn);
    EXPECT_FLOAT_EQ(audio.channels[MusicChannel].gain, 0.24f);
    for (int c = EngineChannel; c <= TurboChannel; ++c) EXPECT_FLOAT_EQ(audio.channels[c].gain, 1.2f) << c;
}

TEST_F(DissolveTest, KeysTypedDuringTheEffectAreThrownAway) {
    hg.window.typeChar('a');
    hg.window.typeChar('b');
    run(FadeIn);
    EXPECT_EQ(hg.window.takeChar(), -1);
}

TEST_F(DissolveTest, AWindowCloseDuringTheEffectIsNotLost) {
    hg.window.typeChar('a');
    hg.window.requestClose();
    const int status = hg.runUntilEnd([&] { run(FadeOut); });
    EXPECT_EQ(status, 0);
}

TEST(DissolveBlockSize, FollowsTheWidthWithinOneAndTwenty) {
    EXPECT_EQ(dissolveBlockSize(640), 20);
    EXPECT_EQ(dissolveBlockSize(320), 10);
    EXPECT_EQ(dissolveBlockSize(1366), 20);
    EXPECT_EQ(dissolveBlockSize(8), 1);   // would be 0
    EXPECT_EQ(dissolveBlockSize(0), 1);
}

TEST(DissolveNarrow, ANarrowBufferStillDissolves) {
    HeadlessScreen hg;
    hg.openScreen();
    HeadlessScreen& g = hg;
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = createImage(8, 4);
    fillImage(*g.screen.renderBuffer, 7);
    transition(g.screen, g.audio, g.timer, FadeOut);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(getPixel(*g.screen.renderBuffer, x, 3), 255u);
}

}  // namespace
}  // namespace hc
