// The shift loop replayed under the headless backend with scripted keys.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "draw/grey_frame.h"
#include "platform/screen.h"
#include "render/hud.h"
#include "render/map_view.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyEnter = 28, KeyEsc = 1, KeyTab = 15, KeyF2 = 60, KeyF3 = 61;

using Frame = std::vector<uint8_t>;

Frame copyFrame(const Image& image) {
    Frame frame(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) std::memcpy(&frame[static_cast<size_t>(y) * image.width], pixelAddress(image, 0, y), image.width);
    return frame;
}

// Runs one game and records what the loop did: the shift's minutes at every poll, every
// presented frame, and the polls played in the loop. Enter is released as soon as the
// game is over, so the score screen returns.
constexpr int64_t MaxPolls = 2000;

struct Replay {
    std::vector<int64_t> minutesAtPoll{0};  // element k: minutesLeft seen by poll k
    std::vector<double> speechAtPoll{0};
    std::vector<size_t> framesAtPoll{0};    // element k: frames presented before poll k
    std::vector<Frame> frames;
    int64_t loopPolls = 0;
    int status = 0;

    void run(ArcadeGame& arcade) {
        Game& g = arcade.game();
        arcade.window.onPoll = [&](int64_t poll) {
            minutesAtPoll.push_back(g.shift.minutesLeft);
            speechAtPoll.push_back(g.shift.speechTimer);
            framesAtPoll.push_back(frames.size());
            if (g.shift.minutesLeft < 0 && loopPolls == 0) {
                loopPolls = poll - 1;
                arcade.window.holdKey(KeyEnter, poll, poll);
            }
            // A loop that never ends is a failure, not a hung test.
            if (poll == MaxPolls) arcade.window.requestClose();
        };
        arcade.onFrame = [&](const Image& frame) { frames.push_back(copyFrame(frame)); };
        status = arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    }
    // The frame presented by the loop after poll k, and the score picture, presented
    // after the last frame of play and before the first wait for a key.
    const Frame& loopFrame(int64_t k) const { return frames.at(framesAtPoll.at(k)); }
    const Frame& scoreFrame() const { return frames.at(framesAtPoll.at(loopPolls + 1) - 1); }
};

#define REQUIRE_ARCADE(arcade) \
    if (!(arcade).ready()) GTEST_SKIP() << (arcade).skipReason()

TEST(ShiftLoop, EndsOnTheFrameWhoseClockStepGoesBelowZero) {
    ArcadeGame arcade(ArcadeGame::DefaultSeed, 0);
    REQUIRE_ARCADE(arcade);
    // At 50 frames a second a frame is one tick, 0.02 s of game time, until the frame
    // timer's first window (frame 4) measures the first three intervals as four.
    arcade.secondsPerFrame = 1.0 / 50.0;
    arcade.game().shift.secondsLeft = 0.05;
    Replay replay;
    replay.run(arcade);
    EXPECT_EQ(replay.status, -1) << "the game did not return by itself";
    // 0.05 -> 0.03 -> 0.01 -> below 0: three frames are played at minute 0.
    EXPECT_EQ(replay.loopPolls, 3);
    for (int64_t poll = 1; poll <= replay.loopPolls; ++poll) EXPECT_EQ(replay.minutesAtPoll[poll], 0);
    EXPECT_EQ(arcade.game().shift.minutesLeft, -1);
    // The game's frames come after the dissolve that shows the first picture; after the
    // third, only the score picture, and a dissolve to black at the end.
    EXPECT_GT(replay.framesAtPoll[1], 1u);
    EXPECT_EQ(replay.framesAtPoll[4] - replay.framesAtPoll[3], 2u);
    const Frame& black = replay.frames.back();
    for (uint8_t p : black) ASSERT_EQ(p, 255);
}

TEST(ShiftLoop, BackKeyEndsAtTheNextClockStepAndShowsTheScore) {
    ArcadeGame arcade;
    REQUIRE_ARCADE(arcade);
    arcade.window.holdKey(KeyEsc, 4, 5);  // released at poll 6
    Replay replay;
    replay.run(arcade);
    const Game& g = arcade.game();
    EXPECT_EQ(replay.loopPolls, 6);
    EXPECT_EQ(replay.minutesAtPoll[6], 3);  // the first clock step took a minute off
    EXPECT_EQ(g.shift.minutesLeft, -1);
    EXPECT_EQ(g.shift.score, 0);
    EXPECT_EQ(scoreLine(g.shift.score), "Your score: 0");

    // The score picture is the last frame of play, greyed, with the two lines written on
    // it: "time's up!" at row 192 and the score 30 rows lower, both centred.
    ASSERT_EQ(replay.framesAtPoll[7] - replay.framesAtPoll[6], 2u);
    const Frame& last = replay.loopFrame(6);
    const Frame& score = replay.scoreFrame();
    int titleChanges = 0, scoreChanges = 0;
    for (int y = 0; y < RenderHeight; ++y) {
        for (int x = 0; x < RenderWidth; ++x) {
            const size_t k = static_cast<size_t>(y) * RenderWidth + x;
            if (score[k] == g.state.greyTable[last[k]]) continue;
            const bool inTitle = y >= 190 && y < 204 && x >= 270 && x < 370;
            const bool inScore = y >= 220 && y < 234 && x >= 272 && x < 368;
            ASSERT_TRUE(inTitle || inScore) << "changed pixel outside the two lines at " << x << "," << y;
            (inTitle ? titleChanges : scoreChanges) += 1;
        }
    }
    EXPECT_GT(titleChanges, 50);
    EXPECT_GT(scoreChanges, 30);
}

