#include "shell/career.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "core/save_file.h"
#include "frontend/garage.h"
#include "shell/saves.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"
#include "support/key_codes.h"

namespace hc {
namespace {

using namespace test;  // the key codes

// Through the keys: the garage, a shift at work, back in the garage with the money, an
// upgrade bought, the next shift's car with it, and the books kept and saved.
TEST(Career, WorkEarnsMoneyThatBuysAnUpgradeForTheNextShift) {
    ArcadeGame arcade;
    Game& g = arcade.game();
    buildGarageList(g.state);
    // Left over from an arcade game: the career must not start with them.
    g.shift.score = 5000, g.shift.turboLevel = 1, g.shift.damage[1] = 0.5f, g.shift.passengerCount = -1;

    // At the first poll of each shift: the bank, the turbo, the bodywork, brake and engine wear and the cab's place.
    // The first shift earns 300 with two fares and wears all three; the second earns 50.
    std::tuple<int64_t, int, float, float, float, float> atStart[2];
    CareerRecord savedAfterFirst;
    int shifts = 0;
    bool inShift = false;
    arcade.window.pressKeyAt(KeyEnter, 2);  // the garage opens on "Go to work"
    arcade.window.onPoll = [&](int64_t poll) {
        Shift& s = g.shift;
        if (poll > 5000) endProcess(99);  // a stuck script
        if (!inShift && s.passengerCount == PassengerSlots) {
            inShift = true;
            atStart[shifts] = {s.score, s.turboLevel, s.damage[1], s.damage[2], s.damage[3], g.player.x};
            s.score += shifts == 0 ? 300 : 50, s.deliveredCount = shifts == 0 ? 2 : 0;
            if (shifts == 0) s.damage[1] = 0.125f, s.damage[2] = 0.25f, s.damage[3] = 0.0625f;
            arcade.window.pressKeyAt(KeyEsc, poll + 1);
        } else if (inShift && s.minutesLeft < 0) {
            // "time's up!": on to the garage, then the turbo (left, buy, right, go to
            // work) after the first shift, or leave after the second.
            inShift = false, s.passengerCount = -1;
            arcade.window.pressKeyAt(KeyEnter, poll + 1);
            const int keys[] = {KeyLeft, KeyEnter, KeyRight, KeyEnter};
            if (++shifts == 1)
                for (int k = 0; k < 4; ++k) arcade.window.pressKeyAt(keys[k], poll + 5 + 2 * k);
            else
                arcade.window.pressKeyAt(KeyEsc, poll + 5);
        } else if (shifts == 1 && !inShift && savedAfterFirst.shiftsDriven == 0) {
            std::string text, reason;
            if (readSmallFile(saveFolder() + "/" + CareerFileName, text, reason) == FileRead::Read)
                readCareer(text, savedAfterFirst, reason);
        }
    };
    arcade.console.clear();
    ASSERT_EQ(arcade.runUntilEnd([&] { runCareer(g); }), -1) << "the career did not return:\n" << arcade.console;
    ASSERT_EQ(shifts, 2);
    // The first shift started from nothing; the second with the 300 less the turbo's
    // 200, the turbo, and the brake wear, and the cab back at its start.
    EXPECT_EQ(atStart[0], std::make_tuple(int64_t{0}, 0, 0.0f, 0.0f, 0.0f, 1040.0f));
    EXPECT_EQ(atStart[1], std::make_tuple(int64_t{100}, 1, 0.125f, 0.25f, 0.0625f, 1040.0f));
    // Saved as soon as the shift was over; money spent in the garage is not money earned.
    EXPECT_EQ(std::tie(savedAfterFirst.money, savedAfterFirst.shiftsDriven, savedAfterFirst.faresDelivered,
                       savedAfterFirst.moneyEarned, savedAfterFirst.bodyworkWear, savedAfterFirst.brakeWear, savedAfterFirst.engineWear),
              std::make_tuple(int64_t{300}, int64_t{1}, int64_t{2}, int64_t{300}, 0.125f, 0.25f, 0.0625f));
    EXPECT_EQ(std::tie(g.saved.career.money, g.saved.career.shiftsDriven, g.saved.career.moneyEarned),
              std::make_tuple(int64_t{150}, int64_t{2}, int64_t{350}));
    // Each shift had a city of its own; garage music between shifts.
    const auto lines = arcade.consoleLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("Generating map")), 2);
    EXPECT_EQ(g.audio.channels[MusicChannel].trackNumber, 2);
}

// Closing the window (a close request, SIGTERM or SIGINT) leaves the career at once with everything saved: a shift
// cut short counts as ended by the exit key, a shift on its "time's up!" picture is in the books, and a purchase in
// the garage is kept; a career the garage did not change is not written.
TEST(Career, ClosingTheWindowLeavesWithTheCareerSaved) {
    enum Close { MidShift, OnScorePicture, InGarageAfterAPurchase, InGarageUntouched };
    const struct { Close close; bool written; CareerRecord saved; } cases[] = {
        {MidShift, true, {.money = 300, .shiftsDriven = 1, .faresDelivered = 2, .moneyEarned = 300}},
        {OnScorePicture, true, {.money = 300, .shiftsDriven = 1, .faresDelivered = 2, .moneyEarned = 300}},
        {InGarageAfterAPurchase, true, {.money = 300, .turboLevel = 1}},
        {InGarageUntouched, false, {}},
    };
    for (const auto& c : cases) {
        ArcadeGame arcade;
        Game& g = arcade.game();
        buildGarageList(g.state);
        const bool garage = c.close == InGarageAfterAPurchase || c.close == InGarageUntouched;
        if (garage) keptCareer(g).money = 500;
        if (c.close == InGarageAfterAPurchase) arcade.window.pressKeyAt(KeyLeft, 2), arcade.window.pressKeyAt(KeyEnter, 4);
        if (!garage) arcade.window.pressKeyAt(KeyEnter, 2);  // "Go to work"
        bool inShift = false;
        arcade.window.onPoll = [&](int64_t poll) {
            Shift& s = g.shift;
            if (poll > 3000) endProcess(99);  // not left
            if (garage && poll == 7) arcade.window.requestClose();
            if (!inShift && s.passengerCount == PassengerSlots) {
                inShift = true, s.score += 300, s.deliveredCount = 2;
                if (c.close == MidShift) arcade.window.requestClose();
                if (c.close == OnScorePicture) arcade.window.pressKeyAt(KeyEsc, poll + 1);
            } else if (inShift && s.minutesLeft < 0 && c.close == OnScorePicture) {
                arcade.window.requestClose();
            }
        };
        ASSERT_EQ(arcade.runUntilEnd([&] { runCareer(g); }), -1) << c.close << ": the career did not return\n" << arcade.console;
        EXPECT_TRUE(g.keys.quit) << c.close;
        std::string text, reason;
        const FileRead read = readSmallFile(saveFolder() + "/" + CareerFileName, text, reason);
        ASSERT_EQ(read == FileRead::Read, c.written) << c.close << ": " << reason;
        CareerRecord saved;
        if (c.written) { ASSERT_TRUE(readCareer(text, saved, reason)) << reason; }
        EXPECT_EQ(saved, c.saved) << c.close << ": " << text;
    }
}

}  // namespace
}  // namespace hc
