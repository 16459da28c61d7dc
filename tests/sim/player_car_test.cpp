#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim_support.h"

namespace hc {
namespace {

using test::Cab;
using test::MapPtr;

class PlayerCarTest : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(11);
        map = test::openGround(900, 900, 1200, 1200);
    }
    // Puts the car on a heading (tenths of a degree) with the velocity (vx, vy).
    void moving(float vx, float vy = 0, float heading = 0) {
        cab.car.heading = heading;
        rotateBody(cab.car, 0);
        cab.car.vx = vx;
        cab.car.vy = vy;
        cab.car.turnRate = 0;
    }
    MapPtr map;
    Cab cab;
};

// The heading after one frame: the turn rate and the bent body's pull, scaled down
// below speed 0.2 and to nothing at rest, then mirrored in reverse.
TEST_F(PlayerCarTest, SteeringDependsOnSpeedGearAndBodywork) {
    struct Case {
        float vx, turnRate, damage;
        bool reverse;
        std::initializer_list<int> keys;
        double heading;
    };
    const Case cases[] = {
        {0.0f, 1.2f, 0, false, {ActionRight}, 0.0},           // at rest no turn at all
        {0.1f, 0, 0, false, {ActionRight}, 0.16},             // 0.032 scaled by 0.1 / 0.2
        {0.5f, 0, 0, false, {ActionLeft, ActionRight}, 0.32},  // right wins over left
        {0.5f, 0, 0, false, {ActionLeft}, 3600 - 0.32},
        {-0.5f, 0, 0, true, {ActionRight}, 3600 - 0.32},      // reverse mirrors
        {1.0f, 0, 0.5f, false, {}, 1.5},                      // a bent body pulls 0.3 x damage
        {1.0f, 0, 0.2f, false, {}, 0.0},                      // ... only above 0.2
        {0.0f, 0, 0.5f, false, {}, 0.0},                      // the pull is stopped at rest,
        {0.1f, 0, 0.5f, false, {}, 0.75},                     // scaled down when slow,
        {-0.5f, 0, 0.5f, true, {}, 3600 - 1.5},               // and mirrored in reverse
    };
    for (const Case& c : cases) {
        Cab run;
        run.car.turnRate = c.turnRate;
        run.shift.damage[DamageBodywork] = c.damage;
        run.shift.reverseGear = toFlag(c.reverse);
        run.car.vx = c.vx;
        run.frame(*map, c.keys);
        EXPECT_NEAR(run.car.heading, c.heading, 1e-3) << c.vx << " " << c.turnRate << " " << c.damage;
    }
    for (int i = 0; i < 60; ++i) cab.frame(*map, {ActionRight});
    EXPECT_FLOAT_EQ(cab.car.turnRate, 1.2f);
    // Released, the rate decays by 0.9 a tick, raised to the power dt.
    test::poll(cab.keys);
    cab.car.turnRate = 1.0f;
    cab.drive(*map, 0.5);
    cab.drive(*map, 0.5);
    EXPECT_NEAR(cab.car.turnRate, 0.9, 1e-6);
}

// Grip pulls the velocity towards the heading of this frame, after its rotation: by
// dt x grip (0.035 + 0.01 per tyre stage), half as much while braking; drag 0.997 follows.
TEST_F(PlayerCarTest, GripPullsTowardsTheTurnedHeading) {
    // At speed 1 along +x with the turn rate at 1.2, the frame turns the car 1.2 degrees
    // and the velocity gains 0.035 x sin 1.2 degrees across.
    moving(1.0f);
    cab.car.turnRate = 1.2f;
    cab.frame(*map, {ActionRight});
    EXPECT_NEAR(cab.car.heading, 12.0, 1e-4);
    EXPECT_NEAR(cab.car.vy, 0.035 * 0.0209424 * 0.997, 1e-7);
    EXPECT_NEAR(cab.car.vx, (0.035 * 0.9997807 + 0.965) * 0.997, 1e-6);

    // Sliding sideways at 0.5: 0.035 x 0.5 of it turns into the heading.
    moving(0, 0.5f);
    cab.frame(*map);
    EXPECT_NEAR(cab.car.vx, 0.0175 * 0.997, 1e-7);
    EXPECT_NEAR(cab.car.vy, 0.4825 * 0.997, 1e-6);
    moving(0, 0.5f);
    cab.shift.tyreLevel = 2;
    cab.frame(*map);
    EXPECT_NEAR(cab.car.vx, 0.0275 * 0.997, 1e-7);
    // Braking halves the grip; the brake then shortens the velocity along itself.
    moving(0, 0.5f);
    cab.shift.tyreLevel = 0;
    cab.frame(*map, {ActionDown});
    EXPECT_NEAR(cab.car.vx / cab.car.vy, 0.00875 / 0.49125, 1e-6);
}

