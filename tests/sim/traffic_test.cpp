#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim_support.h"

namespace hc {
namespace {

using test::MapPtr;

// Copies the cells of an inclusive rectangle, to compare the grid before and after.
std::vector<MapCell> region(const CityMap& map, int x1, int y1, int x2, int y2) {
    std::vector<MapCell> cells;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) cells.push_back(cellAt(map, x, y));
    return cells;
}

bool sameCells(const std::vector<MapCell>& a, const std::vector<MapCell>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i])) return false;
    return true;
}

TrafficCar carAt(float x, float y, double turn = 0) {
    TrafficCar car;
    initTrafficCar(car, x, y);
    if (turn != 0) {
        rotateBody(car.motion, turn);
        car.fwdX = static_cast<int>(std::nearbyint(std::cos(headingRadians(car.motion))));
        car.fwdY = static_cast<int>(std::nearbyint(std::sin(headingRadians(car.motion))));
    }
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
    // One frame of the traffic passes (without the player's part).
    void frame(std::vector<TrafficCar>& cars, double dt = 1.0) {
        stampAllTraffic(cars.data(), static_cast<int>(cars.size()), *map);
        moveAllTraffic(cars.data(), static_cast<int>(cars.size()), *map, player, dt);
    }
    MapPtr map;
    PlayerCar player;
};

