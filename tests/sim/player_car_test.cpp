#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
    // Sets the car moving along its heading (tenths of a degree) at the given speed.
    void moving(float speed, float heading = 0) {
        cab.car.heading = 0;
        rotateBody(cab.car, heading / 10.0f);
        cab.car.vx = speed * cab.car.dirX;
        cab.car.vy = speed * cab.car.dirY;
    }
    MapPtr map;
    Cab cab;
};

TEST_F(PlayerCarTest, SteeringDependsOnSpeedDirectionAndBodywork) {
    cab.car.turnRate = 1.2f;  // standing still: no turn however the rate stands
    cab.frame(*map, {ActionRight});
    EXPECT_EQ(cab.car.heading, 0.0f);

    struct Case {
        float speed, damage;
        bool reverse;
        std::initializer_list<int> keys;
        double heading;
    };
    const Case cases[] = {
        {0.1f, 0, false, {ActionRight}, 0.16},                   // scaled by speed / 0.2
        {0.5f, 0, false, {ActionLeft, ActionRight}, 0.32},      // right wins over left
        {0.5f, 0, false, {ActionLeft}, 3600 - 0.32},
        {-0.5f, 0, true, {ActionRight}, 3600 - 0.32},           // reverse mirrors
        {1.0f, 0.5f, false, {}, 1.5},                           // a bent body pulls
        {1.0f, 0.2f, false, {}, 0.0},                           // ... only above 0.2
    };
    for (const Case& c : cases) {
        cab.car.turnRate = 0;
        cab.shift.damage[DamageBodywork] = c.damage;
        cab.shift.reverseGear = toFlag(c.reverse);
        moving(c.speed);
        cab.frame(*map, c.keys);
        EXPECT_NEAR(cab.car.heading, c.heading, 1e-3) << c.speed << " " << c.damage;
    }
    for (int i = 0; i < 60; ++i) cab.frame(*map, {ActionRight});
    EXPECT_FLOAT_EQ(cab.car.turnRate, 1.2f);

    // Per-tick decay is raised to the power dt: two half frames equal one whole.
    test::poll(cab.keys);
    cab.car.turnRate = 1.0f;
    cab.drive(*map, 0.5);
    cab.drive(*map, 0.5);
    EXPECT_NEAR(cab.car.turnRate, 0.9, 1e-6);
}

TEST_F(PlayerCarTest, ThrottleBoostAndReverse) {
    cab.frame(*map, {ActionUp});  // engine off: no thrust
    EXPECT_EQ(cab.car.vx, 0.0f);
    cab.shift.turboBoost = 0.5f;  // but boost left still pushes while it drains
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.45f);
    EXPECT_NEAR(cab.car.vx, 0.00045 * 0.997, 1e-9);

    cab.shift.engineRunning = FlagOn;
    moving(1.2f);  // below the cut the boost builds with speed
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionUp});
    EXPECT_NEAR(cab.shift.turboBoost, 0.33, 1e-6);
    EXPECT_NEAR(cab.car.vx, (1.2 + 0.003 + 0.00033) * 0.997, 1e-6);
    moving(1.4f);  // above 1.3 the throttle is cut
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.28f);
    EXPECT_NEAR(cab.car.vx, (1.4 + 0.00028) * 0.997, 1e-6);
    moving(1.2f);
    cab.shift.turboBoost = 0.54f;  // capped at 0.55 per turbo stage
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.55f);

    // Gears change only below speed 0.1; a refused change still uses the frame's switch.
    cab.shift.turboBoost = 0;
    for (float speed : {0.5f, 0.1f}) {
        moving(speed);
        test::release(cab.keys, {ActionReverse, ActionWipers});
        cab.drive(*map);
        EXPECT_FALSE(isOn(cab.shift.reverseGear));
        EXPECT_FALSE(isOn(cab.shift.wipersOn));
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
    const int order[] = {ActionIgnition, ActionReverse, ActionWipers, ActionMinimapZoom,
                         ActionMapView,  ActionBack,    ActionMusic,  ActionStats,
                         ActionLowDetail};
    for (int i = 0; i + 1 < 9; ++i) {
        Cab fresh;
        fresh.shift.speechTimer = 100;
        test::release(fresh.keys, {order[i + 1], order[i]});
        fresh.drive(*map);
        const Shift& s = fresh.shift;
        const bool effects[] = {isOn(s.engineRunning), isOn(s.reverseGear), isOn(s.wipersOn),
                                isOn(s.minimapZoom),   isOn(s.mapView),
                                s.minutesLeft == 0 && s.speechTimer == 0.0,
                                fresh.sound.musicToggled,
                                isOn(s.showStats),     isOn(s.lowDetail)};
        for (int j = 0; j < 9; ++j) EXPECT_EQ(effects[j], j == i) << i << " " << j;
    }
    // A held switch does nothing until it goes up, and acts once.
    cab.frame(*map, {ActionMusic});
    EXPECT_FALSE(cab.sound.musicToggled);
    cab.frame(*map, {});
    EXPECT_TRUE(cab.sound.musicToggled);
    cab.frame(*map, {});
    EXPECT_FALSE(cab.sound.musicToggled);
}

