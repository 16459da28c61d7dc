#include <gtest/gtest.h>

#include <cmath>

#include "sim/windshield.h"
#include "sim_support.h"

namespace hc {
namespace {

// 640 by 480 with a 120-row dashboard: the glass ends at row 360, the pivot at (320, 360).
constexpr int W = 640, H = 480;

class WindshieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(2);
        shift.dashboardHeight = 120;
        shift.wiperAngle = WiperRestAngle;
        shift.wiperDirection = 1;
        shift.nextRaindrop = 200;  // keep new drops away from the slots under test
    }
    // A drop at (x, y) running straight away from the pivot.
    Raindrop& dropAt(int k, float x, float y) {
        Raindrop& drop = shift.raindrops[k];
        drop.body = Body{};
        drop.body.x = x;
        drop.body.y = y;
        drop.body.travelRate = 1.5f;
        rotateBody(drop.body, std::atan2(y - 360.0, x - 320.0) / GamePi * 180.0);
        drop.active = FlagOn;
        return drop;
    }
    Shift shift;
    PlayerCar car;
};

TEST_F(WindshieldTest, StandingStillDropsOnlySlideDownEverySecondFrame) {
    Raindrop& odd = dropAt(1, 320, 100);   // straight above the pivot: far from the blade
    Raindrop& even = dropAt(2, 320, 100);
    shift.frameCounter = 0;  // odd slots this frame
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_FLOAT_EQ(odd.body.y, 100.2f);
    EXPECT_EQ(even.body.y, 100.0f);
    EXPECT_EQ(odd.body.x, 320.0f);
    shift.frameCounter = 1;
    updateWindshield(shift, car, 2.0, W, H);
    EXPECT_FLOAT_EQ(even.body.y, 100.4f);
    EXPECT_FLOAT_EQ(odd.body.y, 100.2f);

    // It leaves at the bottom edge of the glass.
    Raindrop& low = dropAt(3, 100, 359.9f);
    shift.frameCounter = 0;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_FALSE(isOn(low.active));
    EXPECT_TRUE(isOn(odd.active));
}

TEST_F(WindshieldTest, DropsRunOutwardsWithTheCarsSpeed) {
    car.vx = 2.0f;
    Raindrop& drop = dropAt(1, 420, 260);  // up and to the right of the pivot (45 degrees)
    shift.frameCounter = 0;
    updateWindshield(shift, car, 1.0, W, H);
    const double step = 1.5 * 2.0;
    EXPECT_NEAR(drop.body.x, 420 + step * std::cos(GamePi / 4), 0.01);
    EXPECT_NEAR(drop.body.y, 260 - step * std::sin(GamePi / 4) + 0.2, 0.01);

    Raindrop& edge = dropAt(3, 638, 200);
    car.vx = 10.0f;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_FALSE(isOn(edge.active));
}

TEST_F(WindshieldTest, BladeSweepsOnlyWhenSwitchedOnWithEngineAndBody) {
    shift.wipersOn = FlagOn;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_DOUBLE_EQ(shift.wiperAngle, WiperRestAngle);  // engine off

    shift.engineRunning = FlagOn;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_NEAR(shift.wiperAngle, WiperRestAngle + 0.04, 1e-12);

    shift.damage[1] = 0.5f;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_NEAR(shift.wiperAngle, WiperRestAngle + 0.04, 1e-12);

    // At either end it turns round.
    shift.damage[1] = 0.0f;
    shift.wiperAngle = 2 * GamePi - 0.01;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_EQ(shift.wiperDirection, -1);
    EXPECT_NEAR(shift.wiperAngle, 2 * GamePi - 0.01, 1e-12);
    shift.wiperAngle = GamePi + 0.01;
    updateWindshield(shift, car, 1.0, W, H);
    EXPECT_EQ(shift.wiperDirection, 1);

    // A whole sweep stays within the upper half-plane.
    for (int i = 0; i < 500; ++i) {
        updateWindshield(shift, car, 1.7, W, H);
        EXPECT_GE(shift.wiperAngle, GamePi - 1e-9);
        EXPECT_LE(shift.wiperAngle, 2 * GamePi + 1e-9);
    }
}

TEST_F(WindshieldTest, BladeWipesDropsWithinFiveDegrees) {
    // Blade at rest at 183.6 degrees: heading 1836.
    const double bladeDegrees = WiperRestAngle / GamePi * 180.0;
    auto dropAtAngle = [&](int k, double degrees) -> Raindrop& {
        const double a = degrees / 180.0 * GamePi;
        Raindrop& drop = dropAt(k, static_cast<float>(320 + 200 * std::cos(a)),
                                static_cast<float>(360 + 200 * std::sin(a)));
        return drop;
    };
    Raindrop& near = dropAtAngle(1, bladeDegrees + 4.0);
    Raindrop& far = dropAtAngle(3, bladeDegrees + 6.0);
    Raindrop& right = dropAtAngle(5, 300.0);
    shift.frameCounter = 0;
    updateWindshield(shift, car, 1.0, W, H);  // wipers off: the resting blade still wipes
    EXPECT_FALSE(isOn(near.active));
    EXPECT_TRUE(isOn(far.active));
    EXPECT_TRUE(isOn(right.active));
}

TEST_F(WindshieldTest, RainSpawnsDropsAndTheSlotsWrap) {
    shift.raining = FlagOn;
    shift.nextRaindrop = 256;
    // With dt 4 a drop comes every frame; the toggle needs r below 0.0008.
    seedRandom(6);
    const double toggle = nextRandom();
    nextRandom();  // spawn chance
    const double rx = nextRandom(), ry = nextRandom(), rt = nextRandom();
    ASSERT_GE(toggle * 5000.0 / 4.0, 1.0);
    seedRandom(6);
    shift.frameCounter = 1;  // even slots move; slot 256 is new and stays put this frame
    updateWindshield(shift, car, 4.0, W, H);
    const Raindrop& drop = shift.raindrops[256];
    EXPECT_TRUE(isOn(drop.active));
    EXPECT_EQ(drop.body.x, std::floor(rx * W));
    EXPECT_EQ(drop.body.y, std::floor(ry * 360));
    EXPECT_FLOAT_EQ(drop.body.travelRate, static_cast<float>(rt + 1.0));
    const double away = std::atan2(drop.body.y - 360.0, drop.body.x - 320.0);
    EXPECT_NEAR(drop.body.heading, 3600 + away / GamePi * 1800, 1e-2);
    EXPECT_EQ(shift.nextRaindrop, 1);
}

}  // namespace
}  // namespace hc
