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
        for (int y = y1; y <= y2; ++y) marks += hasFlag(cellAt(map, x, y), PickupMark);
    return marks;
}

TEST(Fares, PayFifteenHundredthsOfAPointPerCellRoundedDown) {
    struct Case {
        float x1, y1, x2, y2;
        int64_t fare;
    };
    const Case cases[] = {{100, 100, 106, 103, 1} /* 6.71 cells */, {100, 100, 106, 102, 0} /* 6.32 */,
                          {100, 100, 100, 100, 0}, {100, 100, 1100, 100, 150}, {700, 1100, 100, 300, 150},
                          {4, 4, 2043, 2043, 432}};
    for (const Case& c : cases) EXPECT_EQ(tripFare(spotAt(c.x1, c.y1), spotAt(c.x2, c.y2)), c.fare) << c.x2;
}

TEST(Marks, SquareFrameSkipsTheGridsEdgeAndClearingReachesEveryCell) {
    MapPtr map = test::openGround(0, 0, MapSize - 1, 200);
    markSquare(*map, spotAt(100, 50));
    // Rows y = 46 .. 54 of the 9 by 9 square: a two-cell frame with a gap in each side.
    std::string rows;
    for (int y = 46; y <= 54; ++y)
        for (int x = 96; x <= 104; ++x) rows += hasFlag(cellAt(*map, x, y), PickupMark) ? '#' : '.';
    EXPECT_EQ(rows, "####.####" "####.####" "##.....##" "##.....##" "........." "##.....##" "##.....##"
                    "####.####" "####.####");
    EXPECT_EQ(countMarks(*map, 0, 0, 200, 200), 48);
    EXPECT_TRUE(hasFlag(cellAt(*map, 96, 46), Passable));  // the rest of the cell stays
    markSquare(*map, spotAt(1, 199));                      // cells off the grid are skipped
    EXPECT_EQ(countMarks(*map, 0, 190, 10, 208), 28);

    const MapCell before = cellAt(*map, 7, 1);
    for (int x : {0, 7, MapSize - 1})
        for (int y : {0, 1, MapSize - 1}) setCellFlag(cellAt(*map, x, y), PickupMark, true);
    clearMarks(*map);
    EXPECT_EQ(countMarks(*map, 0, 0, MapSize - 1, 1) + countMarks(*map, 0, MapSize - 1, MapSize - 1, MapSize - 1), 0);
    EXPECT_EQ(countMarks(*map, 0, 0, 200, 200), 0);
    EXPECT_TRUE(cellAt(*map, 7, 1) == before);
}

TEST(Spots, ChooseSpotKeepsTheTwentyFirstDrawOnAMapWithNoRoom) {
    MapPtr solid(newCityMap());
    seedRandom(9);
    std::vector<double> draws(43);
    for (double& r : draws) r = nextRandom();
    seedRandom(9);
    const Body kept = chooseSpot(*solid);
    EXPECT_EQ(kept.x, std::floor(2048 * draws[40]));
    EXPECT_EQ(kept.y, std::floor(2048 * draws[41]));
    EXPECT_EQ(nextRandom(), draws[42]);
    // On open ground the first draw of x and y within 4 .. 2043 wins.
    MapPtr open = test::openGround(0, 0, MapSize - 1, MapSize - 1);
    auto inside = [](double r) { return std::floor(2048 * r) >= 4 && std::floor(2048 * r) <= 2043; };
    size_t k = 0;
    while (!(inside(draws[k]) && inside(draws[k + 1]))) k += 2;
    seedRandom(9);
    const Body free = chooseSpot(*open);
    EXPECT_TRUE(free.x == std::floor(2048 * draws[k]) && free.y == std::floor(2048 * draws[k + 1])) << k;
}

