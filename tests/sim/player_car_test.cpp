#include <gtest/gtest.h>

#include <cmath>

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
    // Sets the car moving along its heading at the given speed.
    void moving(float speed, float heading = 0) {
        cab.car.heading = 0;
        rotateBody(cab.car, heading / 10.0f);
        cab.car.vx = speed * cab.car.dirX;
        cab.car.vy = speed * cab.car.dirY;
    }
    MapPtr map;
    Cab cab;
};

TEST_F(PlayerCarTest, SteeringDependsOnSpeed) {
    // Standing still: no turn however the turn rate stands.
    cab.car.turnRate = 1.2f;
    cab.frame(*map, {ActionRight});
    EXPECT_EQ(cab.car.heading, 0.0f);
    EXPECT_FLOAT_EQ(cab.car.turnRate, 1.2f);

    // Below 0.2 the turn is scaled down linearly with the speed.
    cab.car.turnRate = 0;
    moving(0.1f);
    cab.frame(*map, {ActionRight});
    EXPECT_NEAR(cab.car.heading, 0.16, 1e-4);  // 0.032 * 0.1 / 0.2 degrees

    cab.car.turnRate = 0;
    moving(0.5f);
    cab.frame(*map, {ActionLeft, ActionRight});  // right wins over left
    EXPECT_NEAR(cab.car.heading, 0.32, 1e-4);
    EXPECT_FLOAT_EQ(cab.car.turnRate, 0.032f);

    cab.car.turnRate = 0;
    moving(0.5f);
    cab.frame(*map, {ActionLeft});
    EXPECT_NEAR(cab.car.heading, 3600 - 0.32, 1e-3);

    // The turn rate builds up to 1.2 and no further.
    for (int i = 0; i < 60; ++i) cab.frame(*map, {ActionRight});
    EXPECT_FLOAT_EQ(cab.car.turnRate, 1.2f);
}

TEST_F(PlayerCarTest, TurnRateDecayIsTheSameAtAnyFrameRate) {
    cab.car.turnRate = 1.0f;
    cab.drive(*map, 1.0);
    const float oneTick = cab.car.turnRate;
    cab.car.turnRate = 1.0f;
    cab.drive(*map, 0.5);
    cab.drive(*map, 0.5);
    EXPECT_FLOAT_EQ(oneTick, 0.9f);
    EXPECT_NEAR(cab.car.turnRate, oneTick, 1e-6);
}

TEST_F(PlayerCarTest, ThrottleNeedsTheEngine) {
    cab.frame(*map, {ActionUp});
    EXPECT_EQ(cab.car.vx, 0.0f);

    // Left-over boost still pushes while it drains at 0.05 per tick.
    cab.shift.turboBoost = 0.5f;
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.45f);
    EXPECT_NEAR(cab.car.vx, 0.00045 * 0.997, 1e-9);

    cab.car = PlayerCar{};
    cab.placeAt(1040, 1034);
    cab.shift.turboBoost = 0;
    cab.shift.engineRunning = FlagOn;
    cab.frame(*map, {ActionUp});
    EXPECT_NEAR(cab.car.vx, 0.003 * 0.997, 1e-9);
}

TEST_F(PlayerCarTest, ThrottleIsCutAboveTopSpeedButBoostStillPushes) {
    cab.shift.engineRunning = FlagOn;
    moving(1.4f);
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.25f);
    EXPECT_NEAR(cab.car.vx, (1.4 + 0.00025) * 0.997, 1e-6);

    // Just below the cut the throttle works and the boost builds with speed.
    moving(1.2f);
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionUp});
    EXPECT_NEAR(cab.shift.turboBoost, 0.33, 1e-6);
    EXPECT_NEAR(cab.car.vx, (1.2 + 0.003 + 0.00033) * 0.997, 1e-6);

    // The boost is capped at 0.55 per turbo stage.
    moving(1.2f);
    cab.shift.turboBoost = 0.54f;
    cab.frame(*map, {ActionUp});
    EXPECT_FLOAT_EQ(cab.shift.turboBoost, 0.55f);
}