TEST_F(PlayerCarTest, IgnitionAndExitKey) {
    cab.shift.engineHeat = 4.0f;  // too hot to start, and nothing is said
    test::release(cab.keys, {ActionIgnition});
    cab.drive(*map);
    EXPECT_FALSE(isOn(cab.shift.engineRunning));
    EXPECT_EQ(cab.shift.speechTimer, 0.0);
    cab.shift.engineHeat = 3.9f;
    test::release(cab.keys, {ActionIgnition});
    cab.drive(*map);
    EXPECT_TRUE(isOn(cab.shift.engineRunning));

    cab.shift.secondsLeft = 20;
    say(cab.shift, "hello");
    test::release(cab.keys, {ActionBack});
    cab.drive(*map);
    EXPECT_EQ(cab.shift.speechTimer, 0.0);
    EXPECT_FALSE(shiftOver(cab.shift));
    advanceClock(cab.shift, 1.0);  // the next clock step ends the shift
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
        moving(0.003f, 900);
        cab.car.heading = 0;
        rotateBody(cab.car, 0);
        cab.frame(*map, {ActionDown}, dt);
        EXPECT_GE(cab.car.vy, 0.0f) << dt;
        EXPECT_LT(std::fabs(cab.car.vx) + std::fabs(cab.car.vy), 1e-4f) << dt;
    }
}

// The same drive at 60, 12 and 2 frames a second: throttle along +x, a swerve, a crash
// into a wall two cells thick, braking. Long frames are driven in steps of at most a
// tick, so every rate ends at the same place with the same heat, and no step lands the
// cab in a wall or off the grid.
TEST_F(PlayerCarTest, AnyFrameRateDrivesTheSameWay) {
    struct Span {
        double until;  // seconds
        std::initializer_list<int> keys;
    };
    const Span script[] = {{2.5, {ActionUp}}, {3.0, {ActionUp, ActionRight}}, {5.0, {ActionUp}},
                           {7.0, {ActionDown}}, {8.0, {}}};
    struct End {
        float x, y, engineHeat, brakeHeat, bodywork;
    };
    std::vector<End> ends;
    for (const double fps : {60.0, 12.0, 2.0}) {
        Cab run;
        run.shift.engineRunning = FlagOn;
        const int frames = static_cast<int>(std::lround(8.0 * fps));
        for (int f = 0; f < frames; ++f) {
            const double t = f / fps;
            size_t k = 0;
            while (script[k].until <= t) ++k;
            run.frame(*map, script[k].keys, 50.0 / fps);
            ASSERT_TRUE(run.car.x >= 0 && run.car.y >= 0 && run.car.x < MapSize && run.car.y < MapSize) << fps;
            ASSERT_FALSE(isBlocked(*map, run.car.x, run.car.y)) << fps << " frame " << f;
        }
        ends.push_back({run.car.x, run.car.y, run.shift.engineHeat, run.shift.brakeHeat,
                        run.shift.damage[DamageBodywork]});
    }
    for (const End& end : ends) {
        EXPECT_NEAR(end.x, ends[0].x, 1.0);
        EXPECT_NEAR(end.y, ends[0].y, 1.0);
        EXPECT_NEAR(end.engineHeat, ends[0].engineHeat, 0.02 * ends[0].engineHeat);
        EXPECT_NEAR(end.brakeHeat, ends[0].brakeHeat, 0.02 * ends[0].brakeHeat);
    }
}

