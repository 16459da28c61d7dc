// A shift on a machine so slow that every frame is five seconds long: the game scales
// every rate by the frame's length, so the clock runs in game time, and the cab moves
// far but stays in the city with finite numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "city/city_map.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyUp = 72, KeyLeft = 75, KeyRight = 77, KeyEnter = 28, KeyS = 31;

TEST(FrameRates, AFrameOfManySecondsPlaysTheShiftInGameTimeAndKeepsTheCabInTheCity) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    const float x0 = g.player.x, y0 = g.player.y;
    int64_t loopPolls = 0, outside = 0, notFinite = 0;
    float farthest = 0;
    // Ignition, then full throttle with the wheel swung from side to side; the dissolves
    // before and after play run at 60 frames a second.
    arcade.window.onPoll = [&](int64_t poll) {
        const PlayerCar& car = g.player;
        if (poll == 1) arcade.secondsPerFrame = 5.0;
        if (loopPolls == 0 && g.shift.minutesLeft < 0) {
            loopPolls = poll - 1;
            arcade.secondsPerFrame = 1.0 / 60.0;
        }
        if (loopPolls) {
            if (poll % 2 == 0) arcade.window.holdKey(KeyEnter, poll, poll);
            if (poll > 500) endProcess(99);
            return;
        }
        notFinite += !(std::isfinite(car.x) && std::isfinite(car.y) && std::isfinite(car.vx) && std::isfinite(car.vy) &&
                       std::isfinite(car.heading) && std::isfinite(g.shift.engineHeat) && std::isfinite(g.shift.secondsLeft));
        outside += !(car.x >= 0 && car.x < MapSize && car.y >= 0 && car.y < MapSize);
        farthest = std::fmax(farthest, std::hypot(car.x - x0, car.y - y0));
        if (poll == 2) arcade.window.holdKey(KeyS, poll, poll);
        if (poll > 3) {
            arcade.window.holdKey(KeyUp, poll, poll);
            arcade.window.holdKey((poll / 2) % 2 ? KeyLeft : KeyRight, poll, poll);
        }
    };
    ASSERT_EQ(arcade.runUntilEnd([&] { runShift(g, arcade.view); }), -1);
    // Four minutes are 48 frames of five seconds (a few more while the frame timer's
    // first window still reads a tick a frame).
    EXPECT_GE(loopPolls, 48);
    EXPECT_LE(loopPolls, 52);
    EXPECT_EQ(notFinite, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(farthest, 5.0f) << "the cab did not move";
}

}  // namespace
}  // namespace hc
