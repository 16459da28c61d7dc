#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim_support.h"

namespace hc {
namespace {

using test::MapPtr;

std::vector<MapCell> region(const CityMap& map, int x1, int y1, int x2, int y2) {
    std::vector<MapCell> cells;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) cells.push_back(cellAt(map, x, y));
    return cells;
}

// A car at (x, y) turned from +x by the given degrees.
TrafficCar carAt(float x, float y, double turn = 0) {
    TrafficCar car;
    initTrafficCar(car, x, y);
    rotateBody(car.motion, turn);
    car.fwdX = static_cast<int>(std::nearbyint(std::cos(headingRadians(car.motion))));
    car.fwdY = static_cast<int>(std::nearbyint(std::sin(headingRadians(car.motion))));
    return car;
}

class TrafficTest : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(8);
        map = test::openGround(900, 900, 1300, 1300);
        player.x = 200;  // far away unless a test brings it near
        player.y = 200;
    }
    MapPtr map;
    PlayerCar player;
};

// Which sprite column a cell shows for a ray crossing a y face and an x face, and which
// way the column's texels run: for a car at (1000, 1000), a cell of its front row and
// one of its rear corner, for each heading.
TEST_F(TrafficTest, StampShowsTheSpriteColumnsOfEachHeading) {
    struct Cell {
        int x, y, yCross, xCross;
    };
    struct Case {
        double turn;
        bool ascending;
        Cell front, rear;
    };
    const Case cases[] = {
        {0, true, {1004, 998, 11, 12}, {997, 1001, 4, 3}},     // +x: side view on y faces
        {90, true, {998, 1004, 12, 11}, {1001, 997, 3, 4}},    // +y: side view on x faces
        {180, false, {996, 1002, 11, 12}, {1003, 999, 4, 3}},  // -x
        {270, false, {1002, 996, 12, 11}, {999, 1003, 3, 4}},  // -y
    };
    setCellFlag(cellAt(*map, 1001, 999), PickupMark, true);
    const std::vector<MapCell> before = region(*map, 990, 990, 1010, 1010);
    for (const Case& c : cases) {
        TrafficCar car = carAt(1000, 1000, c.turn);
        car.model = 5;
        stampTrafficCar(car, *map);
        ASSERT_FALSE(isOn(car.blocked));
        int vehicles = 0;
        for (const MapCell& cell : region(*map, 990, 990, 1010, 1010)) vehicles += hasFlag(cell, Vehicle);
        EXPECT_EQ(vehicles, 32) << c.turn;
        for (const Cell& e : {c.front, c.rear}) {
            const MapCell& cell = cellAt(*map, e.x, e.y);
            EXPECT_EQ(cell.flags, Visible | SeeThrough | Vehicle | TallVehicle | (c.ascending ? SpriteAscending : 0))
                << c.turn << " at " << e.x << "," << e.y;
            EXPECT_EQ(cell.spriteColYCross, e.yCross) << c.turn << " at " << e.x << "," << e.y;
            EXPECT_EQ(cell.spriteColXCross, e.xCross) << c.turn << " at " << e.x << "," << e.y;
        }
        car.mayMove = FlagOff;
        moveTrafficCar(car, *map, 1.0);
        EXPECT_TRUE(region(*map, 990, 990, 1010, 1010) == before) << "unstamped " << c.turn;
    }
}

TEST_F(TrafficTest, MarksChangedUnderAStampedCarAreUndone) {
    setCellFlag(cellAt(*map, 1000, 1000), PickupMark, true);
    TrafficCar car = carAt(1000, 1000);
    stampTrafficCar(car, *map);
    clearMarks(*map);
    markSquare(*map, car.motion);  // paints over the car
    car.mayMove = FlagOff;
    moveTrafficCar(car, *map, 1.0);
    EXPECT_TRUE(hasFlag(cellAt(*map, 1000, 1000), PickupMark));   // the cleared mark is back
    EXPECT_FALSE(hasFlag(cellAt(*map, 1003, 1001), PickupMark));  // the new one under it lost
    EXPECT_TRUE(hasFlag(cellAt(*map, 1003, 1003), PickupMark));   // outside the car it stays
}

TEST_F(TrafficTest, BlockedCarWritesNothingMovesAndTurnsBack) {
    test::putWall(*map, 1004, 990, 1004, 1010);
    const std::vector<MapCell> before = region(*map, 990, 985, 1010, 1010);
    TrafficCar car = carAt(1000.5f, 1000);
    stampTrafficCar(car, *map);
    EXPECT_TRUE(isOn(car.blocked));
    scanAhead(car, *map, player);
    moveTrafficCar(car, *map, 1.0);
    EXPECT_TRUE(region(*map, 990, 985, 1010, 1010) == before);
    // It first moves 0.3, then turns back into the lane 7 to its left, 1 cell back.
    EXPECT_NEAR(car.motion.x, 1000.5 + 0.3 - 1, 1e-3);
    EXPECT_NEAR(car.motion.y, 1000 - 7, 1e-3);
    EXPECT_EQ(car.motion.heading, 1800.0f);
    EXPECT_TRUE(car.fwdX == -1 && car.fwdY == 0 && !isOn(car.blocked));
    stampTrafficCar(car, *map);
    EXPECT_FALSE(isOn(car.blocked));
}

