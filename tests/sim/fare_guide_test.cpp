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
        shift.passengers[k].pickup.x = pickups[k][0];
        shift.passengers[k].pickup.y = pickups[k][1];
        shift.passengers[k].destination.x = 500.0f + k;
        shift.passengers[k].destination.y = 600.0f;
    }
    shift.passengers[3].delivered = FlagOn;  // the nearest has been driven already
    PlayerCar car;
    struct Case {
        int aboard;
        float speed, carX, carY;
        bool aboardFlag, inSquare, tooFast;
        float targetX;
    };
    const Case cases[] = {
        {0, 0.0f, 92, 100, false, false, false, 100},      // passenger 1, 8 cells away
        {0, 0.0f, 96, 100, false, true, false, 100},       // at the square's edge: inside
        {0, 0.0f, 95.99f, 100, false, false, false, 100},  // a hair beyond it
        {0, 0.1f, 97, 100, false, true, true, 100},        // inside, too fast to count
        {0, 0.09f, 97, 100, false, true, false, 100},      // slow enough
        {0, 0.0f, 140, 100, false, false, false, 150},     // nearer to passenger 2 now
        // Nearer to passenger 4's spot, but inside only passenger 1's square.
        {0, 0.0f, 104, 96.5f, false, true, false, 100},
        {2, 0.0f, 92, 100, true, false, false, 502},       // aboard: the destination
        {2, 0.0f, 498, 604, true, true, false, 502},
    };
    for (const Case& c : cases) {
        shift.passengerAboard = c.aboard;
        car.x = c.carX;
        car.y = c.carY;
        car.vx = c.speed;
        const FareGuide guide = fareGuide(shift, car);
        EXPECT_TRUE(guide.active) << c.carX;
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

// A ride frame by frame: each moment sounds once, and a pick-up or drop-off is not also
// an entry, even when the next square counting already holds the cab.
TEST(FareGuide, WatchReportsEachMomentOnce) {
    struct Frame {
        bool inSquare;
        int aboard, delivered;
        bool entered, pickedUp, deliveredCue;
    };
    const Frame frames[] = {
        {false, 0, 0, false, false, false}, {true, 0, 0, true, false, false},
        {true, 0, 0, false, false, false},  {true, 3, 0, false, true, false},   // the trip ends where it began
        {false, 3, 0, false, false, false}, {true, 3, 0, true, false, false},
        {true, 0, 1, false, false, true},   {true, 0, 1, false, false, false},
        {false, 0, 1, false, false, false}, {true, 0, 1, true, false, false},
        {true, 5, 1, false, true, false},
    };
    FareWatch watch;
    Shift shift;
    int n = 0;
    for (const Frame& f : frames) {
        FareGuide guide;
        guide.inSquare = f.inSquare;
        shift.passengerAboard = f.aboard;
        shift.deliveredCount = f.delivered;
        const FareCues cues = watchFare(watch, shift, guide);
        EXPECT_EQ(cues.entered, f.entered) << "frame " << n;
        EXPECT_EQ(cues.pickedUp, f.pickedUp) << "frame " << n;
        EXPECT_EQ(cues.delivered, f.deliveredCue) << "frame " << n;
        ++n;
    }
}

}  // namespace
}  // namespace hc
