// Whole shifts frame by frame in the game loop's order: a scripted drive through the
// keyboard on open ground, and all 128 cars on a generated city, which must leave the
// grid exactly as they found it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "city/city_generator.h"
#include "core/system.h"
#include "sim_support.h"
#include "support/digest.h"

namespace hc {
namespace {

constexpr int Cars = 128;

struct Game {
    test::MapPtr map;
    std::vector<TrafficCar> traffic = std::vector<TrafficCar>(Cars);
    test::Cab cab;
    int frames = 0;
    void frame(std::initializer_list<int> held = {}) {
        stampAllTraffic(traffic.data(), Cars, *map);
        cab.frame(*map, held);
        moveAllTraffic(traffic.data(), Cars, *map, cab.car, 1.0);
        ++frames;
    }
    void brakeToAStop() {
        while (bodySpeed(cab.car) > 0) frame({ActionDown});
    }
};

// Start the engine with passenger 1 aboard, drive 60 cells and brake into the destination
// square; passenger 2 waits there and gets in, replacing what is left of the first fare;
// drive on into a wall (a complaint), reverse 90 cells to passenger 2's destination, and
// wait out the minute (3000 frames at 50 a second) while the meter counts the fare.
TEST(ShiftReplay, ScriptedDriveThroughAWholeShift) {
    Game g;
    seedRandom(2024);
    g.map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
    test::putWall(*g.map, 1160, 1026, 1170, 1042);
    Shift& s = g.cab.shift;
    startShift(s, g.cab.car, *g.map, g.traffic.data(), Cars);
    setTimeLimit(s, 1);
    s.passengers[1] = Passenger{Body{1040, 1034}, Body{1100, 1034}, 1, "in 1", "thanks 1", "ouch 1", 0, 9};
    s.passengers[2] = Passenger{Body{1102, 1036}, Body{1060, 1034}, 1, "in 2", "thanks 2", "ouch 2", 0, 6};
    markPickups(s, *g.map);

    g.frame({ActionIgnition});  // frame 0 tests slot 1, the cab standing in passenger 1's square
    g.frame();
    EXPECT_TRUE(s.passengerAboard == 1 && s.pendingFare == 9 && isOn(s.engineRunning));
    for (int i = 0; i < 172; ++i) g.frame({ActionUp});
    g.brakeToAStop();
    for (int i = 0; i < 32; ++i) g.frame();
    EXPECT_NEAR(g.cab.car.x, 1100, 0.5);
    EXPECT_TRUE(s.deliveredCount == 1 && s.passengerAboard == 2 && s.pendingFare == 6 && s.score == 1);
    while (s.damage[DamageBodywork] == 0.0f && g.frames < 3000) g.frame({ActionUp});
    EXPECT_TRUE(s.damage[DamageBodywork] > 0.0f && s.damage[DamageBodywork] < 0.1f && s.speechText == "ouch 2");
    EXPECT_LE(g.cab.car.x, 1159.0f);
    g.brakeToAStop();
    g.frame({ActionReverse});
    for (int i = 0; i < 960; ++i) g.frame({ActionUp});
    EXPECT_TRUE(s.deliveredCount == 2 && s.speechText == "thanks 2" && std::fabs(g.cab.car.x - 1060) <= 4) << g.cab.car.x;
    while (!shiftOver(s) && g.frames < 20000) g.frame();
    EXPECT_TRUE(g.frames == 3000 && s.score == 7 && s.pendingFare == 0) << g.frames;
    // Where the traffic ended up after the whole shift, and that it left no cell behind.
    std::vector<float> ends;
    for (const TrafficCar& car : g.traffic) ends.insert(ends.end(), {car.motion.x, car.motion.y, car.motion.heading});
    EXPECT_EQ(test::fnv1a(ends.data(), ends.size() * sizeof(float)), 4897232579262044516ull);
    for (const MapCell& cell : g.map->cells) ASSERT_FALSE(hasFlag(cell, Vehicle));
}

TEST(ShiftReplay, TrafficOnAGeneratedCityLeavesNoTrace) {
    Game g;
    static uint8_t shade[256][17];
    for (int c = 0; c < 256; ++c)
        for (int l = 0; l < 17; ++l) shade[c][l] = static_cast<uint8_t>(c);
    g.map.reset(newCityMap());
    seedRandom(314);
    setConsoleSink([](std::string_view) {});
    generateCityMap(*g.map, shade);
    setConsoleSink(nullptr);
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
