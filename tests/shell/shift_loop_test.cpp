#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <vector>

#include "core/colours.h"
#include "platform/screen.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"
#include "support/digest.h"
#include "support/key_codes.h"

namespace hc {
namespace {

using namespace test;  // the key codes
using testing::AllOf, testing::DoubleNear, testing::Ge, testing::Gt, testing::Le, testing::Pointwise;

using Frame = std::vector<uint8_t>;

// Runs one game and records, per poll, the shift's minutes and speech timer and the
// frames presented before it. Enter is tapped as soon as the game is over.
struct Replay {
    std::vector<int64_t> minutesAtPoll{0};
    std::vector<double> speechAtPoll{0};
    std::vector<size_t> framesAtPoll{0};
    std::vector<Frame> frames;
    int64_t loopPolls = 0;  // polls played before the game ended
    int status = 0;

    void run(ArcadeGame& arcade, const ScoreNote& note = {}) {
        Game& g = arcade.game();
        arcade.window.onPoll = [&](int64_t poll) {
            minutesAtPoll.push_back(g.shift.minutesLeft);
            speechAtPoll.push_back(g.shift.speechTimer);
            framesAtPoll.push_back(frames.size());
            if (g.shift.minutesLeft < 0 && loopPolls == 0) loopPolls = poll - 1, arcade.window.holdKey(KeyEnter, poll + 4, poll + 4);
            if (poll == 2000) endProcess(99);  // a loop that never ends fails
        };
        arcade.onFrame = [&](const Image& f) { frames.emplace_back(f.pixels, f.pixels + static_cast<size_t>(f.height) * f.pitch); };
        status = arcade.runUntilEnd([&] { runShift(g, arcade.view, note); });
    }
    // The frame presented by the loop after poll k; the score picture comes right after the last frame of play.
    const Frame& loopFrame(int64_t k) const { return frames.at(framesAtPoll.at(k)); }
    const Frame& scoreFrame() const { return frames.at(framesAtPoll.at(loopPolls + 1) - 1); }
};

TEST(ShiftLoop, EndsOnTheFrameWhoseClockStepGoesBelowZero) {
    ArcadeGame arcade(ArcadeGame::DefaultSeed, 0);
    arcade.secondsPerFrame = 1.0 / 50.0, arcade.game().shift.secondsLeft = 0.04;  // a tick, 0.02 s, a frame
    Replay replay;
    replay.run(arcade);
    EXPECT_EQ(replay.status, -1) << "the game did not return by itself";
    // 0.04 -> 0.02 -> 0 (still played) -> below 0: three frames are played at minute 0.
    EXPECT_EQ(replay.loopPolls, 3);
    // The first picture is shown by a dissolve; after the third frame only the score
    // picture, and at the end a dissolve to black.
    EXPECT_EQ(std::tuple(bool(replay.framesAtPoll[1] > 1u), replay.framesAtPoll[4] - replay.framesAtPoll[3]), std::tuple(true, 2u));
    for (uint8_t p : replay.frames.back()) ASSERT_EQ(p, 255);
}

// F3 shows the statistics overlay from the next frame: a bar per phase, each the phase's share of the previous frame.
// Tab switches to the map view, which draws no HUD. The back key ends the game at the next clock step; the score
// picture is the last frame greyed with "time's up!" at row 192 and the score 30 rows lower, both centred, and the
// note under them. The screenshot key presents it again for the grab.
TEST(ShiftLoop, StatisticsMapViewAndTheScorePicture) {
    ArcadeGame arcade;
    const Game& g = arcade.game();
    // A clock that moves on a millisecond at every read; a presented frame adds 1/60 s.
    setClockHooks(ClockHooks{[&] { return arcade.now += 0.001; }, [&](int ms) { arcade.now += ms / 1000.0; }});
    arcade.window.holdKey(KeyF3, 1, 1), arcade.window.holdKey(KeyTab, 3, 3);  // statistics from frame 2, map from 4
    arcade.window.holdKey(KeyEsc, 8, 8), arcade.window.holdKey(KeyF2, 12, 12);  // game over after frame 9
    Replay replay;
    replay.run(arcade, [](int64_t) { return "best score: 7"; });
    ASSERT_EQ(replay.loopPolls, 9);
    EXPECT_EQ(std::tuple(replay.minutesAtPoll[9], scoreLine(g.shift.score)), std::tuple(3, "Your score: 0"));  // a minute off at the first step
    auto barWidth = [&](const Frame& f, int phase) {
        int width = -1;  // the bar's left edge is column 60
        while (width < 200 && f[static_cast<size_t>(12 * phase + 7) * RenderWidth + 60 + width + 1] == 22) ++width;
        return width;
    };
    EXPECT_EQ(barWidth(replay.loopFrame(1), 1), -1) << "no overlay before the key";
    // Each of the first four phases spans a clock read or a few (1 ms of a frame of
    // about 25 ms); the screen phase, which holds the presentation, most of it.
    for (int i = 1; i <= 4; ++i) EXPECT_THAT(barWidth(replay.loopFrame(2), i), AllOf(Ge(1), Le(8))) << i;
    EXPECT_THAT(barWidth(replay.loopFrame(2), 5), AllOf(Gt(50), Le(100)));
    // The HUD counts the speech line down every frame it draws; in the map view it waits.
    EXPECT_EQ(std::tuple(bool(replay.speechAtPoll[4] < replay.speechAtPoll[3]), replay.speechAtPoll[9]), std::tuple(true, replay.speechAtPoll[4]));
    const Frame &last = replay.loopFrame(9), &score = replay.scoreFrame();
    int changes[3] = {};  // title, score, note
    for (int y = 0; y < RenderHeight; ++y)
        for (int x = 0; x < RenderWidth; ++x) {
            const size_t k = static_cast<size_t>(y) * RenderWidth + x;
            if (score[k] == g.state.greyTable[last[k]]) continue;
            const int line = y >= 190 && y < 204 && x >= 270 && x < 370 ? 0 : y >= 220 && y < 234 && x >= 272 && x < 368 ? 1 : y >= 240 && y < 256 ? 2 : -1;
            ASSERT_GE(line, 0) << "changed pixel outside the lines at " << x << "," << y;
            ++changes[line];
        }
    EXPECT_EQ(std::tuple(bool(changes[0] > 50), bool(changes[1] > 30), bool(changes[2] > 30)), std::tuple(true, true, true));
    const size_t saved = arcade.console.find("Saved grab");
    ASSERT_NE(saved, std::string::npos) << arcade.console;
    std::filesystem::remove(arcade.console.substr(saved + 6, arcade.console.find('\n', saved) - saved - 6));
    EXPECT_EQ(replay.frames.at(replay.framesAtPoll.at(13) - 1), score) << "presented again for the grab";
}

TEST(ShiftLoop, OverlayPercentagesComeFromThePreviousFramesTotal) {
    Image* target = createImage(RenderWidth, RenderHeight);
    FontSet font;
    FrameTimer timer;
    resetFrameTimer(timer);
    ShiftProfile profile;
    // Before the first complete frame the total is 10 seconds, so every bar is empty; phase
    // 5 keeps the value from the end of the previous frame; a stalled clock gives no bars.
    const struct { double marks[6], phase5, total; int percent[6]; } cases[] = {
        {{0, 0, 0.01, 0.02, 0.03, 0.04}, 0, 10.0, {0, 0, 0, 0, 0, 0}},
        {{0, 0, 0.25, 0.5, 0.625, 0.6875}, 0.5, 1.0, {0, 25, 25, 12, 6, 50}},
        {{0, 0, 0.25, 0.5, 0.625, 0.6875}, 0.5, 0.0, {0, 0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        resetShiftProfile(profile, 0.0);
        std::memcpy(profile.marks, c.marks, sizeof c.marks);
        profile.phases[5].duration = c.phase5, profile.frameTotal = c.total;
        fillImage(*target, 0);
        drawStatsOverlay(font, *target, timer, profile);
        for (int i = 1; i <= ProfilePhaseCount; ++i)
            EXPECT_EQ(std::tuple(profile.phases[i].duration, getPixel(*target, 60 + c.percent[i], 12 * i + 7), getPixel(*target, 61 + c.percent[i], 12 * i),
                                 getPixel(*target, 60 + c.percent[i], 12 * i - 1)), std::tuple(c.percent[i], 22u, 0u, 0u)) << "phase " << i << ": the bar's corner, right of it, above it";
    }
    destroyImage(target);
}

// Each frame hands the car's sound to the audio engine: the engine's three tones at f, 1.25 f and 0.124 f, the
// turbo's at 2 f and 0, the switches and gains (the skid fades in by 0.04 a tick, a frame at 60 a second being 50/60
// of one); the music key switches channel 1. The end of the shift silences channels 2 to 4, not the music.
// A shift begun, its frames played one by one.
struct ShiftInPlay : ArcadeGame {
    Game& g = game();
    ShiftProfile profile;
    ShiftInPlay() { beginShift(g, view), resetShiftProfile(profile, now); }
};

TEST(ShiftLoop, CarSoundsGoToTheirChannelsAndFallSilentAtTheEnd) {
    ShiftInPlay arcade;
    Game& g = arcade.g;
    const Passenger& first = g.shift.passengers[1];
    const int px = static_cast<int>(std::nearbyint(first.pickup.x)), py = static_cast<int>(std::nearbyint(first.pickup.y));
    EXPECT_TRUE(hasFlag(cellAt(*g.city, px - 4, py - 4), PickupMark)) << "the squares are painted";
    g.shift.turboLevel = 1;
    setChannelGain(g.audio.channels[SkidChannel], 0.0f);
    g.audio.channels[TurboChannel].oscillators[2].frequency = 99.0;  // set to 0 every frame
    ShiftProfile& profile = arcade.profile;
    const AudioChannel* ch = g.audio.channels;
    // The skid's gain in steps of 0.02 a tick: up two a tick while turning hard, down one once the turn is let go.
    const struct { bool engine, skid, turbo, music; int gain; } frames[] = {
        {true, false, true, true, 0}, {false, true, false, false, 2}, {true, true, true, false, 4}, {true, true, true, true, 6}, {true, false, true, true, 5}};
    arcade.window.holdKey(KeyF1, 1, 1), arcade.window.holdKey(KeyF1, 3, 3);  // released at frames 2 and 4
    for (int k = 0; k < 5; ++k) {
        const auto& f = frames[k];
        g.shift.engineRunning = toFlag(f.engine), g.shift.turboBoost = f.turbo ? 0.3f : 0.0f;
        g.player.vx = 0.5f, g.player.vy = 0, g.player.turnRate = f.skid ? 1.0f : 0.0f;
        if (f.skid) arcade.window.holdKey(KeyRight, k + 1, k + 1);
        simulateAndDrawFrame(g, arcade.view, profile);
        const AudioChannel &engine = ch[EngineChannel], &skid = ch[SkidChannel], &turbo = ch[TurboChannel];
        EXPECT_EQ(std::tuple(engine.enabled, skid.enabled, bool(std::fabs(skid.gain - 0.02 * 50 / 60 * f.gain) < 1e-6), turbo.enabled, (turbo.gain > 0), ch[MusicChannel].enabled),
                  std::tuple((f.engine ? -1 : 0), (f.gain > 0 ? -1 : 0), true, (f.turbo ? -1 : 0), f.turbo, (f.music ? -1 : 0))) << k << ": a fading skid still sounds";
        EXPECT_THAT((std::vector{engine.oscillators[1].frequency, engine.oscillators[2].frequency, engine.oscillators[3].frequency, turbo.oscillators[1].frequency,
                                 turbo.oscillators[2].frequency}), Pointwise(DoubleNear(1e-3), {260.0, 325.0, 32.24, 520.0, 0.0})) << k;  // at 0.5: 260 Hz
    }
    // The score picture with the assists: the lines' dark band from 12 rows above the title (0.4 of the way down) to 84 rows
    // below it or 40 below the middle, whichever is lower (the classic picture has no band).
    Image* full = g.screen.renderBuffer;
    for (auto [width, height, top, bottom, digest] : {std::tuple{320, 200, 68, 164, 8438922273006252567ull}, {640, 480, 180, 280, 2013295849574540375ull}}) {
        Image& picture = *(g.screen.renderBuffer = createImage(width, height));
        g.shift.assists = FlagOn, fillImage(picture, 90), showTimeUp(g);
        const auto black = [&](int y) { return std::count(pixelAddress(picture, 0, y), pixelAddress(picture, 0, y) + picture.width, ColourBlack); };
        EXPECT_EQ(std::tuple(black(top - 1), black(top), black(bottom), black(bottom + 1), test::fnv1a(picture)), std::tuple(0, width, width, 0, digest)) << height << ": with the golden digest";
        destroyImage(&picture);
    }
    g.screen.renderBuffer = full;
    EXPECT_EQ(std::tuple(ch[EngineChannel].enabled, ch[SkidChannel].enabled, ch[TurboChannel].enabled, ch[MusicChannel].enabled), std::tuple(0, 0, 0, -1));
}

// Two seconds of driving (100 ticks, the throttle held, the wheel turned at times) as a
// hundred frames at 50 a second or four at 2 a second: the cab and every traffic car end
// in the same place, with the same heat, the same clock and the same rain.
TEST(ShiftLoop, LongFramesDriveTheCityAsShortOnesDo) {
    // The cab's x and y, each traffic car's x, y and heading, the heat, the clock and the rain.
    auto drive = [](int frames) {
        ShiftInPlay arcade;
        Game& g = arcade.g;
        g.shift.engineRunning = FlagOn;
        const int ticks = 100 / frames;
        arcade.window.holdKey(KeyUp, 1, frames), arcade.window.holdKey(KeyRight, 1, std::max(1, frames / 4));
        for (int f = 0; f < frames; ++f) {
            g.timer.frameDelta = ticks;
            simulateAndDrawFrame(g, arcade.view, arcade.profile);
            advanceClock(g.shift, ticks - arcade.profile.clockAhead);
        }
        std::vector<double> out = {g.player.x, g.player.y};
        for (int i = 0; i < TrafficCarCount; ++i) out.insert(out.end(), {g.traffic[i].motion.x, g.traffic[i].motion.y, g.traffic[i].motion.heading});
        return out.insert(out.end(), {g.shift.engineHeat, g.shift.secondsLeft, double(g.shift.raining)}), out;
    };
    const std::vector<double> fast = drive(100), slow = drive(4);
    ASSERT_EQ(slow.size(), fast.size());
    std::vector<size_t> differ;  // 0, 1: the cab; 2 + 3 k ...: traffic car k; then heat, clock, rain
    for (size_t k = 0; k < fast.size(); ++k)
        if (std::fabs(slow[k] - fast[k]) > (k + 3 < fast.size() ? 1e-3 : std::array{1e-5, 1e-9, 0.0}[k + 3 - fast.size()])) differ.push_back(k);
    EXPECT_EQ(differ, std::vector<size_t>{});
}

// On a machine so slow that every frame is five seconds long a four-minute shift still lasts four minutes of game
// time: 48 frames, a few more while the frame timer's first window reads a tick a frame.
TEST(ShiftLoop, FiveSecondFramesStillPlayFourMinutesOfGameTime) {
    ArcadeGame arcade;
    arcade.secondsPerFrame = 5.0;
    Replay replay;
    replay.run(arcade);
    EXPECT_EQ(replay.status, -1) << "the shift did not return by itself";
    EXPECT_THAT(replay.loopPolls, AllOf(Ge(48), Le(52)));
}

}  // namespace
}  // namespace hc
