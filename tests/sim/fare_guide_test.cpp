// The newcomer's guide: which square it points to, when the cab counts as inside it, and
// the moments its sounds follow.
#include "sim/fare_guide.h"

#include <gtest/gtest.h>

#include "sim/passengers.h"

namespace hc {
namespace {

TEST(FareGuide, PointsToTheSquareThatCountsAndSaysWhenTheCabIsInside) {
    Shift shift;
    shift.passengerCount = 4;
    const float pickups[5][2] = {{0, 0}, {100, 100}, {150, 100}, {90, 100}, {106, 92}};
    for (int k = 1; k <= 4; ++k) {
        shift.passengers[k].pickup.x = pickups[k][0], shift.passengers[k].pickup.y = pickups[k][1];
        shift.passengers[k].destination.x = 500.0f + k, shift.passengers[k].destination.y = 600.0f;
    }
    shift.passengers[3].delivered = FlagOn;  // the nearest has been driven already
    const struct { int aboard; float speed, carX, carY; bool inSquare, tooFast; float targetX; } cases[] = {
        {0, 0.0f, 92, 100, false, false, 100},      // passenger 1, 8 cells away
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
        shift.passengerAboard = c.aboard;
        car.x = c.carX, car.y = c.carY, car.vx = c.speed;
        const FareGuide guide = fareGuide(shift, car);
        EXPECT_TRUE(guide.active && guide.aboard == (c.aboard != 0) && guide.target.x == c.targetX) << c.carX;
        EXPECT_EQ(guide.inSquare, c.inSquare) << c.carX;
        EXPECT_EQ(guide.tooFast, c.tooFast) << c.carX;
    }
    shift.passengerAboard = 0;
    for (int k = 1; k <= 4; ++k) shift.passengers[k].delivered = FlagOn;
    EXPECT_FALSE(fareGuide(shift, car).active) << "everybody delivered: nothing to point to";
}

// A ride frame by frame: each moment sounds once, and a pick-up or drop-off is not also
// an entry, even when the next square that counts already holds the cab.
TEST(FareGuide, WatchReportsEachMomentOnce) {
    const struct { bool inSquare; int aboard, delivered; bool entered, pickedUp, deliveredCue; } frames[] = {
        {false, 0, 0, false, false, false}, {true, 0, 0, true, false, false},
        {false, 0, 0, false, false, false}, {true, 3, 0, false, true, false},  // in and picked up at once
        {false, 3, 0, false, false, false}, {true, 3, 0, true, false, false},
        {true, 0, 1, false, false, true},   {false, 0, 1, false, false, false},
        {true, 0, 2, false, false, true},   {true, 0, 2, false, false, false},
        {true, 5, 2, false, true, false},
    };
    FareWatch watch;
    Shift shift;
    FareGuide guide;
    for (const auto& f : frames) {
        guide.inSquare = f.inSquare;
        shift.passengerAboard = f.aboard, shift.deliveredCount = f.delivered;
        const FareCues cues = watchFare(watch, shift, guide);
        EXPECT_TRUE(cues.entered == f.entered && cues.pickedUp == f.pickedUp && cues.delivered == f.deliveredCue)
            << "frame " << &f - frames;
    }
}

}  // namespace
}  // namespace hc
