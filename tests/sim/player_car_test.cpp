#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "sim/windshield.h"
#include "sim_support.h"

namespace hc {
namespace {

using test::Cab;
using testing::DoubleNear, testing::FieldsAre;

class PlayerCarTest : public ::testing::Test {
protected:
    test::MapPtr map = (seedRandom(11), test::openGround(900, 900, 1200, 1200));
    Cab cab;
    void moving(float vx, float vy = 0) { cab.placeAt(cab.car.x, cab.car.y), cab.car.vx = vx, cab.car.vy = vy; }
};

// The heading after one frame: the turn rate and the bent body's pull, scaled down below
// speed 0.2 and to nothing at rest, then mirrored in reverse.
TEST_F(PlayerCarTest, SteeringDependsOnSpeedGearAndBodywork) {
    const struct { float vx, turnRate, damage; bool reverse; std::initializer_list<int> keys; double heading; } cases[] = {
        {0.0f, 1.2f, 0, false, {ActionRight}, 0.0},            // at rest no turn at all
        {0.1f, 0, 0, false, {ActionRight}, 0.16},              // 0.032 scaled by 0.1 / 0.2
        {0.5f, 0, 0, false, {ActionLeft, ActionRight}, 0.32},  // right wins over left
        {0.5f, 0, 0, false, {ActionLeft}, 3600 - 0.32},
        {-0.5f, 0, 0, true, {ActionRight}, 3600 - 0.32},       // reverse mirrors
        {1.0f, 0, 0.5f, false, {}, 1.5},                       // a bent body pulls 0.3 x damage
        {1.0f, 0, 0.2f, false, {}, 0.0},                       // ... only above 0.2
        {0.0f, 0, 0.5f, false, {}, 0.0},                       // the pull stops at rest,
        {0.1f, 0, 0.5f, false, {}, 0.75},                      // is scaled down when slow,
        {-0.5f, 0, 0.5f, true, {}, 3600 - 1.5},                // and mirrored in reverse
    };
    for (const auto& c : cases) {
        Cab run;
        run.car.turnRate = c.turnRate, run.car.vx = c.vx;
        run.shift.damage[DamageBodywork] = c.damage, run.shift.reverseGear = toFlag(c.reverse);
        run.frame(*map, c.keys);
        EXPECT_NEAR(run.car.heading, c.heading, 1e-3) << c.vx << " " << c.turnRate << " " << c.damage;
    }
}

// Grip pulls the velocity towards the heading of this frame, after its rotation: by dt x
// grip (0.035 + 0.01 per tyre stage), half as much while braking; drag 0.997 follows.
TEST_F(PlayerCarTest, GripPullsTowardsTheTurnedHeading) {
    moving(1.0f);  // turning at 1.2 degrees a tick: 0.035 x sin 1.2 degrees goes across
    cab.car.turnRate = 1.2f;
    cab.frame(*map, {ActionRight});
    EXPECT_NEAR(cab.car.heading, 12.0, 1e-4);
    EXPECT_THAT((std::tuple<double, double>(cab.car.vy, cab.car.vx)), FieldsAre(DoubleNear(0.035 * 0.0209424 * 0.997, 1e-7), DoubleNear((0.035 * 0.9997807 + 0.965) * 0.997, 1e-6)));
    const struct { int tyres; std::initializer_list<int> keys; double ratio; } cases[] = {  // vx / vy, sliding at 0.5
        {0, {}, 0.0175 / 0.4825}, {2, {}, 0.0275 / 0.4725}, {0, {ActionDown}, 0.00875 / 0.49125}};
    for (const auto& c : cases) {
        moving(0, 0.5f);
        cab.shift.tyreLevel = static_cast<int8_t>(c.tyres);
        cab.frame(*map, c.keys);
        EXPECT_NEAR(cab.car.vx / cab.car.vy, c.ratio, 1e-6) << c.tyres;
    }
    EXPECT_NEAR(cab.car.vy, (0.49125 - 0.004) * 0.997, 1e-4);  // and the brake took 0.004
}

TEST_F(PlayerCarTest, ThrottleBoostGearsAndBrakes) {
    cab.shift.turboBoost = 0.5f;  // engine off: no thrust, but boost left pushes as it drains
    cab.frame(*map, {ActionUp});
    EXPECT_EQ(std::tuple(bool(std::fabs(cab.shift.turboBoost - 0.45) < 1e-6), bool(std::fabs(cab.car.vx - 0.00045 * 0.997) < 1e-9)), std::tuple(true, true));
    cab.shift.engineRunning = FlagOn;
    // The turbo whistles at 0.1 with the boost full, and not at all without a turbo.
    const struct { float speed, boost, boostAfter; int8_t stage; double vx, whistle; } cases[] = {
        {1.2f, 0.3f, 0.33f, 1, (1.2 + 0.003 + 0.00033) * 0.997, 0.06},   // boost builds by 0.025 x speed
        {1.4f, 0.3f, 0.25f, 1, (1.4 + 0.00025) * 0.997, 0.1 * 0.25 / 0.55},  // above 1.3 the throttle is cut
        {1.2f, 0.54f, 0.55f, 1, (1.2 + 0.003 + 0.00055) * 0.997, 0.1},  // capped at 0.55 a turbo stage
        {1.2f, 1.09f, 1.1f, 2, (1.2 + 0.003 + 0.0011) * 0.997, 0.1}, {1.2f, 0.3f, 0.0f, 0, (1.2 + 0.003) * 0.997, 0.0},
    };
    for (const auto& c : cases) {
        moving(c.speed);
        cab.shift.turboBoost = c.boost, cab.shift.turboLevel = c.stage;
        cab.frame(*map, {ActionUp});
        EXPECT_THAT((std::tuple<double, double, double>(cab.shift.turboBoost, cab.car.vx, cab.sound.turboGain)),
                    FieldsAre(DoubleNear(c.boostAfter, 1e-6), DoubleNear(c.vx, 1e-6), DoubleNear(c.whistle, 1e-6))) << c.boost;
    }
    cab.shift.turboBoost = 0;  // gears change only below 0.1; a refused change uses the switch
    for (float speed : {0.5f, 0.1f, 0.0999f}) {
        moving(speed);
        test::release(cab.keys, {ActionReverse, ActionWipers});
        cab.drive(*map);
        EXPECT_EQ(std::tuple(isOn(cab.shift.reverseGear), isOn(cab.shift.wipersOn)), std::tuple((speed < 0.1f), false)) << speed;
    }
    moving(0);
    cab.frame(*map, {ActionUp});  // reverse pulls twice as hard, backwards
    EXPECT_NEAR(cab.car.vx, -0.006 * 0.997, 1e-9);
    moving(1.0f);  // stage 2 brakes bite 0.008 and cool faster, worn ones bite half as hard; the throttle does nothing meanwhile
    cab.shift.damage[DamageBrakes] = 0.5f, cab.shift.brakeLevel = 2;
    cab.frame(*map, {ActionUp, ActionDown});
    EXPECT_THAT((std::tuple<double, double>(cab.car.vx, cab.shift.brakeHeat)), FieldsAre(DoubleNear((1.0 - 0.004) * 0.997, 1e-6), DoubleNear(0.004 * (0.999 - 0.0004), 1e-7)));
    cab.shift.damage[DamageBrakes] = 0, cab.shift.brakeLevel = 0;  // a bite longer than what is left stops the car
    for (double dt : {1.0, 3.0}) {
        moving(0, 0.003f);
        cab.frame(*map, {ActionDown}, dt);
        EXPECT_EQ(std::tuple(bool(cab.car.vy >= 0.0f), bool(std::fabs(cab.car.vx) + cab.car.vy < 1e-4f)), std::tuple(true, true)) << dt;
    }
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
    // The ignition refuses an engine at heat 4 or more, silently.
    for (float heat : {4.0f, 3.9f}) {
        cab.shift.engineHeat = heat, test::release(cab.keys, {ActionIgnition}), cab.drive(*map);
        EXPECT_EQ(std::tuple(isOn(cab.shift.engineRunning), cab.shift.speechTimer), std::tuple((heat < 4.0f), 0.0)) << heat;
    }
}

// The same drive at 60, 12 and 2 frames a second (throttle along +x, a swerve, braking) ends at the same place with
// the same heat: long frames are driven in steps of at most a tick. At top speed into walls two cells thick (one at
// the grid's edge) the box is tested before each step: the centre may end one frame inside the wall's first cell but
// bounces straight out, never crossing the wall or leaving the grid.
TEST_F(PlayerCarTest, AnyFrameRateDrivesTheSameWayAndNeverThroughAWall) {
    const struct { double until; std::initializer_list<int> keys; } script[] = {
        {2.5, {ActionUp}}, {3.0, {ActionUp, ActionRight}}, {5.0, {ActionUp}}, {7.0, {ActionDown}}, {8.0, {}}};
    test::MapPtr walled = test::openGround(0, 1000, 300, 1100);
    test::putWall(*walled, 0, 1000, 1, 1100), test::putWall(*walled, 200, 1000, 201, 1100);
    std::vector<std::vector<float>> ends;
    for (const double fps : {60.0, 12.0, 2.0}) {
        Cab run;
        run.shift.engineRunning = FlagOn;
        for (int f = 0; f < 8 * fps; ++f) {
            size_t k = 0;
            while (script[k].until <= f / fps) ++k;
            run.frame(*map, script[k].keys, 50.0 / fps);
            ASSERT_FALSE(isBlocked(*map, run.car.x, run.car.y)) << fps << " frame " << f;
        }
        ends.push_back({run.car.x, run.car.y, run.shift.engineHeat, run.shift.brakeHeat});
        for (int start = 0; start < 20; ++start) {  // ten offsets each way
            const bool east = start < 10;
            Cab wall;
            wall.placeAt((east ? 150.0f : 50.0f) + 0.1f * (start % 10), 1050.0f), rotateBody(wall.car, east ? 0 : 180);
            wall.shift.engineRunning = FlagOn, wall.car.vx = 1.3f * wall.car.dirX;
            bool wasInWall = false;
            for (int f = 0; f < 4 * fps; ++f) {
                wall.frame(*walled, {ActionUp}, 50.0 / fps);
                const bool inWall = isBlocked(*walled, wall.car.x, wall.car.y);
                ASSERT_EQ(std::tuple(bool((east ? wall.car.x < 201.0f : wall.car.x >= 1.0f)), bool((inWall && wasInWall))),
                          std::tuple(true, false)) << fps << " " << start;
                wasInWall = inWall;
            }
            ASSERT_GT(wall.shift.damage[DamageBodywork], 0.0f);
        }
    }
    for (const auto& end : ends)
        EXPECT_EQ(std::tuple(bool(std::fabs(end[0] - ends[0][0]) < 1), bool(std::fabs(end[1] - ends[0][1]) < 1), bool(std::fabs(end[2] / ends[0][2] - 1) < 0.02), bool(std::fabs(end[3] / ends[0][3] - 1) < 0.02)),
                  std::tuple(true, true, true, true));
}

TEST_F(PlayerCarTest, BounceThrowsTheCarBackByTwoFramesAndHurtsTheBody) {
    test::putWall(*map, 1044, 1000, 1050, 1070);
    // Damage: 0.1 x speed above speed 0.2, at most 1.
    const struct { float speed, damageBefore, damageAfter; } cases[] = {{1.0f, 0, 0.1f}, {0.199f, 0, 0}, {1.0f, 0.95f, 1.0f}};
    for (const auto& c : cases) {
        Cab run;
        run.placeAt(1043.2f, 1034), run.car.vx = c.speed, run.car.turnRate = 0.5f;
        run.shift.turboBoost = 0.3f, run.shift.damage[DamageBodywork] = c.damageBefore;
        // Slot 6 is tested, so nobody gets out.
        run.shift.passengerAboard = 3, run.shift.passengers[3].complaintLine = "yikes!", run.shift.frameCounter = 5;
        run.frame(*map);
        // Boost left over this frame (0.3 drained to 0.25) still pushed before the hit.
        const double bounced = (c.speed + 0.00025) * 0.997;
        EXPECT_EQ(std::tuple(bool(std::fabs(run.car.vx + bounced) < 1e-5), bool(std::fabs(run.car.x - (1043.2 - 2 * bounced)) < 1e-4), bool(std::fabs(run.shift.damage[DamageBodywork] - c.damageAfter) < 1e-6)),
                  std::tuple(true, true, true)) << c.speed;
        EXPECT_EQ(std::tuple(run.car.turnRate, run.shift.turboBoost, run.shift.speechText, run.shift.speechTimer), std::tuple(0.0f, 0.0f, "yikes!", 300.0));
    }
}

// A glancing hit can leave the box a fraction of a cell inside a wall along which the
// cab drives; the bounce alone would undo itself at every step. Whatever the keys, the cab
// comes out: along the wall, back, or away from it, and pressing into it only bounces.
TEST_F(PlayerCarTest, ACabScrapingAWallIsNeverHeldThere) {
    test::putWall(*map, 1010, 950, 1020, 1050);
    // travelled: cells from the start after two seconds at 60 frames a second
    const struct { bool reverse; std::initializer_list<int> keys; float minTravelled, maxTravelled; } cases[] = {
        {false, {ActionUp}, 10, 99}, {true, {ActionUp}, 5, 99}, {false, {ActionUp, ActionLeft}, 10, 99},
        {false, {ActionUp, ActionRight}, 0, 3}, {false, {}, 0, 1}};
    for (const auto& c : cases) {
        Cab run;
        run.placeAt(1009.2f, 1000), rotateBody(run.car, 270);  // along the wall, its box 0.2 cells in
        run.shift.engineRunning = FlagOn, run.shift.reverseGear = toFlag(c.reverse);
        for (int f = 0; f < 120; ++f) run.frame(*map, c.keys, 50.0 / 60.0);
        const float travelled = std::hypot(run.car.x - 1009.2f, run.car.y - 1000.0f);
        EXPECT_EQ(std::tuple(bool(run.car.x + 1.0f < 1010.0f), bool(travelled >= c.minTravelled), bool(travelled <= c.maxTravelled)), std::tuple(true, true, true))
            << c.reverse << " " << c.keys.size() << ": " << run.car.x << ", " << run.car.y;
    }
}

// A cab found deep inside a wall (a collision it could not bounce out of) comes back out the side it entered, even
// where the far side is nearer, and never farther than three cells: deeper than that it stays where it is.
TEST_F(PlayerCarTest, ACabDeepInAWallComesBackOutTheSideItEntered) {
    // x after one frame; the wall is cells 1000 to lastWallCell, the box reaches a cell either side of the centre.
    const struct { int lastWallCell; float x, vx, minX, maxX; } cases[] = {
        {1001, 1001.6f, 0.1f, 996.5f, 999.0f},     // 1.6 deep from the west: out to the west
        {1001, 1000.4f, -0.1f, 1003.0f, 1005.5f},  // 1.6 deep from the east: out to the east
        {1019, 1002.4f, 0.1f, 1002.1f, 1002.3f},   // 3.2 cells from a way out: held
    };
    for (const auto& c : cases) {
        test::MapPtr walled = test::openGround(900, 900, 1200, 1200);
        test::putWall(*walled, 1000, 950, c.lastWallCell, 1050);
        Cab run;
        run.placeAt(c.x, 1000), run.car.vx = c.vx, run.frame(*walled);
        EXPECT_THAT(run.car.x, testing::AllOf(testing::Ge(c.minX), testing::Le(c.maxX))) << c.x;
        EXPECT_EQ(run.car.y, 1000.0f) << c.x;
    }
}

TEST_F(PlayerCarTest, HeatSettlesWithSpeedAndOverheatingKillsTheEngine) {
    cab.shift.engineRunning = FlagOn, cab.car.vx = 1.0f;
    for (int i = 0; i < 6000; ++i) updateCabSystems(cab.shift, cab.car, 1.0);
    ASSERT_EQ(std::tuple(bool(std::fabs(cab.shift.engineHeat - 4.99) < 0.01), isOn(cab.shift.engineRunning)), std::tuple(true, true));  // 5 v at speed v
    cab.car.vx = 1.1f;
    for (int i = 0; i < 2000 && isOn(cab.shift.engineRunning); ++i) updateCabSystems(cab.shift, cab.car, 1.0);
    EXPECT_EQ(std::tuple(isOn(cab.shift.engineRunning), bool(std::fabs(cab.shift.damage[DamageEngine] - 0.0002) < 1e-7)), std::tuple(false, true));
    cab.car.vx = 0, cab.shift.brakeHeat = 1.2f;                 // hot brakes wear
    cab.shift.engineHeat = 3.0f, cab.shift.radiatorLevel = 2;  // a better radiator cools faster
    updateCabSystems(cab.shift, cab.car, 2.0);
    EXPECT_THAT((std::tuple<double, double>(cab.shift.engineHeat, cab.shift.damage[DamageBrakes])), FieldsAre(DoubleNear(3.0 * 0.997 * 0.997, 1e-5), DoubleNear(0.0004, 1e-8)));
}

// 640 by 480 with a 120-row dashboard: the glass ends at row 360, the pivot at (320, 360).
class WindshieldTest : public ::testing::Test {
protected:
    Cab cab;
    Shift& shift = (seedRandom(2), cab.shift);
    PlayerCar& car = cab.car;
    void SetUp() override { shift.nextRaindrop = 200; }  // new drops keep away from the slots under test
    // A drop in slot k at (x, y), running straight away from the pivot.
    Raindrop& dropAt(int k, double x, double y) {
        Raindrop& drop = shift.raindrops[k];
        drop.body = Body{static_cast<float>(x), static_cast<float>(y)};
        drop.body.travelRate = 1.5f, drop.active = FlagOn;
        rotateBody(drop.body, std::atan2(y - 360.0, x - 320.0) / GamePi * 180.0);
        return drop;
    }
    void update(int64_t frame, double dt = 1.0) { shift.frameCounter = frame, updateWindshield(shift, car, dt, 640, 480); }
};

// Odd slots move on even frames: 0.2 down a tick, and outwards by the car's speed times
// their rate; they leave at the glass's edges.
TEST_F(WindshieldTest, DropsSlideDownEverySecondFrameRunOutWithSpeedAndLeaveTheGlass) {
    Raindrop &odd = dropAt(1, 320, 100), &even = dropAt(2, 320, 100), &low = dropAt(3, 100, 359.9), &rim = dropAt(5, 540, 359.8);
    update(0);  // the rim drop lands exactly on the glass's foot, 360 (in single precision), and stays
    EXPECT_EQ(std::tuple(odd.body.y, odd.body.x, even.body.y, isOn(low.active), rim.body.y, isOn(rim.active)), std::tuple(100.2f, 320.0f, 100.0f, false, 360.0f, true));
    update(1, 2.0);
    EXPECT_EQ(std::tuple(even.body.y, odd.body.y, isOn(odd.active)), std::tuple(100.4f, 100.2f, true));
    car.vx = 2.0f;
    Raindrop &drop = dropAt(5, 420, 260), &edge = dropAt(7, 638, 200);  // 45 degrees up to the right
    update(0);
    EXPECT_EQ(std::tuple(bool(std::fabs(drop.body.x - 422.12) < 0.01), bool(std::fabs(drop.body.y - 258.08) < 0.01), isOn(edge.active)), std::tuple(true, true, false));
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
        shift.wiperAngle = c.from, shift.wiperDirection = c.direction, update(0);
        EXPECT_EQ(std::tuple(bool(std::fabs(shift.wiperAngle - c.to) < 1e-12), shift.wiperDirection), std::tuple(true, c.turned)) << c.from;
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
    shift.raining = FlagOn, shift.nextRaindrop = 255, seedRandom(6);
    const double toggle = nextRandom(), spawn = nextRandom(), rx = nextRandom(), ry = nextRandom(), rt = nextRandom();
    ASSERT_EQ(std::tuple(bool(toggle >= 0.0008), bool(spawn < 1.0)), std::tuple(true, true));
    seedRandom(6);
    update(1, 4.0);  // even slots move; slot 255 is new and odd
    const Raindrop& drop = shift.raindrops[255];
    EXPECT_EQ(std::tuple(isOn(drop.active), drop.body.x, drop.body.y), std::tuple(true, std::floor(rx * 640), std::floor(ry * 360)));
    EXPECT_EQ(std::tuple(drop.body.travelRate, shift.nextRaindrop), std::tuple(static_cast<float>(rt + 1.0), 256));
    EXPECT_NEAR(drop.body.heading, 3600 + std::atan2(drop.body.y - 360.0, drop.body.x - 320.0) / GamePi * 1800, 1e-2);
    update(3, 4.0);  // the last slot, then the first again
    EXPECT_EQ(std::tuple(isOn(shift.raindrops[256].active), shift.nextRaindrop), std::tuple(true, 1));
    shift.nextRaindrop = 0, shift.raindrops[1].active = FlagOff, update(5, 4.0);  // a slot number off the list: slot 1
    EXPECT_EQ(std::tuple(isOn(shift.raindrops[1].active), shift.nextRaindrop), std::tuple(true, 2));
    int toggles = 0;  // about once every 100 s: 20 times in 2000 one-second frames
    for (int i = 0; i < 2000; ++i) {
        const uint8_t before = shift.raining;
        update(i, 50.0), toggles += before != shift.raining;
    }
    EXPECT_NEAR(toggles, 20, 12);
}

}  // namespace
}  // namespace hc
