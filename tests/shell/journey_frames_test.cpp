// Whole shifts at frame rates far from the usual: a machine so slow that every frame
// is many ticks long, and one so fast that frames are a tiny fraction of a tick. The
// game scales every rate by the frame's length, so both must play the same game: the
// clock runs in game time, the cab stays in the city and its numbers stay finite.
#include <gtest/gtest.h>

#include <cmath>

#include "city/city_map.h"
#include "platform/screen.h"
#include "render/world_view.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyUp = 72, KeyLeft = 75, KeyRight = 77, KeyEnter = 28, KeyS = 31, KeyEsc = 1;

struct Watch {
    int64_t loopPolls = 0;       // polls played before the shift ended
    int64_t outsideGrid = 0;     // polls at which the cab stood outside the city
    int64_t notFinite = 0;       // polls with a NaN or infinite number in the cab
    float farthest = 0;          // greatest distance from the start
    double minutesAtEnd = 0;
};

bool finiteCar(const PlayerCar& car, const Shift& shift) {
    return std::isfinite(car.x) && std::isfinite(car.y) && std::isfinite(car.vx) && std::isfinite(car.vy) &&
           std::isfinite(car.heading) && std::isfinite(car.turnRate) && std::isfinite(shift.engineHeat) &&
           std::isfinite(shift.brakeHeat) && std::isfinite(shift.turboBoost) && std::isfinite(shift.secondsLeft);
}

// Plays a shift with the engine started, full throttle and the wheel swung from side to
// side every `swing` polls; the game's clock advances `seconds` per presented frame
// during play (the dissolves before and after run at 60 frames a second).
Watch playAt(ArcadeGame& arcade, double seconds, int64_t swing, int64_t maxPolls) {
    Game& g = arcade.game();
    Watch watch;
    const float x0 = g.player.x, y0 = g.player.y;
    arcade.window.onPoll = [&](int64_t poll) {
        if (poll == 1) arcade.secondsPerFrame = seconds;
        if (watch.loopPolls == 0 && g.shift.minutesLeft < 0) {
            watch.loopPolls = poll - 1;
            watch.minutesAtEnd = g.shift.minutesLeft;
            arcade.secondsPerFrame = 1.0 / 60.0;
        }
        if (watch.loopPolls) {
            if (poll % 2 == 0) arcade.window.holdKey(KeyEnter, poll, poll);
            return;
        }
        // The exit key ends a shift that would not end by itself.
        if (poll == maxPolls) arcade.window.holdKey(KeyEsc, poll, poll);
        if (poll >= maxPolls) return;
        const PlayerCar& car = g.player;
        if (!finiteCar(car, g.shift)) ++watch.notFinite;
        if (!(car.x >= 0 && car.x < MapSize && car.y >= 0 && car.y < MapSize)) ++watch.outsideGrid;
        watch.farthest = std::fmax(watch.farthest, std::hypot(car.x - x0, car.y - y0));
        if (poll == 2) arcade.window.holdKey(KeyS, poll, poll);
        if (poll > 3) {
            arcade.window.holdKey(KeyUp, poll, poll);
            arcade.window.holdKey((poll / swing) % 2 ? KeyLeft : KeyRight, poll, poll);
        }
    };
    const int status = arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    EXPECT_EQ(status, -1) << "the shift did not return to its caller";
    return watch;
}

TEST(FrameRates, AVerySlowMachinePlaysTheShiftInGameTime) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    // Two frames a second: 25 ticks a frame. Four minutes are 480 frames of play (a few
    // more while the frame timer's first window still reads 1 tick a frame).
    const Watch w = playAt(arcade, 0.5, 7, 2000);
    EXPECT_GE(w.loopPolls, 480);
    EXPECT_LE(w.loopPolls, 486);
    EXPECT_EQ(w.notFinite, 0);
    EXPECT_EQ(w.outsideGrid, 0);
    EXPECT_GT(w.farthest, 20.0f) << "the cab did not move";
    EXPECT_TRUE(finiteCar(arcade.game().player, arcade.game().shift));
}

TEST(FrameRates, AFrameOfManySecondsKeepsTheCabInTheCity) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    // Five seconds a frame (250 ticks): the cab may cross many cells in one frame.
    const Watch w = playAt(arcade, 5.0, 2, 2000);
    EXPECT_GE(w.loopPolls, 48);
    EXPECT_LE(w.loopPolls, 52);
    EXPECT_EQ(w.notFinite, 0);
    EXPECT_EQ(w.outsideGrid, 0);
}

TEST(FrameRates, AVeryFastMachineMovesTheCabInTinySteps) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    // A million frames a second: 1500 frames are 1.5 ms of game time, far from the end
    // of the shift, which the exit key then ends.
    const Watch w = playAt(arcade, 1e-6, 500, 1500);
    EXPECT_EQ(w.loopPolls, 1501);  // the release is seen one poll later
    EXPECT_EQ(w.notFinite, 0);
    EXPECT_EQ(w.outsideGrid, 0);
    const Game& g = arcade.game();
    // The clock ran down by about 1.5 ms, not by 1500 ticks, and the cab crawled.
    EXPECT_EQ(g.shift.score, 0);
    EXPECT_GT(w.farthest, 0.0f);
    EXPECT_LT(w.farthest, 0.01f);
    EXPECT_EQ(w.minutesAtEnd, -1);
}

TEST(FrameRates, TheWorldViewDrawsACabThrownOutOfTheCity) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    beginShift(g, arcade.view);
    Image& target = renderTarget(g.screen);
    const float nan = std::nanf("");
    const float places[][2] = {{-5.0f, 1000.0f}, {5000.0f, 1000.0f}, {1000.0f, -1e30f}, {1e30f, 1e30f}, {nan, 1000.0f}, {nan, nan}};
    for (const auto& place : places) {
        g.player.x = place[0];
        g.player.y = place[1];
        fillImage(target, 7);
        renderWorldView({*g.city, arcade.view, g.player, g.shift, g.state, target});
        // Nothing is read outside the grid (the sanitizer build checks); a place just
        // outside still gets its sky, one far away or not a number is not drawn.
        int drawn = 0;
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) drawn += getPixel(target, x, y) != 7u;
        if (std::fabs(place[0]) < 1e6f && std::fabs(place[1]) < 1e6f) {
            EXPECT_GT(drawn, 20000) << place[0] << "," << place[1];
        } else {
            EXPECT_EQ(drawn, 0) << place[0] << "," << place[1];
        }
    }
}

}  // namespace
}  // namespace hc
