#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/dialogue.h"
#include "sim_support.h"

namespace hc {
namespace {

using test::Cab;
using test::MapPtr;

Body spotAt(float x, float y) {
    Body spot{};
    spot.x = x;
    spot.y = y;
    return spot;
}

int countMarks(const CityMap& map, int x1, int y1, int x2, int y2) {
    int marks = 0;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) marks += hasFlag(cellAt(map, x, y), PickupMark) ? 1 : 0;
    return marks;
}

TEST(Fares, GrowWithTheStraightLineDistance) {
    EXPECT_EQ(tripFare(spotAt(100, 100), spotAt(106, 103)), 1);   // 6.71 cells
    EXPECT_EQ(tripFare(spotAt(100, 100), spotAt(106, 102)), 0);   // 6.32 cells
    EXPECT_EQ(tripFare(spotAt(100, 100), spotAt(100, 100)), 0);
    EXPECT_EQ(tripFare(spotAt(100, 100), spotAt(1100, 100)), 150);
    EXPECT_EQ(tripFare(spotAt(700, 1100), spotAt(100, 300)), 150);  // 600, 800: 1000 cells
    EXPECT_EQ(tripFare(spotAt(4, 4), spotAt(2043, 2043)), 432);
}

TEST(Marks, SquareFrameAndWholeGridClear) {
    MapPtr map = test::openGround(0, 0, MapSize - 1, 200);
    markSquare(*map, spotAt(100, 50));
    EXPECT_EQ(countMarks(*map, 0, 0, 200, 200), 48);
    EXPECT_TRUE(hasFlag(cellAt(*map, 96, 46), PickupMark));
    EXPECT_TRUE(hasFlag(cellAt(*map, 97, 53), PickupMark));
    EXPECT_FALSE(hasFlag(cellAt(*map, 100, 46), PickupMark));  // gap in the middle of a side
    EXPECT_FALSE(hasFlag(cellAt(*map, 98, 48), PickupMark));   // inside the frame
    EXPECT_TRUE(hasFlag(cellAt(*map, 96, 46), Passable));      // the rest of the cell stays
    markSquare(*map, spotAt(1, 199));                           // cells off the grid skipped
    EXPECT_EQ(countMarks(*map, 0, 190, 10, 208), 28);

    const MapCell before = cellAt(*map, 7, 1);
    for (int x : {0, 7, MapSize - 1})
        for (int y : {0, 1, MapSize - 1}) setCellFlag(cellAt(*map, x, y), PickupMark, true);
    clearMarks(*map);
    for (int x : {0, 7, MapSize - 1})
        for (int y : {0, 1, MapSize - 1}) EXPECT_FALSE(hasFlag(cellAt(*map, x, y), PickupMark));
    EXPECT_EQ(countMarks(*map, 0, 0, 200, 200), 0);
    EXPECT_TRUE(cellAt(*map, 7, 1) == before);
}

TEST(Spots, ChooseSpotNeedsAClearSquare) {
    // On a map with no room at all, 21 draws are made and the last is kept.
    MapPtr solid(newCityMap());
    seedRandom(9);
    std::vector<double> draws;
    for (int i = 0; i < 43; ++i) draws.push_back(nextRandom());
    seedRandom(9);
    const Body kept = chooseSpot(*solid);
    EXPECT_EQ(kept.x, std::floor(2048 * draws[40]));
    EXPECT_EQ(kept.y, std::floor(2048 * draws[41]));
    EXPECT_EQ(nextRandom(), draws[42]);
    EXPECT_EQ(kept.heading, 0.0f);
}

class ShiftTest : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(21);
        map = test::openGround(900, 900, 1300, 1300);
        Passenger& one = cab.shift.passengers[1];
        one.pickup = spotAt(1040, 1034);
        one.destination = spotAt(1100, 1034);
        one.fare = tripFare(one.pickup, one.destination);
        composeDialogue(one, 1);
        for (int k = 2; k <= PassengerSlots; ++k) {
            Passenger& p = cab.shift.passengers[k];
            p.pickup = spotAt(950 + 20.0f * k, 1200);
            p.destination = spotAt(1000, 1250);
            p.fare = 20 + k;
            composeDialogue(p, 7);
        }
        cab.shift.passengerCount = PassengerSlots;
        markPickups(cab.shift, *map);
    }
    MapPtr map;
    Cab cab;
};