class ShiftTest : public ::testing::Test {
protected:
    void SetUp() override {
        seedRandom(21);
        map = test::openGround(900, 900, 1300, 1300);
        for (int k = 1; k <= PassengerSlots; ++k) {
            Passenger& p = cab.shift.passengers[k];
            p.pickup = k == 1 ? spotAt(1040, 1034) : spotAt(950 + 20.0f * k, 1200);
            p.destination = k == 1 ? spotAt(1100, 1034) : spotAt(1000, 1250);
            p.fare = k == 1 ? 9 : 20 + k;
            composeDialogue(p, k == 1 ? 1 : 7);
        }
        markPickups(cab.shift, *map);
    }
    // Frames of the car standing still (and the clock), until the condition holds.
    template <typename Done>
    int standUntil(Done done, int most = 40) {
        int frames = 0;
        for (; !done() && frames < most; ++frames) {
            cab.drive(*map);
            advanceClock(cab.shift, 1.0);
        }
        return frames;
    }
    MapPtr map;
    Cab cab;
};

TEST_F(ShiftTest, PickUpMarksOnlyTheDestinationAndDropOffBringsTheOthersBack) {
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 16 * 48);
    tryPickUp(cab.shift, *map, 1);
    EXPECT_EQ(cab.shift.passengerAboard, 1);
    EXPECT_EQ(cab.shift.speechText, cab.shift.passengers[1].requestLine);
    EXPECT_EQ(cab.shift.speechTimer, 300.0);
    EXPECT_EQ(countMarks(*map, 1096, 1030, 1104, 1038), 48);
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 48);
    tryDropOff(cab.shift, *map, 1);
    EXPECT_TRUE(cab.shift.passengerAboard == 0 && isOn(cab.shift.passengers[1].delivered));
    EXPECT_EQ(cab.shift.deliveredCount, 1);
    EXPECT_EQ(cab.shift.speechText, cab.shift.passengers[1].thanksLine);
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 15 * 48);
    // A delivered passenger is never picked up again, nor dropped off twice.
    tryPickUp(cab.shift, *map, 1);
    tryDropOff(cab.shift, *map, 1);
    EXPECT_TRUE(cab.shift.passengerAboard == 0 && cab.shift.deliveredCount == 1);
}

TEST_F(ShiftTest, CarTestsOneSlotPerFrameAndOnlyWhenNearlyStopped) {
    cab.shift.frameCounter = 1;  // slot 2 is tested: passenger 1 is not looked at
    cab.drive(*map);
    cab.shift.frameCounter = 16;  // slot 1, but rolling at 0.1
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
    standUntil([] { return false; }, 16);
    EXPECT_EQ(cab.shift.passengerAboard, 1);
    // At the destination the drop-off comes within 16 frames, on a frame testing slot 1.
    cab.placeAt(1100, 1034);
    EXPECT_LE(standUntil([&] { return cab.shift.passengerAboard == 0; }), 16);
    EXPECT_EQ(cab.shift.passengerAboard, 0);
    EXPECT_EQ(cab.shift.frameCounter % 16, 1);
    // A destination overlapping the pick-up square delivers when the slot comes round.
    cab.placeAt(1040, 1034);
    cab.shift.passengers[1].delivered = FlagOff;
    cab.shift.passengers[1].destination = spotAt(1043, 1036);
    cab.shift.frameCounter = 0;
    EXPECT_EQ(standUntil([&] { return cab.shift.passengerAboard == 1; }), 1);
    EXPECT_EQ(standUntil([&] { return cab.shift.passengerAboard == 0; }), 16);
}

TEST_F(ShiftTest, MeterCountsIntoTheScoreOnlyWithNobodyAboard) {
    tryPickUp(cab.shift, *map, 1);
    advanceClock(cab.shift, 1.0);
    EXPECT_TRUE(cab.shift.pendingFare == 9 && cab.shift.score == 0);
    tryDropOff(cab.shift, *map, 1);
    for (int i = 0; i < 5; ++i) advanceClock(cab.shift, 7.0);  // one point per frame at any dt
    EXPECT_TRUE(cab.shift.pendingFare == 4 && cab.shift.score == 5);
    // The next pick-up replaces what is left on the meter; it never reaches the score.
    tryPickUp(cab.shift, *map, 2);
    EXPECT_EQ(cab.shift.pendingFare, 22);
    tryDropOff(cab.shift, *map, 2);
    for (int i = 0; i < 100; ++i) advanceClock(cab.shift, 1.0);
    EXPECT_TRUE(cab.shift.score == 27 && cab.shift.pendingFare == 0);
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
    for (; !shiftOver(shift); ++frames) {
        if (frames == 240) {
            EXPECT_TRUE(shift.minutesLeft == 0 && shift.secondsLeft == 0.0);
        }
        advanceClock(shift, 50.0);
    }
    EXPECT_EQ(frames, 241);
    EXPECT_EQ(shift.minutesLeft, -1);
    setTimeLimit(shift, 0);
    advanceClock(shift, 0.5);
    EXPECT_TRUE(shiftOver(shift));
    EXPECT_EQ(shift.frameCounter, 1 + 241 + 1);
}

