// The newcomer's guide: which square counts, when the cab is inside it, and its sounds.
#include "sim/fare_guide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "sim/passengers.h"
#include "sim_support.h"

namespace hc {
namespace {

TEST(FareGuide, PointsToTheSquareThatCountsAndReportsEachMomentOnce) {
    Shift shift;
    shift.passengerCount = 4;
    const float pickups[5][2] = {{0, 0}, {100, 100}, {150, 100}, {90, 100}, {106, 92}};
    for (int k = 1; k <= 4; ++k) shift.passengers[k].pickup.x = pickups[k][0], shift.passengers[k].pickup.y = pickups[k][1];
    // Passenger 3, the nearest, has been driven already; 2 rides to (502, 600).
    shift.passengers[3].delivered = FlagOn, shift.passengers[2].destination.x = 502, shift.passengers[2].destination.y = 600;
    shift.passengers[PassengerSlots].destination.x = 900, shift.passengers[PassengerSlots].destination.y = 300;
    // At the square's edge, a hair beyond, too fast, slow enough, nearer to 2, nearer to 4's spot but inside 1's square;
    // aboard: the destination at its corner, the last slot's too.
    const struct { int aboard; float speed, carX, carY; bool inSquare, tooFast; float targetX; } cases[] = {
        {0, 0.0f, 96, 100, true, false, 100}, {0, 0.0f, 95.99f, 100, false, false, 100}, {0, 0.1f, 97, 100, true, true, 100},
        {0, 0.09f, 97, 100, true, false, 100}, {0, 0.0f, 140, 100, false, false, 150}, {0, 0.0f, 104, 96.5f, true, false, 100},
        {2, 0.0f, 498, 604, true, false, 502}, {PassengerSlots, 0.0f, 890, 300, false, false, 900},
    };
    PlayerCar car;
    for (const auto& c : cases) {
        shift.passengerAboard = c.aboard, car.x = c.carX, car.y = c.carY, car.vx = c.speed;
        const FareGuide g = fareGuide(shift, car);
        EXPECT_EQ(std::tuple(g.active, g.aboard, g.target.x, g.inSquare, g.tooFast, g.distance == 0),
                  std::tuple(true, c.aboard != 0, c.targetX, c.inSquare, c.tooFast, c.inSquare)) << c.carX;
    }

    // Frame by frame: a pick-up or drop-off is never also an entry, even into the next square.
    constexpr int Entered = 1, PickedUp = 2, Delivered = 4;
    const struct { bool inSquare; int aboard, delivered, cues; } frames[] = {
        {false, 0, 0, 0}, {true, 0, 0, Entered}, {false, 0, 0, 0}, {true, 3, 0, PickedUp}, {false, 3, 0, 0}, {true, 3, 0, Entered},
        {true, 0, 1, Delivered}, {false, 0, 1, 0}, {true, 0, 2, Delivered}, {true, 0, 2, 0}, {true, 5, 2, PickedUp}};
    FareWatch watch;
    FareGuide guide;
    for (const auto& f : frames) {
        guide.inSquare = f.inSquare, shift.passengerAboard = f.aboard, shift.deliveredCount = f.delivered;
        const FareCues cues = watchFare(watch, shift, guide);
        EXPECT_EQ(Entered * cues.entered + PickedUp * cues.pickedUp + Delivered * cues.delivered, f.cues) << "frame " << &f - frames;
    }
}

// The distance counts from the square's edge in the fare's units, rounded up: 0 inside the square, never 0 outside.
TEST(FareGuide, DistanceIsZeroExactlyInsideTheSquare) {
    const Body spot{500, 700};
    const struct { float dx, dy; int64_t shown; } cases[] = {{4, 0, 0}, {-4, 4, 0}, {4.0625f, 0, 1}, {0, -4.0625f, 1}, {14, 0, 2}, {34, -44, 8}, {0, -100, 15}};
    PlayerCar car;
    for (const auto& c : cases) {
        car.x = spot.x + c.dx, car.y = spot.y + c.dy;
        EXPECT_EQ(guideDistance(car, spot), c.shown) << c.dx << ", " << c.dy;
    }
    int wrong = 0;  // along a row, a column and a diagonal through the square and past it
    for (int i = -400; i <= 400; ++i) {
        const float d = i / 32.0f;
        for (const auto& [ux, uy] : {std::pair{1.0f, 0.0f}, std::pair{0.0f, 1.0f}, std::pair{1.0f, 1.0f}}) {
            car.x = spot.x + d * ux, car.y = spot.y + d * uy;
            wrong += (guideDistance(car, spot) == 0) != inSquare(car, spot);
        }
    }
    EXPECT_EQ(wrong, 0);
    car.x = std::nanf("");
    EXPECT_GT(guideDistance(car, spot), 1000) << "a cab thrown to nowhere is far from every square";
}

// Once, after 120 ticks of throttle with the engine on and the cab within 3 cells of where the count began, or at the
// first quiet frame after; letting go starts the count anew.
TEST(StallWatch, SpeaksOnceAfterTwoSecondsOfThrottleWithoutGettingAway) {
    const struct { bool throttle, engine; float step; int gapAt, quietAt, first; } cases[] = {
        {true, true, 0.0f, 0, 0, 120}, {true, true, 0.01f, 0, 0, 120}, {true, true, 0.03f, 0, 0, 0}, {false, true, 0.0f, 0, 0, 0},
        {true, false, 0.0f, 0, 0, 0}, {true, true, 0.0f, 60, 0, 180}, {true, true, 0.0f, 0, 150, 150}};
    const test::MapPtr map = test::openGround(900, 900, 1100, 1100);
    for (const auto& c : cases) {
        Shift shift;
        PlayerCar car;
        FareWatch watch;
        std::vector<int> spoken;
        shift.engineRunning = toFlag(c.engine), car.x = car.y = 1000;
        for (int frame = 1; frame <= 400; ++frame, car.x += c.step) {
            shift.speechTimer = frame < c.quietAt ? 1.0 : 0.0;
            if (watchStall(watch, shift, car, *map, c.throttle && frame != c.gapAt, 1.0) != StallHint::None) spoken.push_back(frame);
        }
        EXPECT_EQ(spoken, c.first ? std::vector<int>{c.first} : std::vector<int>{}) << c.step << ' ' << c.gapAt;
    }
}

// A reversing cab is never sent to the reverse key; a car in the way ahead is traffic waiting for the cab, not a wall.
TEST(StallWatch, HintFollowsTheGearAndWhatIsInTheWay) {
    const struct { int heading; bool reverse; int carX, carY; StallHint hint; } cases[] = {
        {0, false, 0, 0, StallHint::Wall}, {0, false, 1002, 1000, StallHint::Traffic}, {0, false, 1003, 1001, StallHint::Traffic},
        {0, false, 998, 1000, StallHint::Wall}, {0, false, 1005, 1000, StallHint::Wall}, {900, false, 1000, 1002, StallHint::Traffic},
        {0, true, 998, 1000, StallHint::Behind}, {0, true, 0, 0, StallHint::Behind}, {0, true, 1002, 1000, StallHint::Behind},
        {0, false, 1001, 999, StallHint::Traffic}};  // a car in the next cell, beside the cab's line
    for (const auto& c : cases) {
        const test::MapPtr map = test::openGround(900, 900, 1100, 1100);
        if (c.carX) setCellFlag(cellAt(*map, c.carX, c.carY), Vehicle, true);
        Shift shift;
        PlayerCar car;
        FareWatch watch;
        shift.engineRunning = FlagOn, shift.reverseGear = toFlag(c.reverse), car.x = car.y = 1000.5f, car.heading = static_cast<float>(c.heading);
        StallHint said = StallHint::None;
        for (int frame = 1; frame <= 130 && said == StallHint::None; ++frame) said = watchStall(watch, shift, car, *map, true, 1.0);
        EXPECT_EQ(said, c.hint) << c.heading << ' ' << c.reverse << ' ' << c.carX << ',' << c.carY;
    }
}

// The way by road from the cab's cell (950, 950) to the square at (1050, 950), past a wall across x = 1000: round by a
// gap the cab's box fits through (three cells), never a narrower one, ending at the square's nearest cell.
TEST(FareRoute, GoesRoundAWallThroughAGapWithRoomAndFollowsTheGuide) {
    const struct { int gapFrom, gapTo; size_t length; } cases[] = {{1060, 1100, 316}, {1049, 1051, 294}, {1049, 1050, 0}, {1050, 1050, 0}, {0, 0, 0}, {900, 1100, 97}};
    Shift shift;
    shift.passengerCount = 1, shift.passengers[1].pickup = Body{1050, 950}, shift.passengers[1].destination = Body{950, 1050};
    const PlayerCar car{.x = 950.5f, .y = 950.5f};
    for (const auto& c : cases) {
        const test::MapPtr map = test::openGround(900, 900, 1100, 1100);
        test::putWall(*map, 1000, 900, 1000, 1100);
        if (c.gapFrom) fillRect(*map, cellAt(*map, 950, 950), 1000, c.gapFrom, 1000, c.gapTo);
        FareRoute route;
        int calls = 0, changes = 0;  // a few cells a call: the search carries on where it stopped, each call a change
        do ++calls, changes += updateFareRoute(route, *map, car, fareGuide(shift, car), 4000); while (route.searching && calls < 100);
        // The shortest way: straight along x, or down to the gap and back up (a wall cell on it would cut it short).
        EXPECT_EQ(std::tuple(route.found, route.cells.size(), route.cells.empty() || route.cells.front() == 950 * MapSize + 950, changes), std::tuple(c.length > 0, c.length, true, calls)) << c.gapFrom << ".." << c.gapTo;
        if (c.length != 97) continue;
        // No new search for the same cell and square; aboard, into the destination's nearest cell instead; none once
        // everybody is delivered.
        const struct { int aboard; uint8_t delivered; bool changed; int32_t last; } follow[] = {
            {0, FlagOff, false, 1046 * MapSize + 950}, {1, FlagOff, true, 950 * MapSize + 1046}, {0, FlagOn, true, -1}};
        for (const auto& f : follow) {
            shift.passengerAboard = f.aboard, shift.passengers[1].delivered = f.delivered;
            const bool changed = updateFareRoute(route, *map, car, fareGuide(shift, car));
            EXPECT_EQ(std::tuple(changed, route.found, route.cells.empty() ? -1 : route.cells.back()), std::tuple(f.changed, f.last >= 0, f.last)) << f.aboard;
        }
    }
}

// With the assists, every square that counts is one closed outline: the game's 48 marks and the eight cells that
// close the middles of its sides; a square that does not count stays as the game marks it.
TEST(FareGuide, OutlinesCloseOnlyTheSquaresThatCount) {
    const test::MapPtr map = test::openGround(0, 0, 1200, 1200);
    Shift shift;
    shift.passengers[1].pickup = Body{100, 100}, shift.passengers[2].pickup = Body{300, 100};
    shift.passengers[2].destination = Body{600, 600};
    for (int k = 3; k <= PassengerSlots; ++k) shift.passengers[k].delivered = FlagOn;
    auto marked = [&](const Body& spot) {
        int n = 0;
        for (int i = -6; i <= 6; ++i)
            for (int j = -6; j <= 6; ++j) n += hasFlag(cellAt(*map, static_cast<int>(spot.x) + i, static_cast<int>(spot.y) + j), PickupMark);
        return n;
    };
    const struct { int aboard; int pickup1, pickup2, destination; } cases[] = {{0, 56, 56, 0}, {2, 48, 48, 56}};
    for (const auto& c : cases) {
        clearMarks(*map);
        for (const Body& spot : {shift.passengers[1].pickup, shift.passengers[2].pickup, shift.passengers[2].destination}) markSquare(*map, spot);
        shift.passengerAboard = c.aboard;
        closeSquareOutlines(shift, *map);
        EXPECT_EQ(std::tuple(marked(shift.passengers[1].pickup), marked(shift.passengers[2].pickup), marked(shift.passengers[2].destination)),
                  std::tuple(c.pickup1, c.pickup2, c.aboard ? c.destination : 48)) << c.aboard;
    }
}

}  // namespace
}  // namespace hc