// The screenshot key on the score picture presents it again, so the grab holds the
// score; a note goes under the score.
TEST(ShiftLoop, TheScreenshotKeyGrabsTheScorePictureWithItsNote) {
    ArcadeGame arcade;
    REQUIRE_ARCADE(arcade);
    Game& g = arcade.game();
    arcade.window.holdKey(KeyEsc, 4, 5);
    std::vector<Frame> frames;
    size_t scoreFrame = 0;
    arcade.onFrame = [&](const Image& frame) { frames.push_back(copyFrame(frame)); };
    arcade.window.onPoll = [&](int64_t poll) {
        if (g.shift.minutesLeft < 0 && scoreFrame == 0) {
            scoreFrame = frames.size() - 1;
            arcade.window.holdKey(KeyF2, poll + 2, poll + 2);
            arcade.window.holdKey(KeyEnter, poll + 6, poll + 6);
        }
        if (poll == MaxPolls) arcade.window.requestClose();
    };
    arcade.console.clear();
    ASSERT_EQ(arcade.runUntilEnd([&] { runShift(g, arcade.view, [](int64_t) { return "best score: 7"; }); }), -1);
    const size_t saved = arcade.console.find("Saved grab");
    ASSERT_NE(saved, std::string::npos) << arcade.console;
    std::filesystem::remove(arcade.console.substr(saved + 6, arcade.console.find('\n', saved) - saved - 6));
    ASSERT_GT(frames.size(), scoreFrame + 1);
    EXPECT_EQ(frames[scoreFrame + 1], frames[scoreFrame]);
    // The note: rows 242 on, below the score line, and nowhere else.
    int noteChanges = 0;
    for (size_t k = 240 * RenderWidth; k < 256 * RenderWidth; ++k) {
        noteChanges += frames[scoreFrame][k] != g.state.greyTable[frames[scoreFrame - 1][k]];
    }
    EXPECT_GT(noteChanges, 30);
}

TEST(ShiftLoop, MapViewDrawsNeitherHudNorMinimap) {
    ArcadeGame arcade;
    REQUIRE_ARCADE(arcade);
    arcade.window.holdKey(KeyTab, 2, 2);  // map view from frame 3
    arcade.window.holdKey(KeyEsc, 8, 8);  // game over after frame 9
    Replay replay;
    replay.run(arcade);
    const Game& g = arcade.game();
    ASSERT_EQ(replay.loopPolls, 9);
    // The HUD counts the speech line down every frame it draws; in the map view the
    // line waits.
    EXPECT_LT(replay.speechAtPoll[3], replay.speechAtPoll[2]);
    EXPECT_DOUBLE_EQ(replay.speechAtPoll[4], replay.speechAtPoll[3]);
    EXPECT_DOUBLE_EQ(replay.speechAtPoll[8], replay.speechAtPoll[3]);
    // The cockpit shows in frames of the world view and not in the map view's.
    const Image& cockpit = *g.state.cockpitImage;
    auto cockpitShare = [&](const Frame& frame) {
        int opaque = 0, shown = 0;
        for (int y = 0; y < cockpit.height; ++y) {
            for (int x = 0; x < cockpit.width; ++x) {
                const uint8_t c = *pixelAddress(cockpit, x, y);
                if (c == 0) continue;
                ++opaque;
                shown += frame[static_cast<size_t>(RenderHeight - 180 + y) * RenderWidth + x] == c;
            }
        }
        return static_cast<double>(shown) / opaque;
    };
    EXPECT_GT(cockpitShare(replay.loopFrame(2)), 0.9);  // loop frame 2: world view
    EXPECT_LT(cockpitShare(replay.loopFrame(5)), 0.1);  // loop frame 5: map view
}

