// Traffic on a generated city: a few hundred frames of all 128 cars must leave the grid
// exactly as it was and keep every car on the streets.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "city/city_generator.h"
#include "sim_support.h"
#include "support/digest.h"

namespace hc {
namespace {

using test::MapPtr;

constexpr int Cars = 128;

uint64_t gridDigest(const CityMap& map) { return test::fnv1a(map.cells, sizeof(map.cells)); }

struct CityRun {
    MapPtr map{newCityMap()};
    std::vector<TrafficCar> traffic = std::vector<TrafficCar>(Cars);
    test::Cab cab;

    explicit CityRun(uint64_t seed) {
        static uint8_t shade[256][17];
        for (int c = 0; c < 256; ++c)
            for (int l = 0; l < 17; ++l) shade[c][l] = static_cast<uint8_t>(c);
        seedRandom(seed);
        generateCityMap(*map, shade);
        startShift(cab.shift, cab.car, *map, traffic.data(), Cars);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            stampAllTraffic(traffic.data(), Cars, *map);
            moveAllTraffic(traffic.data(), Cars, *map, cab.car, 1.0);
            cab.shift.frameCounter += 1;
        }
    }
};

TEST(CityTraffic, RunsWithoutLeavingATrace) {
    CityRun run(314);
    const uint64_t before = gridDigest(*run.map);
    // Every car starts on a free crossing.
    for (const TrafficCar& car : run.traffic) {
        EXPECT_FALSE(isBlocked(*run.map, car.motion.x, car.motion.y));
        EXPECT_EQ(static_cast<int>(car.motion.x) % 128, 0);
    }
    run.frames(600);
    EXPECT_EQ(gridDigest(*run.map), before);

    int stamped = 0;
    for (TrafficCar& car : run.traffic) {
        EXPECT_GT(car.motion.x, 0.0f);
        EXPECT_LT(car.motion.x, 2047.0f);
        EXPECT_GT(car.motion.y, 0.0f);
        EXPECT_LT(car.motion.y, 2047.0f);
        EXPECT_EQ(std::abs(car.fwdX) + std::abs(car.fwdY), 1);
        stampTrafficCar(car, *run.map);
        stamped += isOn(car.blocked) ? 0 : 1;
    }
    // Nearly all cars stand free on a street; a few may be about to turn back.
    EXPECT_GT(stamped, Cars * 3 / 4);
}

}  // namespace
}  // namespace hc