TEST_F(ShiftTest, PickUpMarksOnlyTheDestination) {
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 16 * 48);
    tryPickUp(cab.shift, *map, 1);
    EXPECT_EQ(cab.shift.passengerAboard, 1);
    EXPECT_EQ(cab.shift.pendingFare, 9);
    EXPECT_EQ(cab.shift.speechText, cab.shift.passengers[1].requestLine);
    EXPECT_EQ(cab.shift.speechTimer, 300.0);
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 48);
    EXPECT_EQ(countMarks(*map, 1096, 1030, 1104, 1038), 48);

    tryDropOff(cab.shift, *map, 1);
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    EXPECT_TRUE(isOn(cab.shift.passengers[1].delivered));
    EXPECT_EQ(cab.shift.deliveredCount, 1);
    EXPECT_EQ(cab.shift.speechText, cab.shift.passengers[1].thanksLine);
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 15 * 48);
    EXPECT_EQ(countMarks(*map, 1030, 1024, 1050, 1044), 0);

    // A delivered passenger is never picked up again, nor dropped off twice.
    tryPickUp(cab.shift, *map, 1);
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    tryDropOff(cab.shift, *map, 1);
    EXPECT_EQ(cab.shift.deliveredCount, 1);
}

TEST_F(ShiftTest, CarTestsOneSlotPerFrameAndOnlyWhenNearlyStopped) {
    // Slot 2 is tested on this frame: passenger 1 is not looked at.
    cab.shift.frameCounter = 1;
    cab.drive(*map);
    EXPECT_EQ(cab.shift.passengerAboard, 0);

    // Rolling at 0.1: no pick-up even on passenger 1's slot.
    cab.shift.frameCounter = 16;
    cab.car.vx = 0.1f;
    cab.drive(*map);
    EXPECT_EQ(cab.shift.passengerAboard, 0);

    cab.placeAt(1043.9f, 1030.1f);  // inside the square, near its corner
    cab.car.vx = 0.05f;
    cab.shift.frameCounter = 32;
    cab.drive(*map);
    EXPECT_EQ(cab.shift.passengerAboard, 1);

    // Standing in another waiting passenger's square with one aboard does nothing.
    cab.placeAt(990, 1200);
    for (int i = 0; i < 16; ++i) {
        cab.drive(*map);
        advanceClock(cab.shift, 1.0);
    }
    EXPECT_EQ(cab.shift.passengerAboard, 1);

    // At the destination the drop-off comes within 16 frames, when the slot comes round.
    cab.placeAt(1100, 1034);
    int frames = 0;
    while (cab.shift.passengerAboard != 0 && frames < 40) {
        cab.drive(*map);
        advanceClock(cab.shift, 1.0);
        ++frames;
    }
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    EXPECT_LE(frames, 16);
    EXPECT_EQ(cab.shift.frameCounter % 16, 1);  // dropped off on a frame that tested slot 1
}

TEST_F(ShiftTest, OverlappingSquaresDeliverOnTheNextRoundOfSlots) {
    Passenger& one = cab.shift.passengers[1];
    one.destination = spotAt(1043, 1036);
    cab.shift.frameCounter = 0;
    cab.drive(*map);
    advanceClock(cab.shift, 1.0);
    ASSERT_EQ(cab.shift.passengerAboard, 1);
    for (int i = 0; i < 15; ++i) {
        cab.drive(*map);
        advanceClock(cab.shift, 1.0);
    }
    EXPECT_EQ(cab.shift.passengerAboard, 1);
    cab.drive(*map);
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    EXPECT_EQ(cab.shift.deliveredCount, 1);
}

TEST_F(ShiftTest, MeterCountsIntoTheScoreOnlyWithNobodyAboard) {
    tryPickUp(cab.shift, *map, 1);
    advanceClock(cab.shift, 1.0);
    EXPECT_EQ(cab.shift.pendingFare, 9);
    EXPECT_EQ(cab.shift.score, 0);
    tryDropOff(cab.shift, *map, 1);
    for (int i = 0; i < 5; ++i) advanceClock(cab.shift, 7.0);  // one point per frame at any dt
    EXPECT_EQ(cab.shift.pendingFare, 4);
    EXPECT_EQ(cab.shift.score, 5);

    // The next pick-up replaces what is left on the meter; it never reaches the score.
    tryPickUp(cab.shift, *map, 2);
    EXPECT_EQ(cab.shift.pendingFare, 22);
    tryDropOff(cab.shift, *map, 2);
    for (int i = 0; i < 100; ++i) advanceClock(cab.shift, 1.0);
    EXPECT_EQ(cab.shift.score, 27);
    EXPECT_EQ(cab.shift.pendingFare, 0);
}

