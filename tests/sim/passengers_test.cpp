#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "sim/dialogue.h"
#include "sim_support.h"

namespace hc {
namespace {

using test::Cab;
using test::MapPtr;

int countMarks(const CityMap& map, int x1, int y1, int x2, int y2) {
    int marks = 0;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) marks += hasFlag(cellAt(map, x, y), PickupMark);
    return marks;
}

TEST(Fares, PayFifteenHundredthsOfAPointPerCellRoundedDown) {
    const float trips[][5] = {{100, 100, 106, 103, 1} /* 6.71 cells */, {100, 100, 106, 102, 0} /* 6.32 */,
                              {100, 100, 1100, 100, 150}, {700, 1100, 100, 300, 150}, {4, 4, 2043, 2043, 432}};
    for (const auto& t : trips) EXPECT_EQ(tripFare(Body{t[0], t[1]}, Body{t[2], t[3]}), t[4]) << t[2];
}

TEST(Marks, SquareFrameSkipsTheGridsEdgeAndClearingReachesEveryCell) {
    MapPtr map = test::openGround(0, 0, MapSize - 1, 200);
    markSquare(*map, Body{100, 50});
    std::string rows;  // y = 46 .. 54: a two-cell frame with a gap in the middle of each side
    for (int y = 46; y <= 54; ++y)
        for (int x = 96; x <= 104; ++x) rows += hasFlag(cellAt(*map, x, y), PickupMark) ? '#' : '.';
    EXPECT_EQ(rows, "####.####" "####.####" "##.....##" "##.....##" "........." "##.....##" "##.....##"
                    "####.####" "####.####");
    markSquare(*map, Body{1, 199});  // cells off the grid are skipped
    EXPECT_EQ(std::tuple(countMarks(*map, 0, 0, 200, 208), hasFlag(cellAt(*map, 96, 46), Passable)), std::tuple(48 + 28, true));
    for (int x : {0, 7, MapSize - 1})
        for (int y : {0, 1, MapSize - 1}) setCellFlag(cellAt(*map, x, y), PickupMark, true);
    clearMarks(*map);  // every cell, and only the mark
    EXPECT_EQ(countMarks(*map, 0, 0, MapSize - 1, 1) + countMarks(*map, 0, MapSize - 1, MapSize - 1, MapSize - 1) +
                  countMarks(*map, 0, 0, 200, 200), 0);
    EXPECT_EQ(cellAt(*map, 7, 1).flags, Passable);
}

// Passenger 1 waits at (1040, 1034) for (1100, 1034) paying 9; the others further off.
class ShiftTest : public ::testing::Test {
protected:
    MapPtr map = test::openGround(900, 900, 1300, 1300);
    Cab cab;
    Shift& s = cab.shift;
    void SetUp() override {
        for (int k = 1; k <= PassengerSlots; ++k) {
            Passenger& p = s.passengers[k];
            p.pickup = k == 1 ? Body{1040, 1034} : Body{950 + 20.0f * k, 1200};
            p.destination = k == 1 ? Body{1100, 1034} : Body{1000, 1250};
            p.fare = k == 1 ? 9 : 20 + k;
            p.requestLine = "request " + std::to_string(k), p.thanksLine = "thanks " + std::to_string(k);
        }
        markPickups(s, *map);
    }
    // How many frames of standing still it takes until done() holds.
    template <typename Done>
    int standUntil(Done done, int most = 40) {
        int frames = 0;
        for (; !done() && frames < most; ++frames) cab.drive(*map), advanceClock(s, 1.0);
        return frames;
    }
};

TEST_F(ShiftTest, PickUpAndDropOffMoveTheMarksAndTheMeter) {
    EXPECT_EQ(countMarks(*map, 900, 900, 1300, 1300), 16 * 48);
    tryPickUp(s, *map, 1);  // only the destination is marked
    EXPECT_EQ(std::tuple(s.passengerAboard, s.speechText, s.speechTimer), std::tuple(1, "request 1", 300.0));
    EXPECT_EQ(std::tuple(countMarks(*map, 1096, 1030, 1104, 1038), countMarks(*map, 900, 900, 1300, 1300)), std::tuple(48, 48));
    advanceClock(s, 1.0);
    EXPECT_EQ(std::tuple(s.pendingFare, s.score), std::tuple(9, 0)) << "the meter waits while somebody is aboard";
    tryDropOff(s, *map, 1);  // the others are marked again
    EXPECT_EQ(std::tuple(s.passengerAboard, isOn(s.passengers[1].delivered), s.deliveredCount), std::tuple(0, true, 1));
    EXPECT_EQ(std::tuple(s.speechText, countMarks(*map, 900, 900, 1300, 1300)), std::tuple("thanks 1", 15 * 48));
    tryPickUp(s, *map, 1);   // a delivered passenger is never picked up again,
    tryDropOff(s, *map, 1);  // nor dropped off twice
    EXPECT_EQ(std::tuple(s.passengerAboard, s.deliveredCount), std::tuple(0, 1));
    for (int i = 0; i < 5; ++i) advanceClock(s, 7.0);  // one point per frame at any dt
    EXPECT_EQ(std::tuple(s.pendingFare, s.score), std::tuple(4, 5));
    tryPickUp(s, *map, 2);  // the next fare replaces what is left; it never reaches the score
    const int64_t replaced = s.pendingFare;
    tryDropOff(s, *map, 2);
    for (int i = 0; i < 100; ++i) advanceClock(s, 1.0);
    EXPECT_EQ(std::tuple(replaced, s.score, s.pendingFare), std::tuple(22, 27, 0));
}

TEST_F(ShiftTest, CarTestsOneSlotPerFrameAndOnlyWhenNearlyStopped) {
    s.frameCounter = 1, cab.drive(*map);                     // slot 2 is tested: passenger 1 is not looked at
    s.frameCounter = 16, cab.car.vx = 0.1f, cab.drive(*map);  // slot 1, but rolling at 0.1
    EXPECT_EQ(s.passengerAboard, 0);
    cab.placeAt(1043.9f, 1030.1f), cab.car.vx = 0.05f, s.frameCounter = 32;  // in the square, near its corner
    cab.drive(*map);
    EXPECT_EQ(s.passengerAboard, 1);
    cab.placeAt(990, 1200);  // in another waiting passenger's square, with one aboard
    EXPECT_EQ(standUntil([&] { return s.passengerAboard != 1; }, 16), 16);
    cab.placeAt(1100, 1034);  // at the destination: out within 16 frames, on slot 1's frame
    EXPECT_LE(standUntil([&] { return s.passengerAboard == 0; }), 16);
    EXPECT_EQ(std::tuple(s.passengerAboard, s.frameCounter % 16), std::tuple(0, 1));
    // A destination overlapping the pick-up square delivers when the slot comes round.
    cab.placeAt(1040, 1034);
    s.passengers[1].delivered = FlagOff, s.passengers[1].destination = Body{1043, 1036}, s.frameCounter = 0;
    EXPECT_EQ(standUntil([&] { return s.passengerAboard == 1; }), 1);
    EXPECT_EQ(standUntil([&] { return s.passengerAboard == 0; }), 16);
}

TEST(StartShift, ResetsTheCabAndDrawsTrafficThenPassengersInOrder) {
    MapPtr map = test::openGround(1, 1, MapSize - 2, MapSize - 2);
    Cab cab;
    Shift& s = cab.shift;
    s.engineRunning = s.reverseGear = s.mapView = s.raining = s.raindrops[7].active = FlagOn;
    s.engineHeat = 3, s.brakeHeat = 2, cab.car.vx = 1, cab.car.heading = 450;
    std::vector<TrafficCar> traffic(128);
    seedRandom(77);
    std::vector<double> d(3 * 128 + 16);
    for (double& r : d) r = nextRandom();
    seedRandom(77);
    startShift(s, cab.car, *map, traffic.data(), 128);
    EXPECT_EQ(std::tuple(isOn(s.engineRunning), isOn(s.reverseGear), isOn(s.mapView), isOn(s.raining), isOn(s.raindrops[7].active)),
              std::tuple(false, false, false, false, false));
    EXPECT_EQ(std::tuple(s.engineHeat, s.brakeHeat, cab.car.vx, cab.car.heading, cab.car.x, s.wiperAngle, s.nextRaindrop, s.raindrops[7].body.travelRate),
              std::tuple(0.0f, 0.0f, 0.0f, 0.0f, 1040.0f, 1.02 * 3.14159, 1, 1.0f));
    for (int i = 0; i < 128; ++i)  // three draws a car on an open map: x, y, model
        EXPECT_EQ(std::tuple(traffic[i].motion.x, traffic[i].motion.y, traffic[i].model),
                  std::tuple((std::floor(14 * d[3 * i]) + 1) * 128, (std::floor(14 * d[3 * i + 1]) + 1) * 128 + 4, std::floor(5 * d[3 * i + 2]) + 1)) << i;
    // Then each passenger: pick-up, destination, portrait, 7 dialogue draws (8 for 4).
    const Passenger& first = s.passengers[1];
    const double* p = &d[3 * 128];
    EXPECT_EQ(std::tuple(first.pickup.x, first.pickup.y, first.destination.x, first.destination.y, first.portrait),
              std::tuple(std::floor(2048 * p[0]), std::floor(2048 * p[1]), std::floor(2048 * p[2]), std::floor(2048 * p[3]), std::floor(8 * p[4]) + 1));
    EXPECT_EQ(s.passengers[2].pickup.x, std::floor(2048 * p[first.portrait == 4 ? 13 : 12]));
    EXPECT_EQ(std::tuple(s.passengerCount, s.passengerAboard), std::tuple(16, 0));
    for (const Passenger& q : s.passengers) EXPECT_EQ(q.fare, tripFare(q.pickup, q.destination));
    // Without a free crossing the placement gives up instead of hanging; the grid refuses the car.
    MapPtr solid(newCityMap());
    seedRandom(9);  // a spot takes 21 draws of x and y when there is no room, and keeps the last
    for (double& r : d) r = nextRandom();
    seedRandom(9);
    const Body kept = chooseSpot(*solid);
    EXPECT_EQ(std::tuple(kept.x, kept.y, nextRandom()), std::tuple(std::floor(2048 * d[40]), std::floor(2048 * d[41]), d[42]));
    startShift(s, cab.car, *solid, traffic.data(), 2);
    stampTrafficCar(traffic[0], *solid);
    EXPECT_EQ(std::tuple(isOn(traffic[0].blocked), s.passengerCount), std::tuple(true, 16));
}

TEST(Dialogue, RequestFramesJoinThePiecesExactly) {
    const char* const lines[] = {
        "quick! take me to the dentist.", "quick, i am late for a wake.", "do you know where the dentist is?",
        "quick! where is the dentist?", "i have a wake at the dentist.", "take this tube tv to the dentist.",
        "i need you to deliver this tube tv for me.", "quick! chop chop!", "take me to the dentist at once.",
        "quick. we are going to the dentist!", "i need to go to 517, 1290", "i have to buy a tube tv at the dentist."};
    for (int frame = 0; frame < 12; ++frame)
        EXPECT_EQ(fillRequestFrame(frame, "quick", "the dentist", "a wake", "tube tv", Body{517, 1290}), lines[frame]);
}

// Greeting, place, event, item, frame, complaint, thanks: seven draws, eight for
// portrait 4; portraits 4 and 7 have lines of their own. The lines of a few seeds, worked
// out from their draws (seed 22: 0.98 for "go", 0.10 for "the record store", frame 0).
TEST(Dialogue, DrawsSevenNumbersOrEightForPortraitFourInOrder) {
    const struct { uint64_t seed; int portrait; const char *request, *complaint, *thanks; } cases[] = {
        {22, 6, "go! take me to the record store.", "i don't want to die!", "thank you!"},
        {11, 8, "taxi, i am late for an appointment.", "i don't want to die!", "this is where you leave me."},
        {4, 6, "do you know where a mcdonalds is?", "you are not very good at this, are you?", "goodbye."},
        {5, 8, "i need you to deliver this tube tv for me.", "what is your problem?", "this is where you leave me."},
        {16, 6, "go. we are going to the library!", "what is your problem?", "will I see you again?"},
        {27, 5, "i need to go to 517, 1290", "yikes!", "this is it!"},
        {7, 2, "i have to buy a murder weapon at my office.", "o o f", "goodnight!"}};
    for (const auto& c : cases) {
        Passenger p;
        p.destination = Body{517, 1290};
        seedRandom(c.seed), composeDialogue(p, c.portrait);
        EXPECT_EQ(std::tie(p.portrait, p.requestLine, p.complaintLine, p.thanksLine),
                  std::make_tuple(c.portrait, std::string(c.request), std::string(c.complaint), std::string(c.thanks))) << c.seed;
    }
    for (int portrait = 1; portrait <= 8; ++portrait) {  // the draws each portrait takes
        double d[9];
        Passenger p;
        seedRandom(100 + portrait);
        for (double& r : d) r = nextRandom();
        seedRandom(100 + portrait), composeDialogue(p, portrait);
        EXPECT_EQ(nextRandom(), d[portrait == 4 ? 8 : 7]) << portrait;
    }
    std::set<std::string> heard;
    for (int seed = 0; seed < 100; ++seed) {
        seedRandom(seed);
        Passenger hero, program;
        composeDialogue(hero, 4);
        heard.insert(hero.requestLine.rfind("let's rock! to ", 0) == 0 ? "let's rock!" : hero.requestLine);
        EXPECT_EQ(std::tie(hero.complaintLine, hero.thanksLine), std::make_tuple("it hurts to be you.", "yeah, piece of cake!"));
        composeDialogue(program, 7);
        EXPECT_EQ(std::tie(program.requestLine, program.complaintLine, program.thanksLine),
                  std::make_tuple("greetings, human!", "driver.exe has stopped working", "end of line"));
    }
    EXPECT_EQ(heard, (std::set<std::string>{"those alien bastards gonna pay for shooting my ride!", "ready for action!",
                                            "time to kick ass and chew bubble gum.", "I've got balls of steel!", "let's rock!"}));
}

}  // namespace
}  // namespace hc