TEST_F(PlayerCarTest, ReverseDoublesThrustAndMirrorsSteering) {
    cab.shift.engineRunning = FlagOn;
    test::release(cab.keys, {ActionReverse});
    cab.drive(*map);
    ASSERT_TRUE(isOn(cab.shift.reverseGear));

    cab.frame(*map, {ActionUp});
    EXPECT_NEAR(cab.car.vx, -0.006 * 0.997, 1e-9);
    EXPECT_EQ(cab.car.vy, 0.0f);

    moving(-0.5f);
    cab.car.turnRate = 0;
    cab.frame(*map, {ActionRight});
    EXPECT_NEAR(cab.car.heading, 3600 - 0.32, 1e-3);
}

TEST_F(PlayerCarTest, GearChangesOnlyBelowSpeedPointOne) {
    moving(0.1f);
    test::release(cab.keys, {ActionReverse});
    cab.drive(*map);
    EXPECT_FALSE(isOn(cab.shift.reverseGear));

    moving(0.0999f);
    test::release(cab.keys, {ActionReverse});
    cab.drive(*map);
    EXPECT_TRUE(isOn(cab.shift.reverseGear));

    // A refused gear change still uses up the frame's one switch.
    moving(0.5f);
    test::release(cab.keys, {ActionReverse, ActionWipers});
    cab.drive(*map);
    EXPECT_TRUE(isOn(cab.shift.reverseGear));
    EXPECT_FALSE(isOn(cab.shift.wipersOn));
}

TEST_F(PlayerCarTest, OnlyTheFirstSwitchOfAFrameActs) {
    struct Pair {
        int first, second;
    };
    const Pair pairs[] = {{ActionIgnition, ActionReverse},  {ActionReverse, ActionWipers},
                          {ActionWipers, ActionMinimapZoom}, {ActionMinimapZoom, ActionMapView},
                          {ActionMapView, ActionBack},       {ActionBack, ActionMusic},
                          {ActionMusic, ActionStats},        {ActionStats, ActionLowDetail},
                          {ActionIgnition, ActionLowDetail}};
    for (const Pair& p : pairs) {
        Cab fresh;
        fresh.shift.speechTimer = 100;
        test::release(fresh.keys, {p.second, p.first});
        fresh.drive(*map);
        const Shift& s = fresh.shift;
        auto fired = [&](int action) {
            switch (action) {
                case ActionIgnition: return isOn(s.engineRunning);
                case ActionReverse: return isOn(s.reverseGear);
                case ActionWipers: return isOn(s.wipersOn);
                case ActionMinimapZoom: return isOn(s.minimapZoom);
                case ActionMapView: return isOn(s.mapView);
                case ActionBack: return s.minutesLeft == 0 && s.speechTimer == 0.0;
                case ActionMusic: return fresh.audio.channels[MusicChannel].enabled == -1;
                case ActionStats: return isOn(s.showStats);
                default: return isOn(s.lowDetail);
            }
        };
        EXPECT_TRUE(fired(p.first)) << p.first;
        EXPECT_FALSE(fired(p.second)) << p.second;
    }
}

TEST_F(PlayerCarTest, SwitchesToggleOnRelease) {
    test::tap(cab.keys, ActionMusic);
    cab.drive(*map);
    EXPECT_EQ(cab.audio.channels[MusicChannel].enabled, -1);
    test::release(cab.keys, {ActionMusic});
    cab.drive(*map);
    EXPECT_EQ(cab.audio.channels[MusicChannel].enabled, 0);

    // Held, a switch does nothing; it acts when the key goes up.
    cab.frame(*map, {ActionWipers});
    cab.frame(*map, {ActionWipers});
    EXPECT_FALSE(isOn(cab.shift.wipersOn));
    cab.frame(*map, {});
    EXPECT_TRUE(isOn(cab.shift.wipersOn));
}