TEST_F(PlayerCarTest, ThrottleBoostAndReverse) {
    cab.frame(*map, {ActionUp});  // engine off: no thrust
    EXPECT_EQ(cab.car.vx, 0.0f);
    cab.shift.turboBoost = 0.5f;  // but boost left still pushes while it drains
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.45f);
    EXPECT_NEAR(cab.car.vx, 0.00045 * 0.997, 1e-9);

    cab.shift.engineRunning = FlagOn;
    struct Case {
        float speed, boost, boostAfter;
        double vx;
    };
    const Case cases[] = {
        {1.2f, 0.3f, 0.33f, (1.2 + 0.003 + 0.00033) * 0.997},  // boost builds by 0.025 x speed
        {1.4f, 0.3f, 0.25f, (1.4 + 0.00025) * 0.997},          // above 1.3 the throttle is cut
        {1.2f, 0.54f, 0.55f, (1.2 + 0.003 + 0.00055) * 0.997},  // capped at 0.55 a turbo stage
    };
    for (const Case& c : cases) {
        moving(c.speed);
        cab.shift.turboBoost = c.boost;
        cab.frame(*map, {ActionUp});
        EXPECT_FLOAT_EQ(cab.shift.turboBoost, c.boostAfter) << c.speed;
        EXPECT_NEAR(cab.car.vx, c.vx, 1e-6) << c.speed;
    }

    // Gears change only below speed 0.1; a refused change still uses the frame's switch.
    cab.shift.turboBoost = 0;
    for (float speed : {0.5f, 0.1f}) {
        moving(speed);
        test::release(cab.keys, {ActionReverse, ActionWipers});
        cab.drive(*map);
        EXPECT_FALSE(isOn(cab.shift.reverseGear) || isOn(cab.shift.wipersOn)) << speed;
    }
    moving(0.0999f);
    test::release(cab.keys, {ActionReverse});
    cab.drive(*map);
    ASSERT_TRUE(isOn(cab.shift.reverseGear));
    moving(0);
    cab.frame(*map, {ActionUp});  // reverse pulls twice as hard, backwards
    EXPECT_NEAR(cab.car.vx, -0.006 * 0.997, 1e-9);
}

TEST_F(PlayerCarTest, OnlyTheFirstSwitchOfAFrameActs) {
    const int order[] = {ActionIgnition, ActionReverse, ActionWipers, ActionMinimapZoom, ActionMapView,
                         ActionBack,     ActionMusic,   ActionStats,  ActionLowDetail};
    for (int i = 0; i + 1 < 9; ++i) {
        Cab fresh;
        fresh.shift.speechTimer = 100;
        test::release(fresh.keys, {order[i + 1], order[i]});
        fresh.drive(*map);
        const Shift& s = fresh.shift;
        const bool effects[] = {isOn(s.engineRunning), isOn(s.reverseGear), isOn(s.wipersOn),
                                isOn(s.minimapZoom),   isOn(s.mapView),     s.minutesLeft == 0 && s.speechTimer == 0.0,
                                fresh.sound.musicToggled, isOn(s.showStats), isOn(s.lowDetail)};
        for (int j = 0; j < 9; ++j) EXPECT_EQ(effects[j], j == i) << i << " " << j;
    }
    // A held switch does nothing until it goes up, and acts once.
    cab.frame(*map, {ActionMusic});
    EXPECT_FALSE(cab.sound.musicToggled);
    cab.frame(*map, {});
    EXPECT_TRUE(cab.sound.musicToggled);
    cab.frame(*map, {});
    EXPECT_FALSE(cab.sound.musicToggled);

    // The ignition refuses an engine at heat 4 or more, silently; exit ends the shift at
    // the next clock step and clears the speech line.
    for (float heat : {4.0f, 3.9f}) {
        cab.shift.engineHeat = heat;
        test::release(cab.keys, {ActionIgnition});
        cab.drive(*map);
        EXPECT_EQ(isOn(cab.shift.engineRunning), heat < 4.0f);
        EXPECT_EQ(cab.shift.speechTimer, 0.0);
    }
    cab.shift.secondsLeft = 20;
    say(cab.shift, "hello");
    test::release(cab.keys, {ActionBack});
    cab.drive(*map);
    EXPECT_EQ(cab.shift.speechTimer, 0.0);
    advanceClock(cab.shift, 1.0);
    EXPECT_TRUE(shiftOver(cab.shift));
}