// Top speed into walls two cells thick (one of them at the grid's edge) from many
// starting offsets, at 60, 12 and 2 frames a second. The box is tested before each move,
// so at top speed the cab's centre may end one frame inside the wall's first cell, as it
// does at 60 frames a second; but it bounces straight out, never crosses the wall and
// never leaves the grid.
TEST_F(PlayerCarTest, LongFramesNeitherCrossWallsNorLeaveTheGrid) {
    map = test::openGround(0, 1000, 300, 1100);
    test::putWall(*map, 0, 1000, 1, 1100);
    test::putWall(*map, 200, 1000, 201, 1100);
    for (const double fps : {60.0, 12.0, 2.0}) {
        for (const float heading : {0.0f, 1800.0f}) {
            for (int offset = 0; offset < 10; ++offset) {
                Cab run;
                run.placeAt(heading == 0 ? 150.0f + 0.1f * offset : 50.0f + 0.1f * offset, 1050.0f);
                run.shift.engineRunning = FlagOn;
                rotateBody(run.car, heading / 10.0f);
                run.car.vx = 1.3f * run.car.dirX;  // top speed
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

class CrashTest : public PlayerCarTest {
protected:
    void SetUp() override {
        PlayerCarTest::SetUp();
        test::putWall(*map, 1044, 1000, 1050, 1070);
        cab.placeAt(1043.2f, 1034);
    }
};

TEST_F(CrashTest, BounceThrowsTheCarBackByTwoFramesAndHurtsTheBody) {
    moving(1.0f);
    cab.car.turnRate = 0.5f;
    cab.shift.turboBoost = 0.3f;
    cab.shift.passengerAboard = 3;
    cab.shift.passengers[3].complaintLine = "yikes!";
    cab.shift.frameCounter = 5;  // slot 6 is tested, so nobody gets out
    cab.frame(*map);
    // Boost left over this frame (0.3 drained to 0.25) still pushed before the hit.
    const double bounced = (1.0 + 0.00025) * 0.997;
    EXPECT_NEAR(cab.car.vx, -bounced, 1e-6);
    EXPECT_NEAR(cab.car.x, 1043.2 - 2 * bounced, 1e-4);
    EXPECT_NEAR(cab.shift.damage[DamageBodywork], 0.1, 1e-6);
    EXPECT_EQ(cab.car.turnRate, 0.0f);
    EXPECT_EQ(cab.shift.turboBoost, 0.0f);
    EXPECT_EQ(cab.shift.speechText, "yikes!");
    EXPECT_EQ(cab.shift.speechTimer, 300.0);

    cab.placeAt(1043.2f, 1034);  // a bump at 0.2 or less bounces without damage
    moving(0.199f);
    cab.frame(*map);
    EXPECT_LT(cab.car.x, 1043.2f);
    EXPECT_NEAR(cab.shift.damage[DamageBodywork], 0.1, 1e-6);

    cab.placeAt(1043.2f, 1034);  // damage never exceeds 1
    cab.shift.damage[DamageBodywork] = 0.95f;
    moving(1.0f);
    cab.frame(*map);
    EXPECT_EQ(cab.shift.damage[DamageBodywork], 1.0f);
}

TEST_F(PlayerCarTest, CarSoundsFollowSpeedSteeringAndBoost) {
    cab.shift.engineRunning = FlagOn;
    moving(0.5f);
    cab.car.turnRate = 1.0f;
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionRight, ActionUp});
    const CarSound& sound = cab.sound;
    EXPECT_DOUBLE_EQ(sound.engineFrequency, 260.0);
    EXPECT_TRUE(sound.engineOn);
    EXPECT_TRUE(sound.skidOn);
    EXPECT_FLOAT_EQ(sound.skidGain, 0.04f);
    EXPECT_TRUE(sound.turboOn);
    // The boost built to 0.3 + 0.5 * 0.025 of the stage's 0.55: a tenth of that share.
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.3125f);
    EXPECT_NEAR(sound.turboGain, 0.1 * 0.3125 / 0.55, 1e-6);

    // The skid fades in up to 0.3, out once the turn eases, then switches off.
    for (int i = 0; i < 20; ++i) {
        moving(0.5f);
        cab.frame(*map, {ActionRight});
    }
    EXPECT_FLOAT_EQ(sound.skidGain, 0.3f);
    int frames = 0;
    for (; sound.skidOn && frames < 100; ++frames) {
        moving(0.5f);
        cab.car.turnRate = 0;
        cab.frame(*map);
    }
    EXPECT_GE(frames, 16);  // 15 steps of 0.02 to (about) 0, one more to switch off
    EXPECT_LE(frames, 17);

    // Without a turbo stage the whistle is silent, not a division by zero.
    cab.shift.turboLevel = 0;
    cab.shift.engineRunning = FlagOff;
    cab.frame(*map, {ActionUp});
    EXPECT_EQ(sound.turboGain, 0.0f);
    EXPECT_FALSE(sound.turboOn);
    EXPECT_FALSE(sound.engineOn);
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
