// A whole shift driven through the keyboard, frame by frame in the game loop's order:
// start the engine, pick up, drive, brake, deliver, reverse, crash, steer round a corner,
// deliver again, and wait for the clock to end the shift.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/windshield.h"
#include "sim_support.h"

namespace hc {
namespace {

using test::Cab;
using test::MapPtr;

constexpr int TrafficCars = 128;  // as many as the game runs

class ShiftReplay : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(2024);
        // Open ground inside a solid border, and a wall to crash into.
        map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
        test::putWall(*map, 1160, 1026, 1170, 1042);
        traffic.resize(TrafficCars);
        cab.shift.turboLevel = 1;
        startShift(cab.shift, cab.car, *map, traffic.data(), TrafficCars);
        setTimeLimit(cab.shift, 4);

        // Two passengers on hand-made spots; the other 14 wait where the draw put them.
        setPassenger(1, 1040, 1034, 1100, 1034);
        setPassenger(2, 1080, 1034, 1100, 1120);
        markPickups(cab.shift, *map);
        say(cab.shift, "press [S] to start the car.");
    }

    void setPassenger(int k, float px, float py, float dx, float dy) {
        Passenger& p = cab.shift.passengers[k];
        p.pickup = Body{};
        p.pickup.x = px;
        p.pickup.y = py;
        p.destination = Body{};
        p.destination.x = dx;
        p.destination.y = dy;
        p.fare = tripFare(p.pickup, p.destination);
    }

    // One frame of the game loop with the listed keys held.
    void frame(const std::vector<int>& held) {
        stampAllTraffic(traffic.data(), TrafficCars, *map);
        for (int a = 0; a <= ActionCount; ++a) {
            cab.keys.previous[a] = cab.keys.now[a];
            cab.keys.now[a] = 0;
        }
        for (int a : held) cab.keys.now[a] = -1;
        updatePlayerCar(cab.car, cab.shift, *map, cab.keys, cab.sound, 1.0);
        updateCabSystems(cab.shift, cab.car, 1.0);
        moveAllTraffic(traffic.data(), TrafficCars, *map, cab.car, 1.0);
        advanceClock(cab.shift, 1.0);
        ++frames;
    }

    // A driver: steers towards the target, keeps to a speed from which the brake can stop
    // at the target, and stands on the brake once there.
    std::vector<int> driveTowards(float tx, float ty, double maxSpeed) {
        const double dx = tx - cab.car.x, dy = ty - cab.car.y;
        const double distance = std::hypot(dx, dy);
        const double speed = bodySpeed(cab.car);
        if (distance < 2.0) return {ActionDown};
        std::vector<int> keys;
        double wanted = std::atan2(dy, dx) / GamePi * 1800.0;
        double error = std::fmod(wanted - cab.car.heading + 5400.0, 3600.0) - 1800.0;
        if (error > 30) keys.push_back(ActionRight);
        if (error < -30) keys.push_back(ActionLeft);
        double target = std::min(maxSpeed, 0.8 * std::sqrt(2 * 0.004 * (distance - 2.0)));
        if (std::fabs(error) > 450) target = std::min(target, 0.25);
        if (speed < target - 0.01) keys.push_back(ActionUp);
        if (speed > target + 0.02) keys.push_back(ActionDown);
        return keys;
    }

    // Drives until the condition holds; false if it does not within the frame budget.
    template <typename Done>
    bool driveUntil(float tx, float ty, double maxSpeed, int budget, Done done) {
        for (int i = 0; i < budget; ++i) {
            if (done()) return true;
            frame(driveTowards(tx, ty, maxSpeed));
        }
        return done();
    }

    MapPtr map;
    std::vector<TrafficCar> traffic;
    Cab cab;
    int frames = 0;
};