TEST_F(PlayerCarTest, BrakesSlowTheCarButNeverReverseIt) {
    moving(1.0f);
    cab.shift.damage[DamageBrakes] = 0.5f;  // worn brakes grip half as hard
    cab.frame(*map, {ActionUp, ActionDown});  // and the throttle does nothing meanwhile
    EXPECT_NEAR(cab.car.vx, (1.0 - 0.002) * 0.997, 1e-6);
    EXPECT_NEAR(cab.shift.brakeHeat, 0.002 * 0.999, 1e-7);
    // Sliding sideways, grip shortens the velocity below the brake's bite; a long frame
    // asks for more than is left. Neither pushes the car backwards.
    cab.shift.damage[DamageBrakes] = 0;
    for (double dt : {1.0, 3.0}) {
        moving(0, 0.003f);
        cab.frame(*map, {ActionDown}, dt);
        EXPECT_GE(cab.car.vy, 0.0f) << dt;
        EXPECT_LT(std::fabs(cab.car.vx) + std::fabs(cab.car.vy), 1e-4f) << dt;
    }
}

// The same drive at 60, 12 and 2 frames a second: throttle along +x, a swerve, braking.
// Long frames are driven in steps of at most a tick, so every rate ends at the same place
// with the same heat, and no step lands the cab in a wall or off the grid.
TEST_F(PlayerCarTest, AnyFrameRateDrivesTheSameWay) {
    struct Span {
        double until;  // seconds
        std::initializer_list<int> keys;
    };
    const Span script[] = {{2.5, {ActionUp}}, {3.0, {ActionUp, ActionRight}}, {5.0, {ActionUp}},
                           {7.0, {ActionDown}}, {8.0, {}}};
    std::vector<std::vector<float>> ends;
    for (const double fps : {60.0, 12.0, 2.0}) {
        Cab run;
        run.shift.engineRunning = FlagOn;
        for (int f = 0; f < std::lround(8.0 * fps); ++f) {
            size_t k = 0;
            while (script[k].until <= f / fps) ++k;
            run.frame(*map, script[k].keys, 50.0 / fps);
            ASSERT_FALSE(isBlocked(*map, run.car.x, run.car.y)) << fps << " frame " << f;
        }
        ends.push_back({run.car.x, run.car.y, run.shift.engineHeat, run.shift.brakeHeat});
    }
    for (const auto& end : ends) {
        EXPECT_NEAR(end[0], ends[0][0], 1.0);
        EXPECT_NEAR(end[1], ends[0][1], 1.0);
        EXPECT_NEAR(end[2], ends[0][2], 0.02 * ends[0][2]);
        EXPECT_NEAR(end[3], ends[0][3], 0.02 * ends[0][3]);
    }
}

// Top speed into walls two cells thick (one at the grid's edge) from many starting
// offsets, at 60, 12 and 2 frames a second. The box is tested before each move, so the
// cab's centre may end one frame inside the wall's first cell, but it bounces straight
// out, never crosses the wall and never leaves the grid.
TEST_F(PlayerCarTest, LongFramesNeitherCrossWallsNorLeaveTheGrid) {
    map = test::openGround(0, 1000, 300, 1100);
    test::putWall(*map, 0, 1000, 1, 1100);
    test::putWall(*map, 200, 1000, 201, 1100);
    for (const double fps : {60.0, 12.0, 2.0}) {
        for (const float heading : {0.0f, 1800.0f}) {
            for (int offset = 0; offset < 10; ++offset) {
                Cab run;
                run.placeAt((heading == 0 ? 150.0f : 50.0f) + 0.1f * offset, 1050.0f);
                run.shift.engineRunning = FlagOn;
                rotateBody(run.car, heading / 10.0f);
                run.car.vx = 1.3f * run.car.dirX;
                bool wasInWall = false;
                for (int f = 0; f < 4.0 * fps; ++f) {
                    run.frame(*map, {ActionUp}, 50.0 / fps);
                    const bool inWall = isBlocked(*map, run.car.x, run.car.y);
                    ASSERT_TRUE(heading == 0 ? run.car.x < 201.0f : run.car.x >= 1.0f) << fps << " " << offset;
                    ASSERT_FALSE(inWall && wasInWall) << fps << " " << heading << " " << offset;
                    wasInWall = inWall;
                }
                ASSERT_GT(run.shift.damage[DamageBodywork], 0.0f);
            }
        }
    }
}