TEST_F(TrafficTest, StampCoversTheFootprintAndUnstampRestoresTheGrid) {
    setCellFlag(cellAt(*map, 1001, 999), PickupMark, true);
    const std::vector<MapCell> before = region(*map, 990, 990, 1010, 1010);
    for (double turn : {0.0, 90.0, 180.0, 270.0}) {
        TrafficCar car = carAt(1000, 1000, turn);
        car.model = 5;
        stampTrafficCar(car, *map);
        ASSERT_FALSE(isOn(car.blocked));
        int vehicles = 0;
        for (const MapCell& c : region(*map, 990, 990, 1010, 1010)) {
            if (!hasFlag(c, Vehicle)) continue;
            ++vehicles;
            EXPECT_TRUE(hasFlag(c, TallVehicle));
            EXPECT_FALSE(hasFlag(c, Passable));
        }
        EXPECT_EQ(vehicles, 32);
        // The front row (4 ahead) shows the front view's columns 12 to 15.
        const MapCell& front = cellAt(*map, 1000 + 4 * car.fwdX, 1000 + 4 * car.fwdY);
        EXPECT_TRUE(hasFlag(front, Vehicle));
        const int frontColumn = car.fwdY == 0 ? front.spriteColXCross : front.spriteColYCross;
        EXPECT_GE(frontColumn, 12);
        car.mayMove = FlagOff;
        moveTrafficCar(car, *map, 1.0);
        EXPECT_TRUE(sameCells(before, region(*map, 990, 990, 1010, 1010))) << turn;
    }
    // Heading +x covers x - 3 .. x + 4 and y - 2 .. y + 1.
    TrafficCar car = carAt(1000, 1000);
    stampTrafficCar(car, *map);
    EXPECT_TRUE(hasFlag(cellAt(*map, 997, 998), Vehicle));
    EXPECT_TRUE(hasFlag(cellAt(*map, 1004, 1001), Vehicle));
    EXPECT_FALSE(hasFlag(cellAt(*map, 996, 1000), Vehicle));
    EXPECT_FALSE(hasFlag(cellAt(*map, 1000, 1002), Vehicle));
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

TEST_F(TrafficTest, BlockedCarWritesNothingAndTurnsBack) {
    test::putWall(*map, 1004, 990, 1004, 1010);
    const std::vector<MapCell> before = region(*map, 990, 985, 1010, 1010);
    TrafficCar car = carAt(1000.5f, 1000);
    stampTrafficCar(car, *map);
    EXPECT_TRUE(isOn(car.blocked));
    EXPECT_TRUE(sameCells(before, region(*map, 990, 985, 1010, 1010)));
    // It first moves if it may, then turns back into the lane 7 to its left.
    scanAhead(car, *map, player);
    ASSERT_TRUE(isOn(car.mayMove));
    moveTrafficCar(car, *map, 1.0);
    EXPECT_FALSE(isOn(car.blocked));
    EXPECT_NEAR(car.motion.x, 1000.5 + 0.3 - 1, 1e-3);
    EXPECT_NEAR(car.motion.y, 1000 - 7, 1e-3);
    EXPECT_EQ(car.motion.heading, 1800.0f);
    EXPECT_EQ(car.fwdX, -1);
    EXPECT_EQ(car.fwdY, 0);
    EXPECT_TRUE(sameCells(before, region(*map, 990, 985, 1010, 1010)));
    // In the new lane it is free again.
    stampTrafficCar(car, *map);
    EXPECT_FALSE(isOn(car.blocked));
}

TEST_F(TrafficTest, StopsForAVehicleEightCellsAheadAndForThePlayer) {
    MapCell parked[VehicleFootprintCells];
    ASSERT_TRUE(stampVehicle(*map, 1011, 1000, 1, 0, 2, parked));  // rear row at x = 1008
    TrafficCar car = carAt(1000.5f, 1000);
    stampTrafficCar(car, *map);
    scanAhead(car, *map, player);
    EXPECT_FALSE(isOn(car.mayMove));
    moveTrafficCar(car, *map, 1.0);
    EXPECT_EQ(car.motion.x, 1000.5f);
    unstampVehicle(*map, 1011, 1000, 1, 0, parked);

    // The probe 8 ahead is (1008, 1000): the player within 3 cells of it holds the car.
    player.x = 1011.4f;
    player.y = 997.0f;
    scanAhead(car, *map, player);
    EXPECT_FALSE(isOn(car.mayMove));
    player.x = 1011.6f;  // rounds to 4 cells away
    scanAhead(car, *map, player);
    EXPECT_TRUE(isOn(car.mayMove));

    // A probe on the grid's edge looks at nothing.
    TrafficCar edge = carAt(2039.5f, 1000);
    player.x = 2047;
    player.y = 1000;
    scanAhead(edge, *map, player);
    EXPECT_TRUE(isOn(edge.mayMove));
}

TEST_F(TrafficTest, CarsQueueBehindAStoppedCarAndDriveOnWhenItGoes) {
    std::vector<TrafficCar> cars = {carAt(1050.5f, 1000), carAt(1000.5f, 1000)};
    player.x = 1061;  // holds the front car
    player.y = 1000;
    for (int i = 0; i < 200; ++i) frame(cars);
    EXPECT_EQ(cars[0].motion.x, 1050.5f);
    // The second car waits with its probe on the first car's rear row (x 1047).
    EXPECT_EQ(std::floor(cars[1].motion.x), 1039.0f);
    const float queued = cars[1].motion.x;
    frame(cars);
    EXPECT_EQ(cars[1].motion.x, queued);

    player.x = 200;
    for (int i = 0; i < 10; ++i) frame(cars);
    EXPECT_NEAR(cars[0].motion.x, 1053.5, 1e-3);
    EXPECT_GT(cars[1].motion.x, queued + 2.0f);  // a frame or two behind the first
    // Nothing of either car is left in the grid between frames.
    for (const MapCell& c : region(*map, 990, 990, 1070, 1010)) EXPECT_FALSE(hasFlag(c, Vehicle));
}

TEST_F(TrafficTest, TurnsAtCornerPointsWithEvenChance) {
    struct Case {
        float x, y, heading, turned;  // corner point, heading before and after a turn
    };
    // (125, 4) from +x to +y; (4, 4) from -x to -y and from +y to -x; (4, 125) from -x to
    // +y and from -y to -x; (125, 125) from +x to -y and from -y to +x.
    const Case cases[] = {{1149, 1028, 0, 900},    {1028, 1028, 1800, 900},
                          {1028, 1028, 900, 1800}, {1028, 1149, 1800, 2700},
                          {1028, 1149, 2700, 1800}, {1149, 1149, 0, 2700},
                          {1149, 1149, 2700, 0}};
    for (const Case& c : cases) {
        int turned = 0;
        for (int seed = 0; seed < 400; ++seed) {
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
            ASSERT_NEAR(car.motion.x, c.x + std::cos(heading / 1800 * GamePi), 1e-3);
            ASSERT_NEAR(car.motion.y, c.y + std::sin(heading / 1800 * GamePi), 1e-3);
            EXPECT_EQ(car.fwdX, static_cast<int>(std::nearbyint(std::cos(heading / 1800 * GamePi))));
            turned += shouldTurn ? 1 : 0;
        }
        EXPECT_NEAR(turned, 200, 40);
    }
    // Away from corner points nothing is drawn and nothing turns.
    TrafficCar car = carAt(1100, 1028);
    stampTrafficCar(car, *map);
    car.mayMove = FlagOff;
    seedRandom(3);
    const double next = nextRandom();
    seedRandom(3);
    moveTrafficCar(car, *map, 1.0);
    EXPECT_EQ(nextRandom(), next);
    EXPECT_EQ(car.motion.x, 1100.0f);
}

}  // namespace
}  // namespace hc