TEST_F(ShiftReplay, DriveAWholeShift) {
    Shift& s = cab.shift;
    // Frame 0 tests slot 1 with the cab standing in passenger 1's square.
    frame({ActionIgnition});
    EXPECT_EQ(s.passengerAboard, 1);
    EXPECT_EQ(s.speechText, s.passengers[1].requestLine);
    EXPECT_EQ(s.pendingFare, 9);
    EXPECT_FALSE(isOn(s.engineRunning));
    frame({});
    ASSERT_TRUE(isOn(s.engineRunning));

    // Accelerate along +x: the first frames follow the throttle exactly.
    frame({ActionUp});
    EXPECT_NEAR(cab.car.vx, 0.003 * 0.997, 1e-9);
    EXPECT_EQ(cab.car.vy, 0.0f);

    ASSERT_TRUE(driveUntil(1100, 1034, 0.6, 1500, [&] { return s.passengerAboard == 0; }));
    EXPECT_EQ(s.deliveredCount, 1);
    EXPECT_EQ(s.speechText, s.passengers[1].thanksLine);
    EXPECT_NEAR(cab.car.x, 1100, 4.0f);
    EXPECT_GT(s.brakeHeat, 0.0f);
    EXPECT_EQ(s.damage[DamageBodywork], 0.0f);

    // Stop, engage reverse and back up to passenger 2, 20 cells behind.
    while (bodySpeed(cab.car) >= 0.1f) frame({ActionDown});
    frame({ActionDown, ActionReverse});
    frame({ActionDown});
    ASSERT_TRUE(isOn(s.reverseGear));
    while (cab.car.x > 1083) frame({ActionUp});
    EXPECT_LT(cab.car.vx, 0.0f);
    while (s.passengerAboard == 0 && frames < 4000) frame({ActionDown});
    ASSERT_EQ(s.passengerAboard, 2);
    EXPECT_EQ(s.pendingFare, 13);  // what was left of the first fare is dropped
    const int64_t scoreAtSecondPickUp = s.score;
    EXPECT_GT(scoreAtSecondPickUp, 0);
    frame({ActionReverse});
    frame({});
    ASSERT_FALSE(isOn(s.reverseGear));

    // Run into the wall ahead: bodywork damage, a complaint, boost gone.
    float before = cab.car.x;
    while (s.damage[DamageBodywork] == 0.0f && frames < 6000) {
        before = cab.car.x;
        frame({ActionUp});
    }
    ASSERT_GT(s.damage[DamageBodywork], 0.0f);
    EXPECT_LT(s.damage[DamageBodywork], 0.1f);
    EXPECT_EQ(s.speechText, s.passengers[2].complaintLine);
    EXPECT_LT(cab.car.x, before);
    EXPECT_LT(cab.car.vx, 0.0f);
    EXPECT_EQ(s.turboBoost, 0.0f);
    EXPECT_LE(cab.car.x, 1159.0f);

    // Steer round to the second destination, down and to the left.
    ASSERT_TRUE(driveUntil(1100, 1120, 0.5, 3000, [&] { return s.passengerAboard == 0; }));
    EXPECT_EQ(s.deliveredCount, 2);
    EXPECT_GT(cab.car.heading, 600.0f);
    EXPECT_LT(cab.car.heading, 2400.0f);

    // Wait out the clock with the engine running.
    while (!shiftOver(s) && frames < 20000) frame({ActionDown});
    EXPECT_GE(frames, 12000);
    EXPECT_LE(frames, 12001);
    EXPECT_EQ(s.frameCounter, frames);
    EXPECT_EQ(s.score, scoreAtSecondPickUp + 13);
    EXPECT_EQ(s.pendingFare, 0);
    EXPECT_TRUE(isOn(s.passengers[1].delivered));
    EXPECT_TRUE(isOn(s.passengers[2].delivered));
    // The traffic ran all shift and left nothing of itself in the grid.
    int vehicleCells = 0;
    for (int x = 1000; x < 1200; ++x)
        for (int y = 1000; y < 1200; ++y) vehicleCells += hasFlag(cellAt(*map, x, y), Vehicle);
    EXPECT_EQ(vehicleCells, 0);
}

}  // namespace
}  // namespace hc