TEST(StartShift, ResetsTheCabAndDrawsTrafficThenPassengersInOrder) {
    MapPtr map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
    Cab cab;
    cab.shift.engineRunning = cab.shift.reverseGear = cab.shift.mapView = cab.shift.raining = FlagOn;
    cab.shift.engineHeat = 3;
    cab.shift.raindrops[7].active = FlagOn;
    cab.car.vx = 1;
    cab.car.heading = 450;
    std::vector<TrafficCar> traffic(128);
    seedRandom(77);
    std::vector<double> draws(3 * 128 + 16);
    for (double& r : draws) r = nextRandom();
    seedRandom(77);
    startShift(cab.shift, cab.car, *map, traffic.data(), 128);

    const Shift& s = cab.shift;
    EXPECT_FALSE(isOn(s.engineRunning) || isOn(s.reverseGear) || isOn(s.mapView) || isOn(s.raining));
    EXPECT_FALSE(isOn(s.raindrops[7].active));
    EXPECT_TRUE(s.engineHeat == 0.0f && cab.car.vx == 0.0f && cab.car.heading == 0.0f && cab.car.x == 1040.0f);
    EXPECT_DOUBLE_EQ(s.wiperAngle, 1.02 * 3.14159);
    EXPECT_TRUE(s.nextRaindrop == 1 && s.raindrops[7].body.travelRate == 1.0f);
    // Every car takes its crossing from three draws (x, y, model) on an open map.
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(traffic[i].motion.x, (std::floor(14 * draws[3 * i]) + 1) * 128);
        EXPECT_EQ(traffic[i].motion.y, (std::floor(14 * draws[3 * i + 1]) + 1) * 128 + 4);
        EXPECT_EQ(traffic[i].model, std::floor(5 * draws[3 * i + 2]) + 1);
    }
    // Then passenger 1: pick-up, destination, portrait, 7 dialogue draws (or 8).
    const Passenger& first = s.passengers[1];
    const double* p = &draws[3 * 128];
    EXPECT_TRUE(first.pickup.x == std::floor(2048 * p[0]) && first.pickup.y == std::floor(2048 * p[1]));
    EXPECT_TRUE(first.destination.x == std::floor(2048 * p[2]) && first.destination.y == std::floor(2048 * p[3]));
    EXPECT_EQ(first.portrait, std::floor(8 * p[4]) + 1);
    const int next = first.portrait == 4 ? 13 : 12;
    EXPECT_EQ(s.passengers[2].pickup.x, std::floor(2048 * p[next])) << "passenger 2 draws after passenger 1";
    EXPECT_TRUE(s.passengerCount == 16 && s.passengerAboard == 0);
    for (int k = 1; k <= PassengerSlots; ++k) EXPECT_EQ(s.passengers[k].fare, tripFare(s.passengers[k].pickup, s.passengers[k].destination));
}

TEST(StartShift, DoesNotHangWithoutAFreeCrossing) {
    MapPtr solid(newCityMap());
    Cab cab;
    std::vector<TrafficCar> traffic(2);
    seedRandom(1);
    startShift(cab.shift, cab.car, *solid, traffic.data(), 2);
    EXPECT_EQ(cab.shift.passengerCount, 16);
    stampTrafficCar(traffic[0], *solid);  // never placed on a street, it writes nothing
    EXPECT_TRUE(isOn(traffic[0].blocked));
}

}  // namespace
}  // namespace hc
