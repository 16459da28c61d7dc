// The newcomer's guide: which square counts, when the cab is inside it, and its sounds.
#include "sim/fare_guide.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sim/passengers.h"

namespace hc {
namespace {

TEST(FareGuide, PointsToTheSquareThatCountsAndReportsEachMomentOnce) {
    Shift shift;
    shift.passengerCount = 4;
    const float pickups[5][2] = {{0, 0}, {100, 100}, {150, 100}, {90, 100}, {106, 92}};
    for (int k = 1; k <= 4; ++k) shift.passengers[k].pickup.x = pickups[k][0], shift.passengers[k].pickup.y = pickups[k][1];
    // Passenger 3, the nearest, has been driven already; 2 rides to (502, 600).
    shift.passengers[3].delivered = FlagOn, shift.passengers[2].destination.x = 502, shift.passengers[2].destination.y = 600;
    const struct { int aboard; float speed, carX, carY; bool inSquare, tooFast; float targetX; } cases[] = {
        {0, 0.0f, 96, 100, true, false, 100},       // at the square's edge: inside
        {0, 0.0f, 95.99f, 100, false, false, 100},  // a hair beyond it
        {0, 0.1f, 97, 100, true, true, 100},        // inside, too fast to count
        {0, 0.09f, 97, 100, true, false, 100},      // slow enough
        {0, 0.0f, 140, 100, false, false, 150},     // nearer to passenger 2 now
        {0, 0.0f, 104, 96.5f, true, false, 100},    // nearer to 4's spot, but inside 1's square
        {2, 0.0f, 498, 604, true, false, 502},      // aboard: the destination, at its corner
    };
    PlayerCar car;
    for (const auto& c : cases) {
        shift.passengerAboard = c.aboard, car.x = c.carX, car.y = c.carY, car.vx = c.speed;
        const FareGuide g = fareGuide(shift, car);
        EXPECT_EQ(std::tuple(g.active, g.aboard, g.target.x, g.inSquare, g.tooFast),
                  std::tuple(true, c.aboard != 0, c.targetX, c.inSquare, c.tooFast)) << c.carX;
    }
    shift.passengerAboard = 0;
    for (int k = 1; k <= 4; ++k) shift.passengers[k].delivered = FlagOn;
    EXPECT_FALSE(fareGuide(shift, car).active) << "everybody delivered: nothing to point to";

    // Frame by frame: a pick-up or drop-off is never also an entry, even into the next square.
    constexpr int Entered = 1, PickedUp = 2, Delivered = 4;
    const struct { bool inSquare; int aboard, delivered, cues; } frames[] = {
        {false, 0, 0, 0}, {true, 0, 0, Entered}, {false, 0, 0, 0}, {true, 3, 0, PickedUp}, {false, 3, 0, 0},
        {true, 3, 0, Entered}, {true, 0, 1, Delivered}, {false, 0, 1, 0}, {true, 0, 2, Delivered}, {true, 0, 2, 0},
        {true, 5, 2, PickedUp},
    };
    FareWatch watch;
    FareGuide guide;
    for (const auto& f : frames) {
        guide.inSquare = f.inSquare, shift.passengerAboard = f.aboard, shift.deliveredCount = f.delivered;
        const FareCues cues = watchFare(watch, shift, guide);
        EXPECT_EQ(Entered * cues.entered + PickedUp * cues.pickedUp + Delivered * cues.delivered, f.cues) << "frame " << &f - frames;
    }
}

}  // namespace
}  // namespace hc
