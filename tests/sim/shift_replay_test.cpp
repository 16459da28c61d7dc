// A whole shift driven through the keyboard, frame by frame in the game loop's order:
// start the engine, pick up, drive, brake, deliver, reverse, crash, steer round a corner,
// deliver again, and wait for the clock to end the shift. Then all 128 cars on a
// generated city, which must leave the grid exactly as they found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "city/city_generator.h"
#include "sim_support.h"
#include "support/digest.h"

namespace hc {
namespace {

using test::Cab;
using test::MapPtr;

constexpr int Cars = 128;

struct Game {
    MapPtr map;
    std::vector<TrafficCar> traffic = std::vector<TrafficCar>(Cars);
    Cab cab;
    int frames = 0;

    // One frame of the game loop with the listed keys held.
    void frame(const std::vector<int>& held) {
        stampAllTraffic(traffic.data(), Cars, *map);
        test::poll(cab.keys);
        for (int a : held) cab.keys.now[a] = -1;
        updatePlayerCar(cab.car, cab.shift, *map, cab.keys, cab.sound, 1.0);
        updateCabSystems(cab.shift, cab.car, 1.0);
        moveAllTraffic(traffic.data(), Cars, *map, cab.car, 1.0);
        advanceClock(cab.shift, 1.0);
        ++frames;
    }
    // A driver: steers towards the target, keeps to a speed from which the brake can stop
    // there, and stands on the brake once there; until done() or the budget runs out.
    template <typename Done>
    bool driveUntil(float tx, float ty, double maxSpeed, int budget, Done done) {
        for (int i = 0; i < budget && !done(); ++i) {
            const double dx = tx - cab.car.x, dy = ty - cab.car.y, distance = std::hypot(dx, dy);
            const double error = std::fmod(std::atan2(dy, dx) / GamePi * 1800.0 - cab.car.heading + 5400.0, 3600.0) - 1800.0;
            double target = std::min(maxSpeed, 0.8 * std::sqrt(2 * 0.004 * std::max(distance - 2.0, 0.0)));
            if (std::fabs(error) > 450) target = std::min(target, 0.25);
            const double speed = bodySpeed(cab.car);
            std::vector<int> keys;
            if (distance < 2.0) {
                keys = {ActionDown};
            } else {
                if (error > 30) keys.push_back(ActionRight);
                if (error < -30) keys.push_back(ActionLeft);
                if (speed < target - 0.01) keys.push_back(ActionUp);
                if (speed > target + 0.02) keys.push_back(ActionDown);
            }
            frame(keys);
        }
        return done();
    }
};

TEST(ShiftReplay, DriveAWholeShift) {
    Game g;
    seedRandom(2024);
    g.map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
    test::putWall(*g.map, 1160, 1026, 1170, 1042);  // a wall to crash into
    startShift(g.cab.shift, g.cab.car, *g.map, g.traffic.data(), Cars);
    setTimeLimit(g.cab.shift, 4);
    Shift& s = g.cab.shift;
    const float spots[3][4] = {{}, {1040, 1034, 1100, 1034}, {1080, 1034, 1100, 1120}};
    for (int k = 1; k <= 2; ++k) {
        Passenger& p = s.passengers[k];
        p = Passenger{Body{spots[k][0], spots[k][1]}, Body{spots[k][2], spots[k][3]}, 1, "in", "thanks", "ouch"};
        p.fare = tripFare(p.pickup, p.destination);
    }
    markPickups(s, *g.map);

    g.frame({ActionIgnition});  // frame 0 tests slot 1, the cab standing in passenger 1's square
    EXPECT_TRUE(s.passengerAboard == 1 && s.pendingFare == 9);
    g.frame({});
    ASSERT_TRUE(isOn(s.engineRunning));
    ASSERT_TRUE(g.driveUntil(1100, 1034, 0.6, 1500, [&] { return s.passengerAboard == 0; }));
    EXPECT_TRUE(s.speechText == "thanks" && std::fabs(g.cab.car.x - 1100) <= 4.0f && s.brakeHeat > 0.0f);

    // Stop, engage reverse and back up to passenger 2, 20 cells behind.
    while (bodySpeed(g.cab.car) >= 0.1f) g.frame({ActionDown});
    g.frame({ActionDown, ActionReverse});
    g.frame({ActionDown});
    ASSERT_TRUE(isOn(s.reverseGear));
    while (g.cab.car.x > 1083) g.frame({ActionUp});
    while (s.passengerAboard == 0 && g.frames < 4000) g.frame({ActionDown});
    ASSERT_EQ(s.passengerAboard, 2);
    EXPECT_EQ(s.pendingFare, 13);  // what was left of the first fare is dropped
    const int64_t scoreAtSecondPickUp = s.score;
    g.frame({ActionReverse});
    g.frame({});
    ASSERT_FALSE(isOn(s.reverseGear));

    // Run into the wall ahead: a little bodywork damage and a complaint.
    while (s.damage[DamageBodywork] == 0.0f && g.frames < 6000) g.frame({ActionUp});
    EXPECT_TRUE(s.damage[DamageBodywork] > 0.0f && s.damage[DamageBodywork] < 0.1f && s.speechText == "ouch");
    EXPECT_LE(g.cab.car.x, 1159.0f);

    // Steer round to the second destination, down and to the left.
    ASSERT_TRUE(g.driveUntil(1100, 1120, 0.5, 3000, [&] { return s.passengerAboard == 0; }));
    EXPECT_TRUE(s.deliveredCount == 2 && g.cab.car.heading > 600.0f && g.cab.car.heading < 2400.0f);

    // Wait out the clock: 4 minutes at 50 frames a second.
    while (!shiftOver(s) && g.frames < 20000) g.frame({ActionDown});
    EXPECT_TRUE(g.frames == 12000 || g.frames == 12001) << g.frames;
    EXPECT_EQ(s.score, scoreAtSecondPickUp + 13);
    int vehicleCells = 0;
    for (int x = 1000; x < 1200; ++x)
        for (int y = 1000; y < 1200; ++y) vehicleCells += hasFlag(cellAt(*g.map, x, y), Vehicle);
    EXPECT_EQ(vehicleCells, 0) << "the traffic left nothing of itself in the grid";
}

TEST(ShiftReplay, TrafficOnAGeneratedCityLeavesNoTrace) {
    Game g;
    static uint8_t shade[256][17];
    for (int c = 0; c < 256; ++c)
        for (int l = 0; l < 17; ++l) shade[c][l] = static_cast<uint8_t>(c);
    g.map.reset(newCityMap());
    seedRandom(314);
    generateCityMap(*g.map, shade);
    startShift(g.cab.shift, g.cab.car, *g.map, g.traffic.data(), Cars);
    const uint64_t before = test::fnv1a(g.map->cells, sizeof g.map->cells);
    for (const TrafficCar& car : g.traffic)
        EXPECT_TRUE(!isBlocked(*g.map, car.motion.x, car.motion.y) && static_cast<int>(car.motion.x) % 128 == 0);
    for (int i = 0; i < 600; ++i) {
        stampAllTraffic(g.traffic.data(), Cars, *g.map);
        moveAllTraffic(g.traffic.data(), Cars, *g.map, g.cab.car, 1.0);
    }
    EXPECT_EQ(test::fnv1a(g.map->cells, sizeof g.map->cells), before);
    int stamped = 0;
    for (TrafficCar& car : g.traffic) {
        ASSERT_TRUE(car.motion.x > 0 && car.motion.x < 2047 && car.motion.y > 0 && car.motion.y < 2047);
        EXPECT_EQ(std::abs(car.fwdX) + std::abs(car.fwdY), 1);
        stampTrafficCar(car, *g.map);
        stamped += !isOn(car.blocked);
    }
    EXPECT_GT(stamped, Cars * 3 / 4);  // nearly all stand free; a few may be turning back
}

}  // namespace
}  // namespace hc