TEST(ShiftLoop, StatisticsOverlayShowsThePhasesOfThePreviousFrame) {
    ArcadeGame arcade;
    REQUIRE_ARCADE(arcade);
    // A clock that moves on by a millisecond at every read, so that every phase has a
    // length; a presented frame adds a sixtieth of a second.
    setClockHooks(ClockHooks{[&] { return arcade.now += 0.001; }, [&](int ms) { arcade.now += ms / 1000.0; }});
    arcade.window.holdKey(KeyF3, 1, 1);  // statistics on from frame 2
    arcade.window.holdKey(KeyEsc, 4, 4);
    Replay replay;
    replay.run(arcade);
    ASSERT_EQ(replay.loopPolls, 5);
    auto px = [&](const Frame& f, int x, int y) { return f[static_cast<size_t>(y) * RenderWidth + x]; };
    auto barWidth = [&](const Frame& f, int phase) {
        int width = 0;
        while (width < 200 && px(f, 61 + width, 12 * phase) == 22) ++width;
        return width;
    };
    auto barStart = [&](const Frame& f, int phase) {
        for (int y = 12 * phase; y <= 12 * phase + 7; ++y) {
            if (px(f, 60, y) != 22) return false;
        }
        return true;
    };
    const Frame& first = replay.loopFrame(1);
    const Frame& second = replay.loopFrame(2);
    EXPECT_FALSE(barStart(first, 1) && barStart(first, 5));
    for (int i = 1; i <= ProfilePhaseCount; ++i) EXPECT_TRUE(barStart(second, i)) << "phase " << i;
    // Each of the first four phases spans one clock read (1 ms of a 25 ms frame); the
    // screen phase, which holds the presentation, most of it.
    for (int i = 1; i <= 4; ++i) EXPECT_LE(barWidth(second, i), 8) << "phase " << i;
    EXPECT_GT(barWidth(second, 5), 50);
    EXPECT_LE(barWidth(second, 5), 100);
}

TEST(ShiftLoop, OverlayPercentagesComeFromThePreviousFramesTotal) {
    Image* target = createImage(RenderWidth, RenderHeight);
    ASSERT_NE(target, nullptr);
    fillImage(*target, 0);
    FontSet font;
    FrameTimer timer;
    resetFrameTimer(timer);
    ShiftProfile profile;

    // Before the first complete frame the total is 10 seconds: every bar is empty.
    resetShiftProfile(profile, 0.0);
    profile.marks[2] = 0.01;
    profile.marks[3] = 0.02;
    profile.marks[4] = 0.03;
    profile.marks[5] = 0.04;
    drawStatsOverlay(font, *target, timer, profile);
    for (int i = 1; i <= ProfilePhaseCount; ++i) {
        EXPECT_EQ(profile.phases[i].duration, 0) << "phase " << i;
        EXPECT_EQ(getPixel(*target, 60, 12 * i + 7), 22u);
        EXPECT_EQ(getPixel(*target, 61, 12 * i), 0u);
    }
    EXPECT_STREQ(profile.phases[3].label, "hud    ");

    fillImage(*target, 0);
    profile.marks[1] = 0.0;
    profile.marks[2] = 0.25;
    profile.marks[3] = 0.5;
    profile.marks[4] = 0.625;
    profile.marks[5] = 0.6875;
    profile.phases[5].duration = 0.5;  // kept from the end of the previous frame
    profile.frameTotal = 1.0;
    drawStatsOverlay(font, *target, timer, profile);
    const int expected[ProfilePhaseCount + 1] = {0, 25, 25, 12, 6, 50};
    for (int i = 1; i <= ProfilePhaseCount; ++i) {
        EXPECT_EQ(profile.phases[i].duration, expected[i]) << "phase " << i;
        EXPECT_EQ(getPixel(*target, 60 + expected[i], 12 * i + 7), 22u);
        EXPECT_EQ(getPixel(*target, 61 + expected[i], 12 * i), 0u);
    }

    // A total of 0 (a stalled clock) gives no bars rather than endless ones.
    fillImage(*target, 0);
    profile.frameTotal = 0.0;
    drawStatsOverlay(font, *target, timer, profile);
    EXPECT_EQ(getPixel(*target, 200, 12), 0u);
    destroyImage(target);
}

TEST(GreyFrame, RemapsEveryPixelAndDarkensAgainWhenRepeated) {
    uint8_t table[256];
    for (int c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(c / 2);
    Image* image = createImage(7, 3);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) putPixel(*image, x, y, static_cast<uint32_t>(40 * y + 30 * x + 1));
    greyFrame(*image, table);
    greyFrame(*image, table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(getPixel(*image, x, y), ((40u * y + 30u * x + 1) & 0xFF) / 4u);
    destroyImage(image);
    Image empty;
    greyFrame(empty, table);  // no pixels: nothing to do
}

}  // namespace
}  // namespace hc