TEST_F(PlayerCarTest, IgnitionRefusedWhileTheEngineIsHot) {
    cab.shift.engineHeat = 4.0f;
    cab.shift.speechTimer = 0;
    test::release(cab.keys, {ActionIgnition});
    cab.drive(*map);
    EXPECT_FALSE(isOn(cab.shift.engineRunning));
    EXPECT_EQ(cab.shift.speechTimer, 0.0);

    cab.shift.engineHeat = 3.9f;
    test::release(cab.keys, {ActionIgnition});
    cab.drive(*map);
    EXPECT_TRUE(isOn(cab.shift.engineRunning));
    // The same key stops it whatever the heat.
    cab.shift.engineHeat = 4.5f;
    test::release(cab.keys, {ActionIgnition});
    cab.drive(*map);
    EXPECT_FALSE(isOn(cab.shift.engineRunning));
}

TEST_F(PlayerCarTest, ExitKeyEndsTheShiftAtTheNextClockStep) {
    cab.shift.minutesLeft = 3;
    cab.shift.secondsLeft = 20;
    say(cab.shift, "hello");
    test::release(cab.keys, {ActionBack});
    cab.drive(*map);
    EXPECT_EQ(cab.shift.minutesLeft, 0);
    EXPECT_EQ(cab.shift.secondsLeft, 0.0);
    EXPECT_EQ(cab.shift.speechTimer, 0.0);
    EXPECT_FALSE(shiftOver(cab.shift));
    advanceClock(cab.shift, 1.0);
    EXPECT_TRUE(shiftOver(cab.shift));
}

TEST_F(PlayerCarTest, BrakesSlowTheCarButNeverReverseIt) {
    moving(1.0f);
    cab.frame(*map, {ActionDown});
    EXPECT_NEAR(cab.car.vx, (1.0 - 0.004) * 0.997, 1e-6);
    EXPECT_NEAR(cab.shift.brakeHeat, 0.004 * 0.999, 1e-7);

    // Worn brakes grip less; upgraded brakes more.
    cab.shift.damage[DamageBrakes] = 0.5f;
    moving(1.0f);
    cab.frame(*map, {ActionDown});
    EXPECT_NEAR(cab.car.vx, (1.0 - 0.002) * 0.997, 1e-6);
    cab.shift.damage[DamageBrakes] = 0;
    cab.shift.brakeLevel = 2;
    moving(1.0f);
    cab.frame(*map, {ActionDown});
    EXPECT_NEAR(cab.car.vx, (1.0 - 0.008) * 0.997, 1e-6);

    // Slower than one tick of braking: the car stops dead.
    moving(0.003f);
    cab.frame(*map, {ActionDown});
    EXPECT_NEAR(cab.car.vx, 0.0, 1e-9);

    // Sliding sideways, grip shortens the velocity below the brake's bite; a long frame
    // asks for more than is left. Neither pushes the car backwards.
    for (double dt : {1.0, 3.0}) {
        moving(0.0f);
        cab.car.vy = 0.003f;
        cab.car.vx = 0.0f;
        cab.frame(*map, {ActionDown}, dt);
        EXPECT_GE(cab.car.vy, 0.0f) << dt;
        EXPECT_LT(std::fabs(cab.car.vx) + std::fabs(cab.car.vy), 1e-4f) << dt;
    }

    // The throttle does nothing while braking.
    cab.shift.engineRunning = FlagOn;
    moving(0.5f);
    cab.frame(*map, {ActionUp, ActionDown});
    EXPECT_LT(cab.car.vx, 0.5f);
}

TEST_F(PlayerCarTest, BentBodyPullsTheSteering) {
    cab.shift.damage[DamageBodywork] = 0.5f;
    moving(1.0f);
    cab.frame(*map);
    EXPECT_NEAR(cab.car.heading, 1.5, 1e-4);

    cab.shift.damage[DamageBodywork] = 0.2f;
    moving(1.0f);
    cab.frame(*map);
    EXPECT_EQ(cab.car.heading, 0.0f);
}