TEST(Clock, ShiftLastsExactlyTheTimeLimit) {
    Shift shift;
    setTimeLimit(shift, 4);
    advanceClock(shift, 1.0);
    EXPECT_EQ(shift.minutesLeft, 3);
    EXPECT_NEAR(shift.secondsLeft, 59.98, 1e-9);

    // With one-second frames the arithmetic is exact: the frame that reaches 0:00 is
    // still played, and the next one ends the shift.
    setTimeLimit(shift, 4);
    int frames = 0;
    while (!shiftOver(shift)) {
        advanceClock(shift, 50.0);
        ++frames;
        if (frames == 240) {
            EXPECT_EQ(shift.minutesLeft, 0);
            EXPECT_EQ(shift.secondsLeft, 0.0);
        }
    }
    EXPECT_EQ(frames, 241);
    EXPECT_EQ(shift.minutesLeft, -1);

    // At 50 frames a second it ends after 12000 frames, give or take rounding.
    setTimeLimit(shift, 4);
    frames = 0;
    while (!shiftOver(shift) && frames < 20000) {
        advanceClock(shift, 1.0);
        ++frames;
    }
    EXPECT_GE(frames, 12000);
    EXPECT_LE(frames, 12001);

    setTimeLimit(shift, 0);
    advanceClock(shift, 0.5);
    EXPECT_TRUE(shiftOver(shift));
    EXPECT_EQ(shift.frameCounter, 1 + 241 + frames + 1);
}

TEST(StartShift, ResetsTheCabPlacesTrafficAndPassengers) {
    MapPtr map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
    Cab cab;
    cab.shift.engineRunning = FlagOn;
    cab.shift.reverseGear = FlagOn;
    cab.shift.mapView = FlagOn;
    cab.shift.engineHeat = 3;
    cab.shift.raindrops[7].active = FlagOn;
    cab.shift.raining = FlagOn;
    cab.car.vx = 1;
    cab.car.heading = 450;
    std::vector<TrafficCar> traffic(128);

    seedRandom(77);
    std::vector<double> draws;
    for (int i = 0; i < 3 * 128 + 4; ++i) draws.push_back(nextRandom());
    seedRandom(77);
    startShift(cab.shift, cab.car, *map, traffic.data(), 128);

    const Shift& s = cab.shift;
    EXPECT_FALSE(isOn(s.engineRunning) || isOn(s.reverseGear) || isOn(s.mapView));
    EXPECT_FALSE(isOn(s.raining) || isOn(s.raindrops[7].active));
    EXPECT_EQ(s.engineHeat, 0.0f);
    EXPECT_EQ(cab.car.vx, 0.0f);
    EXPECT_EQ(cab.car.heading, 0.0f);
    EXPECT_EQ(cab.car.x, 1040.0f);
    EXPECT_DOUBLE_EQ(s.wiperAngle, 1.02 * 3.14159);
    EXPECT_EQ(s.nextRaindrop, 1);
    EXPECT_EQ(s.raindrops[7].body.travelRate, 1.0f);

    // Every car takes its crossing from three draws (x, y, model) on an open map.
    for (int i = 0; i < 128; ++i) {
        const TrafficCar& car = traffic[i];
        EXPECT_EQ(car.motion.x, (std::floor(14 * draws[3 * i]) + 1) * 128);
        EXPECT_EQ(car.motion.y, (std::floor(14 * draws[3 * i + 1]) + 1) * 128 + 4);
        EXPECT_EQ(car.model, std::floor(5 * draws[3 * i + 2]) + 1);
        EXPECT_EQ(car.fwdX, 1);
    }
    const Passenger& first = cab.shift.passengers[1];
    const double px = std::floor(2048 * draws[384]), py = std::floor(2048 * draws[385]);
    ASSERT_TRUE(px >= 4 && px <= 2043 && py >= 4 && py <= 2043);
    EXPECT_EQ(first.pickup.x, px);
    EXPECT_EQ(first.pickup.y, py);

    EXPECT_EQ(cab.shift.passengerCount, 16);
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    for (int k = 1; k <= PassengerSlots; ++k) {
        const Passenger& p = cab.shift.passengers[k];
        EXPECT_EQ(p.fare, tripFare(p.pickup, p.destination));
        EXPECT_TRUE(p.portrait >= 1 && p.portrait <= 8);
        EXPECT_FALSE(isBlocked(*map, p.destination.x + 4, p.destination.y - 4));
    }
}

TEST(StartShift, DoesNotHangWithoutAFreeCrossing) {
    MapPtr solid(newCityMap());
    Cab cab;
    std::vector<TrafficCar> traffic(2);
    seedRandom(1);
    startShift(cab.shift, cab.car, *solid, traffic.data(), 2);
    EXPECT_EQ(cab.shift.passengerCount, 16);
    // The cars, never placed on a street, are refused by the grid and write nothing.
    stampTrafficCar(traffic[0], *solid);
    EXPECT_TRUE(isOn(traffic[0].blocked));
}

}  // namespace
}  // namespace hc
