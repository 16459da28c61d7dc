#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "sim_support.h"

namespace hc {
namespace {

std::vector<MapCell> region(const CityMap& map, int x1, int y1, int x2, int y2) {
    std::vector<MapCell> cells;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) cells.push_back(cellAt(map, x, y));
    return cells;
}

TrafficCar carAt(float x, float y, double turn = 0) {
    TrafficCar car;
    initTrafficCar(car, x, y);
    rotateBody(car.motion, turn);
    car.fwdX = static_cast<int>(std::lround(std::cos(headingRadians(car.motion))));
    car.fwdY = static_cast<int>(std::lround(std::sin(headingRadians(car.motion))));
    return car;
}

class TrafficTest : public ::testing::Test {
protected:
    test::MapPtr map = (seedRandom(8), test::openGround(900, 900, 1300, 1300));
    PlayerCar player = PlayerCar{200, 200};  // far away unless a test brings it near
};

// Which sprite column a cell shows for a ray crossing a y face and an x face, and which
// way its texels run, for a car at (1000, 1000): a cell of its front row and one of its
// rear corner, on each heading. Taking the car out restores the cells it covered.
TEST_F(TrafficTest, StampShowsTheSpriteColumnsOfEachHeading) {
    struct Cell { int x, y, yCross, xCross; };
    const struct { double turn; bool ascending; Cell front, rear; } cases[] = {
        {0, true, {1004, 998, 11, 12}, {997, 1001, 4, 3}},     // +x: side view on y faces
        {90, true, {998, 1004, 12, 11}, {1001, 997, 3, 4}},    // +y: side view on x faces
        {180, false, {996, 1002, 11, 12}, {1003, 999, 4, 3}},  // -x
        {270, false, {1002, 996, 12, 11}, {999, 1003, 3, 4}},  // -y
    };
    setCellFlag(cellAt(*map, 1001, 999), PickupMark, true);
    const std::vector<MapCell> before = region(*map, 990, 990, 1010, 1010);
    for (const auto& c : cases) {
        TrafficCar car = carAt(1000, 1000, c.turn);
        car.model = 5;
        stampTrafficCar(car, *map);
        const auto cells = region(*map, 990, 990, 1010, 1010);
        EXPECT_EQ(std::tuple(std::count_if(cells.begin(), cells.end(), [](const MapCell& m) { return hasFlag(m, Vehicle); }), isOn(car.blocked)),
                  std::tuple(32, false)) << c.turn;
        const auto flags = uint8_t(Visible | SeeThrough | Vehicle | TallVehicle | (c.ascending ? SpriteAscending : 0));
        for (const Cell& e : {c.front, c.rear})
            EXPECT_EQ(cellAt(*map, e.x, e.y), (MapCell{0, 5, flags, uint8_t(e.yCross), uint8_t(e.xCross)})) << c.turn << " " << e.x;
        car.mayMove = FlagOff, moveTrafficCar(car, *map, 1.0);
        EXPECT_TRUE(region(*map, 990, 990, 1010, 1010) == before) << c.turn;
    }
    // Marks changed under a stamped car are undone when it is taken out.
    TrafficCar car = carAt(1000, 1000);
    stampTrafficCar(car, *map), clearMarks(*map), markSquare(*map, car.motion), moveTrafficCar(car, *map, 1.0);
    EXPECT_EQ(std::tuple(hasFlag(cellAt(*map, 1001, 999), PickupMark), hasFlag(cellAt(*map, 1003, 1001), PickupMark), hasFlag(cellAt(*map, 1003, 1003), PickupMark)),
              std::tuple(true, false, true));  // outside the car the new mark stays
}

TEST_F(TrafficTest, BlockedCarWritesNothingMovesAndTurnsBack) {
    test::putWall(*map, 1004, 990, 1004, 1010);
    const std::vector<MapCell> before = region(*map, 990, 985, 1010, 1010);
    TrafficCar car = carAt(1000.5f, 1000);
    stampTrafficCar(car, *map), scanAhead(car, *map, player), moveTrafficCar(car, *map, 1.0);
    EXPECT_TRUE(region(*map, 990, 985, 1010, 1010) == before);
    // It first moves 0.3, then turns back into the lane 7 to its left, 1 cell back.
    EXPECT_EQ(std::tuple(bool(std::fabs(car.motion.x - 999.8) < 1e-3), bool(std::fabs(car.motion.y - 993) < 1e-3)), std::tuple(true, true)) << car.motion.x;
    EXPECT_EQ(std::tuple(car.motion.heading, car.fwdX, car.fwdY, isOn(car.blocked)), std::tuple(1800.0f, -1, 0, false));
}

// The probe 8 ahead of a car at (1000, 1000) heading +x is (1008, 1000): a vehicle there,
// or the player within 3 cells of it on each axis after rounding, holds the car.
TEST_F(TrafficTest, StopsForAVehicleEightCellsAheadAndForThePlayer) {
    // A parked vehicle's rear at x (0: none); a probe on the grid's edge sees nothing.
    const struct { float carX, playerX, playerY; int rear; bool mayMove; } cases[] = {
        {1000.5f, 200, 200, 1008, false}, {1000.5f, 200, 200, 1009, true}, {1000.5f, 1011.4f, 997.0f, 0, false},
        {1000.5f, 1011.6f, 997.0f, 0, true}, {1000.5f, 1008.0f, 996.4f, 0, true}, {2039.5f, 2047.0f, 1000.0f, 0, true}};
    MapCell parked[VehicleFootprintCells];
    for (const auto& c : cases) {
        TrafficCar probe = carAt(c.carX, 1000);
        player = PlayerCar{c.playerX, c.playerY};
        if (c.rear) { ASSERT_TRUE(stampVehicle(*map, c.rear + 3, 1000, 1, 0, 2, parked)); }
        scanAhead(probe, *map, player);
        EXPECT_EQ(isOn(probe.mayMove), c.mayMove) << c.rear << " " << c.playerX << "," << c.playerY;
        if (c.rear) unstampVehicle(*map, c.rear + 3, 1000, 1, 0, parked);
    }
}

TEST_F(TrafficTest, TurnsAtCornerPointsWithEvenChance) {
    // Corner points lie at 4 and 125 modulo 128 on both axes: position, heading before and after.
    const float cases[][4] = {{1149, 1028, 0, 900},     {1149, 1028, 900, 0},     // (125, 4)
                              {1028, 1028, 1800, 900},  {1028, 1028, 900, 1800},  // (4, 4)
                              {1028, 1149, 1800, 2700}, {1028, 1149, 2700, 1800},  // (4, 125)
                              {1149, 1149, 0, 2700},    {1149, 1149, 2700, 0}};    // (125, 125)
    for (const auto& c : cases) {
        int turned = 0;
        for (int seed = 0; seed < 200; ++seed) {
            seedRandom(seed);  // the car's model takes the first draw, the turn the second
            const bool turns = (nextRandom(), nextRandom() < 0.5);
            seedRandom(seed);
            TrafficCar car = carAt(c[0], c[1], c[2] / 10);
            stampTrafficCar(car, *map), car.mayMove = FlagOff;
            moveTrafficCar(car, *map, 1.0);
            const double heading = turns ? c[3] : c[2], a = heading / 1800 * GamePi;
            ASSERT_NEAR(car.motion.heading, heading, 1e-3) << c[0] << "," << c[1] << " " << c[2];
            // Either way it moves one cell on along its (new) heading.
            ASSERT_THAT((std::tuple<double, double>(car.motion.x - c[0], car.motion.y - c[1])), testing::FieldsAre(testing::DoubleNear(std::cos(a), 1e-3), testing::DoubleNear(std::sin(a), 1e-3)));
            ASSERT_EQ(std::tuple(car.fwdX, car.fwdY), std::tuple(std::lround(std::cos(a)), std::lround(std::sin(a))));
            turned += turns;
        }
        EXPECT_NEAR(turned, 100, 30);
    }
    TrafficCar car = carAt(1100, 1028);  // away from corner points nothing is drawn or turned
    stampTrafficCar(car, *map), car.mayMove = FlagOff;
    seedRandom(3), moveTrafficCar(car, *map, 1.0);
    const double next = nextRandom();
    seedRandom(3);
    EXPECT_EQ(std::tuple(car.motion.x, car.motion.heading, nextRandom()), std::tuple(1100.0f, 0.0f, next));
}

}  // namespace
}  // namespace hc