TEST_F(PlayerCarTest, GripTurnsTheVelocityTowardsTheHeading) {
    moving(1.0f, 900);   // heading +y, moving +y
    cab.car.heading = 0;  // now facing +x while still sliding along +y
    rotateBody(cab.car, 0);
    cab.frame(*map);
    // The tables' accumulated rounding leaves a few millionths in cos(90 degrees).
    EXPECT_NEAR(cab.car.vx, 0.035 * 0.997, 2e-5);
    EXPECT_NEAR(cab.car.vy, 0.965 * 0.997, 2e-5);
}

class CrashTest : public PlayerCarTest {
protected:
    void SetUp() override {
        PlayerCarTest::SetUp();
        test::putWall(*map, 1044, 1000, 1050, 1070);
        cab.placeAt(1043.2f, 1034);
    }
};

TEST_F(CrashTest, BounceThrowsTheCarBackByTwoFrames) {
    moving(1.0f);
    cab.car.turnRate = 0.5f;
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map);
    EXPECT_NEAR(cab.shift.damage[DamageBodywork], 0.1, 1e-6);
    // Boost left over this frame (0.3 drained to 0.25) still pushed before the hit.
    const double bounced = (1.0 + 0.00025) * 0.997;
    EXPECT_NEAR(cab.car.vx, -bounced, 1e-6);
    EXPECT_NEAR(cab.car.x, 1043.2 - 2 * bounced, 1e-4);
    EXPECT_EQ(cab.car.turnRate, 0.0f);
    EXPECT_EQ(cab.shift.turboBoost, 0.0f);
    // Clear of the wall, the next frame rolls on backwards.
    cab.frame(*map);
    EXPECT_LT(cab.car.x, 1041.2f);
    EXPECT_NEAR(cab.shift.damage[DamageBodywork], 0.1, 1e-6);
}

TEST_F(CrashTest, SlowBumpsDoNoDamageAndDamageIsCapped) {
    moving(0.199f);
    cab.frame(*map);
    EXPECT_EQ(cab.shift.damage[DamageBodywork], 0.0f);
    EXPECT_LT(cab.car.x, 1043.2f);

    cab.placeAt(1043.2f, 1034);
    cab.shift.damage[DamageBodywork] = 0.95f;
    moving(1.0f);
    cab.frame(*map);
    EXPECT_EQ(cab.shift.damage[DamageBodywork], 1.0f);
}

TEST_F(CrashTest, PassengerAboardComplains) {
    cab.shift.passengerAboard = 3;
    cab.shift.passengers[3].complaintLine = "yikes!";
    cab.shift.frameCounter = 5;  // slot 6 is tested, so nobody gets out
    moving(0.05f);
    cab.frame(*map);
    EXPECT_EQ(cab.shift.speechText, "yikes!");
    EXPECT_EQ(cab.shift.speechTimer, 300.0);

    // Without a crash nothing is said.
    cab.placeAt(1000, 1034);
    say(cab.shift, "");
    cab.shift.speechTimer = 0;
    moving(0.05f);
    cab.frame(*map);
    EXPECT_EQ(cab.shift.speechTimer, 0.0);
}

TEST_F(CrashTest, ThePointOutsideTheGridBlocks) {
    MapPtr open = test::openGround(0, 0, MapSize - 1, 5);
    cab.placeAt(1000, 0.5f);
    moving(0.5f, 2700);
    cab.frame(*open);
    EXPECT_GT(cab.car.y, 0.5f);
}

