#include <gtest/gtest.h>

#include <cmath>

#include "sim/windshield.h"
#include "sim_support.h"

namespace hc {
namespace {

// 640 by 480 with a 120-row dashboard: the glass ends at row 360, the pivot at (320, 360).
class WindshieldTest : public ::testing::Test {
protected:
    Shift shift;
    PlayerCar car;
    void SetUp() override {
        seedRandom(2);
        shift.dashboardHeight = 120, shift.wiperAngle = WiperRestAngle, shift.wiperDirection = 1;
        shift.nextRaindrop = 200;  // keep new drops away from the slots under test
    }
    // A drop in slot k at (x, y), running straight away from the pivot.
    Raindrop& dropAt(int k, double x, double y) {
        Raindrop& drop = shift.raindrops[k];
        drop.body = Body{static_cast<float>(x), static_cast<float>(y)};
        drop.body.travelRate = 1.5f;
        rotateBody(drop.body, std::atan2(y - 360.0, x - 320.0) / GamePi * 180.0);
        drop.active = FlagOn;
        return drop;
    }
    void update(int64_t frame, double dt = 1.0) {
        shift.frameCounter = frame;
        updateWindshield(shift, car, dt, 640, 480);
    }
};

// Odd slots move on even frames: 0.2 down a tick, and outwards by the car's speed times
// their rate; they leave at the glass's edges.
TEST_F(WindshieldTest, DropsSlideDownEverySecondFrameRunOutWithSpeedAndLeaveTheGlass) {
    Raindrop &odd = dropAt(1, 320, 100), &even = dropAt(2, 320, 100), &low = dropAt(3, 100, 359.9);
    update(0);
    EXPECT_TRUE(odd.body.y == 100.2f && odd.body.x == 320.0f && even.body.y == 100.0f && !isOn(low.active));
    update(1, 2.0);
    EXPECT_TRUE(even.body.y == 100.4f && odd.body.y == 100.2f && isOn(odd.active));
    car.vx = 2.0f;
    Raindrop &drop = dropAt(5, 420, 260), &edge = dropAt(7, 638, 200);  // 45 degrees up to the right
    update(0);
    EXPECT_TRUE(std::fabs(drop.body.x - 422.12) < 0.01 && std::fabs(drop.body.y - 258.08) < 0.01 && !isOn(edge.active));
}

// The blade moves 0.04 radians a tick only with the wipers on, the engine running and the
// bodywork below 0.5, and turns round at either end of the upper half-plane. Drops within
// 5 degrees of it (seen from the pivot) are wiped; a blade at exactly 2 pi points at
// heading 0, not 3600, so drops just short of a full turn are more than 5 degrees away.
TEST_F(WindshieldTest, BladeSweepsWhenSwitchedOnAndWipesDropsWithinFiveDegrees) {
    const struct { bool wipers, engine; float damage; double from; int direction; double to; int turned; } sweeps[] = {
        {true, false, 0, 3.3, 1, 3.3, 1},    {false, true, 0, 3.3, 1, 3.3, 1},
        {true, true, 0.5f, 3.3, 1, 3.3, 1},  {true, true, 0.49f, 3.3, 1, 3.34, 1},
        {true, true, 0, 2 * GamePi - 0.01, 1, 2 * GamePi - 0.01, -1}, {true, true, 0, GamePi + 0.01, -1, GamePi + 0.01, 1}};
    for (const auto& c : sweeps) {
        shift.wipersOn = toFlag(c.wipers), shift.engineRunning = toFlag(c.engine), shift.damage[1] = c.damage;
        shift.wiperAngle = c.from, shift.wiperDirection = c.direction;
        update(0);
        EXPECT_TRUE(std::fabs(shift.wiperAngle - c.to) < 1e-12 && shift.wiperDirection == c.turned) << c.from;
    }
    for (int i = 0; i < 500; ++i) {
        update(i, 1.7);
        ASSERT_TRUE(shift.wiperAngle >= GamePi - 1e-9 && shift.wiperAngle <= 2 * GamePi + 1e-9);
    }
    const struct { double blade, drop; bool wiped; } wipes[] = {  // radians, degrees
        {WiperRestAngle, 183.6 + 4.0, true}, {WiperRestAngle, 183.6 + 6.0, false}, {WiperRestAngle, 300.0, false},
        {1.5 * GamePi, 270.0 - 4.9, true},   {2 * GamePi, 359.0, false},           {2 * GamePi, 355.5, false},
        {2 * GamePi - 0.01, 359.0, true}};
    shift.wipersOn = FlagOff;
    for (const auto& c : wipes) {
        shift.wiperAngle = c.blade;
        const double a = c.drop / 180.0 * GamePi;
        Raindrop& drop = dropAt(1, 320 + 200 * std::cos(a), 360 + 200 * std::sin(a));
        update(0);
        EXPECT_EQ(!isOn(drop.active), c.wiped) << c.blade << " " << c.drop;
    }
}

// With dt 4 a drop comes every frame; the rain stays while the toggle draw is 0.0008 or
// more. Then x, y and the speed factor are drawn, in that order.
TEST_F(WindshieldTest, RainTogglesRarelySpawnsDropsAndTheSlotsWrap) {
    shift.raining = FlagOn;
    shift.nextRaindrop = 255;
    seedRandom(6);
    const double toggle = nextRandom(), spawn = nextRandom(), rx = nextRandom(), ry = nextRandom(), rt = nextRandom();
    ASSERT_TRUE(toggle >= 0.0008 && spawn < 1.0);
    seedRandom(6);
    update(1, 4.0);  // even slots move; slot 255 is new and odd
    const Raindrop& drop = shift.raindrops[255];
    EXPECT_TRUE(isOn(drop.active) && drop.body.x == std::floor(rx * 640) && drop.body.y == std::floor(ry * 360));
    EXPECT_TRUE(drop.body.travelRate == static_cast<float>(rt + 1.0) && shift.nextRaindrop == 256);
    EXPECT_NEAR(drop.body.heading, 3600 + std::atan2(drop.body.y - 360.0, drop.body.x - 320.0) / GamePi * 1800, 1e-2);
    update(3, 4.0);  // the last slot, then the first again
    EXPECT_TRUE(isOn(shift.raindrops[256].active) && shift.nextRaindrop == 1);
    int toggles = 0;  // about once every 5000 frames at 50 a second
    for (int i = 0; i < 100000; ++i) {
        const uint8_t before = shift.raining;
        update(i), toggles += before != shift.raining;
    }
    EXPECT_NEAR(toggles, 20, 12);
}

}  // namespace
}  // namespace hc