TEST_F(TrafficTest, StopsForAVehicleEightCellsAheadAndForThePlayer) {
    // The probe 8 ahead of (1000, 1000) heading +x is (1008, 1000).
    MapCell parked[VehicleFootprintCells];
    TrafficCar car = carAt(1000.5f, 1000);
    for (int rear : {1008, 1009}) {
        ASSERT_TRUE(stampVehicle(*map, rear + 3, 1000, 1, 0, 2, parked));
        scanAhead(car, *map, player);
        EXPECT_EQ(isOn(car.mayMove), rear != 1008);
        unstampVehicle(*map, rear + 3, 1000, 1, 0, parked);
    }

    struct Case {
        float carX, playerX, playerY;
        bool mayMove;
    };
    const Case cases[] = {{1000.5f, 1011.4f, 997.0f, false},  // 3.4 and 3 cells off round to 3
                          {1000.5f, 1011.6f, 997.0f, true}, {1000.5f, 1008.0f, 996.4f, true},
                          {2039.5f, 2047.0f, 1000.0f, true}};  // a probe on the grid's edge sees nothing
    for (const Case& c : cases) {
        TrafficCar probe = carAt(c.carX, 1000);
        player.x = c.playerX;
        player.y = c.playerY;
        scanAhead(probe, *map, player);
        EXPECT_EQ(isOn(probe.mayMove), c.mayMove) << c.playerX << "," << c.playerY;
    }
}

TEST_F(TrafficTest, CarsQueueBehindAStoppedCarAndDriveOnWhenItGoes) {
    TrafficCar cars[] = {carAt(1050.5f, 1000), carAt(1000.5f, 1000)};
    auto frame = [&] {
        stampAllTraffic(cars, 2, *map);
        moveAllTraffic(cars, 2, *map, player, 1.0);
    };
    player.x = 1061;  // holds the front car
    player.y = 1000;
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_EQ(cars[0].motion.x, 1050.5f);
    // The second car waits with its probe on the first car's rear row (x 1047).
    EXPECT_EQ(std::floor(cars[1].motion.x), 1039.0f);
    const float queued = cars[1].motion.x;
    player.x = 200;
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_NEAR(cars[0].motion.x, 1053.5, 1e-3);
    EXPECT_GT(cars[1].motion.x, queued + 2.0f);
    for (const MapCell& c : region(*map, 990, 990, 1070, 1010)) EXPECT_FALSE(hasFlag(c, Vehicle));
}

TEST_F(TrafficTest, TurnsAtCornerPointsWithEvenChance) {
    struct Case {
        float x, y, heading, turned;  // corner point, heading before and after a turn
    };
    // Corner points lie at 4 and 125 modulo 128 on both axes.
    const Case cases[] = {{1149, 1028, 0, 900},     // (125, 4): +x turns to +y,
                          {1149, 1028, 900, 0},     //           +y turns to +x
                          {1028, 1028, 1800, 900},  // (4, 4): -x to +y, +y to -x
                          {1028, 1028, 900, 1800},
                          {1028, 1149, 1800, 2700},  // (4, 125): -x to -y, -y to -x
                          {1028, 1149, 2700, 1800},
                          {1149, 1149, 0, 2700},     // (125, 125): +x to -y, -y to +x
                          {1149, 1149, 2700, 0}};
    for (const Case& c : cases) {
        int turned = 0;
        for (int seed = 0; seed < 200; ++seed) {
            // The car's model takes the first draw after the seed, the turn the second.
            seedRandom(seed);
            nextRandom();
            const bool shouldTurn = nextRandom() < 0.5;
            seedRandom(seed);
            TrafficCar car = carAt(c.x, c.y, c.heading / 10);
            stampTrafficCar(car, *map);
            car.mayMove = FlagOff;
            moveTrafficCar(car, *map, 1.0);
            const float heading = shouldTurn ? c.turned : c.heading;
            ASSERT_NEAR(car.motion.heading, heading, 1e-3) << c.x << "," << c.y << " " << c.heading;
            // Either way it moves one cell on along its (new) heading.
            const double a = heading / 1800 * GamePi;
            ASSERT_NEAR(car.motion.x, c.x + std::cos(a), 1e-3);
            ASSERT_NEAR(car.motion.y, c.y + std::sin(a), 1e-3);
            ASSERT_TRUE(car.fwdX == std::lround(std::cos(a)) && car.fwdY == std::lround(std::sin(a)));
            turned += shouldTurn;
        }
        EXPECT_NEAR(turned, 100, 30);
    }
    // Away from corner points nothing is drawn and nothing turns.
    TrafficCar car = carAt(1100, 1028);
    stampTrafficCar(car, *map);
    car.mayMove = FlagOff;
    seedRandom(3);
    moveTrafficCar(car, *map, 1.0);
    EXPECT_TRUE(car.motion.x == 1100.0f && car.motion.heading == 0.0f);
    const double next = nextRandom();
    seedRandom(3);
    EXPECT_EQ(nextRandom(), next);
}

}  // namespace
}  // namespace hc