TEST_F(PlayerCarTest, CarSoundsFollowSpeedSteeringAndBoost) {
    cab.shift.engineRunning = FlagOn;
    moving(0.5f);
    cab.car.turnRate = 1.0f;
    cab.shift.turboBoost = 0.3f;
    cab.frame(*map, {ActionRight, ActionUp});
    const AudioChannel& engine = cab.audio.channels[EngineChannel];
    EXPECT_DOUBLE_EQ(engine.oscillators[1].frequency, 260.0);
    EXPECT_DOUBLE_EQ(engine.oscillators[2].frequency, 325.0);
    EXPECT_NEAR(engine.oscillators[3].frequency, 32.24, 1e-9);
    EXPECT_EQ(engine.enabled, -1);

    const AudioChannel& skid = cab.audio.channels[SkidChannel];
    EXPECT_EQ(skid.enabled, -1);
    EXPECT_FLOAT_EQ(skid.gain, 0.04f);

    const AudioChannel& turbo = cab.audio.channels[TurboChannel];
    EXPECT_DOUBLE_EQ(turbo.oscillators[1].frequency, 520.0);
    EXPECT_EQ(turbo.enabled, -1);
    EXPECT_NEAR(turbo.gain, 0.1 * cab.shift.turboBoost / 0.55, 1e-6);

    // The skid fades in up to 0.3, then out once the turn eases, then switches off.
    for (int i = 0; i < 20; ++i) {
        moving(0.5f);
        cab.frame(*map, {ActionRight});
    }
    EXPECT_FLOAT_EQ(skid.gain, 0.3f);
    int framesToSilence = 0;
    while (skid.enabled != 0 && framesToSilence < 100) {
        moving(0.5f);
        cab.car.turnRate = 0;
        cab.frame(*map);
        ++framesToSilence;
    }
    // 15 steps of 0.02 down to (about) 0, then one more to switch off.
    EXPECT_GE(framesToSilence, 16);
    EXPECT_LE(framesToSilence, 17);
    EXPECT_EQ(skid.gain, 0.0f);

    // Without a turbo stage the whistle is silent, not a division by zero.
    cab.shift.turboLevel = 0;
    cab.shift.turboBoost = 0;
    cab.frame(*map, {ActionUp});
    EXPECT_EQ(turbo.gain, 0.0f);
    EXPECT_EQ(turbo.enabled, 0);

    // Engine off: engine and turbo channels stop.
    cab.shift.engineRunning = FlagOff;
    cab.frame(*map);
    EXPECT_EQ(engine.enabled, 0);
}

TEST_F(PlayerCarTest, HeatSettlesWithSpeedAndOverheatingKillsTheEngine) {
    cab.shift.engineRunning = FlagOn;
    for (int i = 0; i < 6000; ++i) {
        cab.car.vx = 1.0f;
        updateCabSystems(cab.shift, cab.car, 1.0);
    }
    EXPECT_NEAR(cab.shift.engineHeat, 4.99, 0.01);
    EXPECT_TRUE(isOn(cab.shift.engineRunning));
    EXPECT_EQ(cab.shift.damage[DamageEngine], 0.0f);

    for (int i = 0; i < 2000 && isOn(cab.shift.engineRunning); ++i) {
        cab.car.vx = 1.1f;
        updateCabSystems(cab.shift, cab.car, 1.0);
    }
    EXPECT_FALSE(isOn(cab.shift.engineRunning));
    EXPECT_NEAR(cab.shift.damage[DamageEngine], 0.0002, 1e-7);

    // A better radiator cools faster.
    cab.shift.engineHeat = 3.0f;
    cab.shift.radiatorLevel = 2;
    cab.car.vx = 0;
    updateCabSystems(cab.shift, cab.car, 2.0);
    EXPECT_NEAR(cab.shift.engineHeat, 3.0 * 0.997 * 0.997, 1e-5);
}

TEST_F(PlayerCarTest, HotBrakesWear) {
    cab.shift.brakeHeat = 1.2f;
    updateCabSystems(cab.shift, cab.car, 1.0);
    EXPECT_NEAR(cab.shift.brakeHeat, 1.2 * 0.999, 1e-6);
    EXPECT_NEAR(cab.shift.damage[DamageBrakes], 0.0002, 1e-8);
    cab.shift.brakeHeat = 0.9f;
    updateCabSystems(cab.shift, cab.car, 1.0);
    EXPECT_NEAR(cab.shift.damage[DamageBrakes], 0.0002, 1e-8);
    addDamage(cab.shift, DamageBrakes, 5.0f);
    EXPECT_EQ(cab.shift.damage[DamageBrakes], 1.0f);
}

}  // namespace
}  // namespace hc