TEST_F(PlayerCarTest, BounceThrowsTheCarBackByTwoFramesAndHurtsTheBody) {
    test::putWall(*map, 1044, 1000, 1050, 1070);
    struct Case {
        float speed, damageBefore, damageAfter;
    };
    // 0.1 x speed above speed 0.2; never above 1.
    const Case cases[] = {{1.0f, 0, 0.1f}, {0.199f, 0, 0}, {1.0f, 0.95f, 1.0f}};
    for (const Case& c : cases) {
        Cab run;
        run.placeAt(1043.2f, 1034);
        run.car.vx = c.speed;
        run.car.turnRate = 0.5f;
        run.shift.turboBoost = 0.3f;
        run.shift.damage[DamageBodywork] = c.damageBefore;
        run.shift.passengerAboard = 3;
        run.shift.passengers[3].complaintLine = "yikes!";
        run.shift.frameCounter = 5;  // slot 6 is tested, so nobody gets out
        run.frame(*map);
        // Boost left over this frame (0.3 drained to 0.25) still pushed before the hit.
        const double bounced = (c.speed + 0.00025) * 0.997;
        EXPECT_NEAR(run.car.vx, -bounced, 1e-5);
        EXPECT_NEAR(run.car.x, 1043.2 - 2 * bounced, 1e-4);
        EXPECT_NEAR(run.shift.damage[DamageBodywork], c.damageAfter, 1e-6);
        EXPECT_TRUE(run.car.turnRate == 0.0f && run.shift.turboBoost == 0.0f);
        EXPECT_EQ(run.shift.speechText, "yikes!");
        EXPECT_EQ(run.shift.speechTimer, 300.0);
    }
}

TEST_F(PlayerCarTest, CarSoundsFollowSpeedSteeringAndBoost) {
    cab.shift.engineRunning = FlagOn;
    moving(0.5f);
    cab.car.turnRate = 1.0f;
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionRight, ActionUp});
    const CarSound& sound = cab.sound;
    EXPECT_DOUBLE_EQ(sound.engineFrequency, 260.0);
    EXPECT_TRUE(sound.engineOn && sound.skidOn && sound.turboOn);
    EXPECT_FLOAT_EQ(sound.skidGain, 0.04f);
    // The boost built to 0.3 + 0.5 x 0.025 of the stage's 0.55: a tenth of that share.
    EXPECT_NEAR(sound.turboGain, 0.1 * 0.3125 / 0.55, 1e-6);
    // The skid fades in up to 0.3, out by 0.02 a tick once the turn eases, then stops.
    for (int i = 0; i < 20; ++i) {
        cab.car.vx = 0.5f;
        cab.frame(*map, {ActionRight});
    }
    EXPECT_FLOAT_EQ(sound.skidGain, 0.3f);
    int frames = 0;
    for (; sound.skidOn && frames < 100; ++frames) {
        moving(0.5f);
        cab.car.turnRate = 0;
        cab.frame(*map);
    }
    EXPECT_TRUE(frames == 16 || frames == 17) << frames;
    // Without a turbo stage the whistle is silent, not a division by zero.
    cab.shift.turboLevel = 0;
    cab.shift.engineRunning = FlagOff;
    cab.frame(*map, {ActionUp});
    EXPECT_EQ(sound.turboGain, 0.0f);
    EXPECT_FALSE(sound.turboOn || sound.engineOn);
}

TEST_F(PlayerCarTest, HeatSettlesWithSpeedAndOverheatingKillsTheEngine) {
    cab.shift.engineRunning = FlagOn;
    for (int i = 0; i < 6000; ++i) {
        cab.car.vx = 1.0f;
        updateCabSystems(cab.shift, cab.car, 1.0);
    }
    EXPECT_NEAR(cab.shift.engineHeat, 4.99, 0.01);  // 5 v at a constant speed v
    EXPECT_TRUE(isOn(cab.shift.engineRunning));
    for (int i = 0; i < 2000 && isOn(cab.shift.engineRunning); ++i) {
        cab.car.vx = 1.1f;
        updateCabSystems(cab.shift, cab.car, 1.0);
    }
    EXPECT_FALSE(isOn(cab.shift.engineRunning));
    EXPECT_NEAR(cab.shift.damage[DamageEngine], 0.0002, 1e-7);
    cab.car.vx = 0;
    cab.shift.engineHeat = 3.0f;  // a better radiator cools faster
    cab.shift.radiatorLevel = 2;
    cab.shift.brakeHeat = 1.2f;   // hot brakes wear
    updateCabSystems(cab.shift, cab.car, 2.0);
    EXPECT_NEAR(cab.shift.engineHeat, 3.0 * 0.997 * 0.997, 1e-5);
    EXPECT_NEAR(cab.shift.damage[DamageBrakes], 0.0004, 1e-8);
}

}  // namespace
}  // namespace hc
