// The newcomer's guide: which square it points to, and when it says the cab is too fast.
#include "sim/fare_guide.h"

#include <gtest/gtest.h>

#include "sim/passengers.h"

namespace hc {
namespace {

TEST(FareGuide, PointsToTheNearestWaitingPassengerThenToTheDestination) {
    Shift shift;
    shift.passengerCount = 4;
    const float pickups[5][2] = {{0, 0}, {100, 100}, {150, 100}, {90, 100}, {300, 300}};
    for (int k = 1; k <= 4; ++k) {
        shift.passengers[k].pickup.x = pickups[k][0];
        shift.passengers[k].pickup.y = pickups[k][1];
        shift.passengers[k].destination.x = 500.0f + k;
        shift.passengers[k].destination.y = 600.0f;
    }
    shift.passengers[3].delivered = FlagOn;  // the nearest has been driven already
    PlayerCar car;
    car.x = 92;
    car.y = 100;
    struct Case {
        int aboard;
        float speed;
        float carX;
        bool active, aboardFlag, inSquare, tooFast;
        float targetX;
    };
    const Case cases[] = {
        {0, 0.0f, 92, true, false, false, false, 100},   // passenger 1, 8 cells away
        {0, 0.0f, 97, true, false, true, false, 100},    // inside its square, standing
        {0, 0.1f, 97, true, false, true, true, 100},     // inside, too fast to count
        {0, 0.09f, 97, true, false, true, false, 100},   // slow enough
        {0, 0.0f, 140, true, false, false, false, 150},  // nearer to passenger 2 now
        {2, 0.0f, 92, true, true, false, false, 502},    // aboard: the destination
    };
    for (const Case& c : cases) {
        shift.passengerAboard = c.aboard;
        car.x = c.carX;
        car.vx = c.speed;
        const FareGuide guide = fareGuide(shift, car);
        EXPECT_EQ(guide.active, c.active) << c.carX;
        EXPECT_EQ(guide.aboard, c.aboardFlag) << c.carX;
        EXPECT_EQ(guide.inSquare, c.inSquare) << c.carX;
        EXPECT_EQ(guide.tooFast, c.tooFast) << c.carX;
        EXPECT_EQ(guide.target.x, c.targetX) << c.carX;
    }
    // Everybody delivered: nothing to point to.
    shift.passengerAboard = 0;
    for (int k = 1; k <= 4; ++k) shift.passengers[k].delivered = FlagOn;
    EXPECT_FALSE(fareGuide(shift, car).active);
}

}  // namespace
}  // namespace hc
