// The dissolve between screens: its pictures, its length at any frame rate, the sound
// levels it leaves, and the keyboard buffer it empties.
#include "platform/dissolve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/frame_timer.h"
#include "platform/audio.h"
#include "platform/screen.h"
#include "support/headless_platform.h"

namespace hc {
namespace {

struct DissolveTest : ::testing::Test {
    void SetUp() override {
        hg.openScreen();
        initAudio(hg.audio);
        // A picture without black: every pixel 1..250 by position.
        Image& target = *hg.screen.renderBuffer;
        for (int i = 0; i < 640 * 480; ++i) putPixel(target, i % 640, i / 640, static_cast<uint32_t>((i % 640 + 3 * (i / 640)) % 250 + 1));
        picture.assign(target.pixels, target.pixels + 640 * 480);
        hg.onFrame = [this](const Image&) {
            frames.push_back(hg.window.lastFrame());
            levels.push_back(hg.audio.channels[EngineChannel].gain / 1.2f);
        };
    }
    void TearDown() override { shutdownAudio(hg.audio); }

    void run(int8_t direction) {  // from the picture
        std::copy(picture.begin(), picture.end(), hg.screen.renderBuffer->pixels);
        frames.clear(), levels.clear();
        const double start = hg.now;
        transition(hg.screen, hg.audio, hg.timer, direction);
        seconds = hg.now - start;
    }
    std::vector<uint8_t> black = std::vector<uint8_t>(640 * 480, 255);
    HeadlessScreen hg;
    std::vector<uint8_t> picture;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<float> levels;  // the sound level each frame was shown at
    double seconds = 0;
};

TEST_F(DissolveTest, FadesRunFromTheTopLeftInDiagonalWipesAndLeaveTheirEndPicture) {
    for (const int8_t direction : {FadeOut, FadeIn}) {
        const bool out = direction == FadeOut;
        run(direction);
        ASSERT_GE(frames.size(), 3u);
        const Image& target = *hg.screen.renderBuffer;
        EXPECT_TRUE(frames.front() == (out ? picture : black) && frames.back() == (out ? black : picture) &&
                    std::vector<uint8_t>(target.pixels, target.pixels + 640 * 480) == frames.back());
        // Some frame has the top-left corner changed and the bottom-right not yet;
        // inside a block (1, 0) and (0, 1) always turn together.
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const std::vector<uint8_t>& f) {
            return (f[0] == 255) == out && (f[479 * 640 + 639] == 255) != out;
        }));
        for (const auto& f : frames) EXPECT_EQ(f[1] == 255, f[640] == 255);
        // The sound follows, t / 40 of the way: half way or less while pixel (39, 0) of
        // step 20 is still unchanged, all the way once (39, 39) of step 40 has changed.
        for (size_t f = 0; f < frames.size(); ++f) {
            const float way = out ? 1.0f - levels[f] : levels[f];
            EXPECT_FALSE((frames[f][39] == 255) != out && way > 0.5f) << f << ": " << way;
            EXPECT_FALSE((frames[f][39 * 640 + 39] == 255) == out && std::fabs(way - 1.0f) > 1e-6f) << f;
        }
        // All channels silent after a fade-out; after a fade-in the car's channels at
        // 1.2 and the music at 1.2 x 0.2.
        EXPECT_FLOAT_EQ(hg.audio.channels[MusicChannel].gain, out ? 0.0f : 0.24f);
        for (int c = EngineChannel; c <= TurboChannel; ++c) EXPECT_FLOAT_EQ(hg.audio.channels[c].gain, out ? 0 : 1.2f);
    }
}

TEST_F(DissolveTest, TakesAboutTwoSecondsAtAnyFrameRate) {
    for (double perFrame : {1.0 / 60.0, 1.0 / 20.0, 1.0 / 200.0}) {
        hg.secondsPerFrame = perFrame;
        run(FadeOut);
        EXPECT_TRUE(std::fabs(seconds - 1.9) < 0.15 && frames.back() == black) << perFrame << " s per frame: " << seconds;
    }
    // The timer starts at one tick per frame and measures after four frames: 3 seconds
    // a frame is more than 92 ticks, which covers the whole wipe at once.
    hg.secondsPerFrame = 3.0;
    run(FadeIn);
    EXPECT_GT(frameDelta(hg.timer), 92.0);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_TRUE(frames.back() == picture && frames[3] != black);  // the fourth step had begun to reveal it
}

TEST_F(DissolveTest, KeysTypedDuringTheEffectAreThrownAwayButACloseIsKept) {
    hg.window.typeChar('a');
    hg.window.typeChar('b');
    run(FadeIn);
    EXPECT_EQ(hg.window.takeChar(), -1);
    hg.window.typeChar('a');
    hg.window.requestClose();
    EXPECT_EQ(hg.runUntilEnd([&] { run(FadeOut); }), 0);
}

TEST(Dissolve, BlocksFollowTheWidthWithinOneAndTwentyAndNarrowBuffersStillDissolve) {
    for (auto [width, block] : {std::pair{640, 20}, {320, 10}, {1366, 20}, {8, 1}, {0, 1}}) EXPECT_EQ(dissolveBlockSize(width), block) << width;
    HeadlessScreen hg;
    hg.openScreen();
    destroyImage(hg.screen.renderBuffer);
    hg.screen.renderBuffer = createImage(8, 4);
    fillImage(*hg.screen.renderBuffer, 7);
    transition(hg.screen, hg.audio, hg.timer, FadeOut);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(getPixel(*hg.screen.renderBuffer, x, 3), 255u);
}

}  // namespace
}  // namespace hc
