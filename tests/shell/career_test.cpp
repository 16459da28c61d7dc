// Career mode end to end: the garage, a shift at work with a delivered fare, back in
// the garage with the money, an upgrade bought, and the next shift's car using it.
#include "shell/career.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/save_file.h"
#include "core/system.h"
#include "frontend/garage.h"
#include "shell/new_game.h"
#include "shell/saves.h"
#include "shell/startup.h"
#include "sim/player_car.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyReturn = 28, KeyEscape = 1, KeyLeft = 75, KeyRight = 77, KeyUp = 72, KeyS = 31;

TEST(CareerReset, KeepsMoneyUpgradesAndWearButPutsTheCabBack) {
    Shift shift;
    PlayerCar player;
    shift.score = 1234;
    shift.turboLevel = 2;
    shift.radiatorLevel = 1;
    shift.brakeLevel = 3;
    shift.tyreLevel = 1;
    shift.damage[1] = 0.25f;
    shift.damage[2] = 0.5f;
    shift.damage[3] = 0.75f;
    shift.frameCounter = 999;
    shift.pendingFare = 42;
    player.x = 3.0f;
    player.y = 4.0f;
    player.vx = 0.5f;
    player.heading = 1800.0f;
    resetForCareerShift(shift, player);
    EXPECT_EQ(shift.score, 1234);
    EXPECT_EQ(shift.turboLevel, 2);
    EXPECT_EQ(shift.radiatorLevel, 1);
    EXPECT_EQ(shift.brakeLevel, 3);
    EXPECT_EQ(shift.tyreLevel, 1);
    EXPECT_EQ(shift.damage[1], 0.25f);
    EXPECT_EQ(shift.damage[2], 0.5f);
    EXPECT_EQ(shift.damage[3], 0.75f);
    EXPECT_EQ(shift.frameCounter, 0);
    EXPECT_EQ(shift.pendingFare, 0);
    EXPECT_EQ(player.x, 1040.0f);
    EXPECT_EQ(player.y, 1034.0f);
    EXPECT_EQ(player.vx, 0.0f);
    EXPECT_EQ(player.heading, 0.0f);
}

// Plays a career through the key poll: every poll looks at the game and decides what
// the player does next.
class CareerRun {
public:
    explicit CareerRun(ArcadeGame& arcade) : a(arcade), g(arcade.game()) {
        a.window.onPoll = [this](int64_t poll) { step(poll); };
    }

    enum Phase { FirstGarage, FirstShift, FirstScore, SecondGarage, SecondShift, SecondScore, LastGarage, Done };
    Phase phase = FirstGarage;
    int64_t bankAfterFirstShift = -1;
    int64_t bankAfterPurchase = -1;
    int8_t turboInSecondShift = -1;
    float firstBoost = 0, secondBoost = 0;
    float brakeWearInSecondShift = -1;
    float startX = 0, startY = 0;
    int deliveries = 0;
    CareerRecord savedAfterFirstShift;

private:
    void tap(int key, int64_t poll) { a.window.pressKeyAt(key, poll); }
    bool inShift() const { return g.shift.passengerCount == PassengerSlots && g.shift.minutesLeft >= 0; }

    // The player's car stands in a spot (the shift picks passengers up and drops them
    // off when the car stands in their squares).
    void placeCab(const Body& spot) {
        g.player.x = spot.x;
        g.player.y = spot.y;
        g.player.vx = g.player.vy = 0.0f;
    }

    // Throttle for the first 60 polls of a shift after starting the engine; true when
    // done. The turbo's pressure is recorded.
    bool drive(int64_t poll, float& boost) {
        if (shiftPolls == 0) tap(KeyS, poll + 1);
        ++shiftPolls;
        if (shiftPolls > 3 && shiftPolls < 64) a.window.holdKey(KeyUp, poll + 1, poll + 1);
        boost = std::max(boost, g.shift.turboBoost);
        return shiftPolls >= 66;
    }

    void deliver(int64_t poll) {
        Shift& s = g.shift;
        if (s.passengerAboard != 0) {
            placeCab(s.passengers[s.passengerAboard].destination);
            return;
        }
        if (s.pendingFare > 0) return;  // the meter is still counting into the bank
        if (s.score >= 200 && s.deliveredCount > 0) {
            s.damage[2] = 0.25f;  // some brake wear to take to the garage
            tap(KeyEscape, poll + 1);
            phase = FirstScore;
            return;
        }
        for (int k = 1; k <= PassengerSlots; ++k) {
            if (!isOn(s.passengers[k].delivered) && s.passengers[k].fare > 0) {
                placeCab(s.passengers[k].pickup);
                if (s.deliveredCount + 1 > deliveries) deliveries = s.deliveredCount + 1;
                return;
            }
        }
    }

    void step(int64_t poll) {
        if (poll > 40000) endProcess(99);  // a stuck script
        switch (phase) {
            case FirstGarage:
                g.shift.passengerCount = -1;  // set again by the shift's start
                tap(KeyReturn, poll + 1);     // the garage opens on "Go to work"
                phase = FirstShift;
                break;
            case FirstShift:
                if (!inShift()) break;
                if (drive(poll, firstBoost)) deliver(poll);
                break;
            case FirstScore:
                if (g.shift.minutesLeft >= 0) break;
                bankAfterFirstShift = g.shift.score;
                tap(KeyReturn, poll + 1);
                g.shift.passengerCount = -1;
                garageFrom = poll + 3;
                phase = SecondGarage;
                break;
            case SecondGarage:
                if (poll < garageFrom) break;
                {
                    // Back in the garage: the shift is already saved.
                    std::string text, reason;
                    readSmallFile(saveFolder() + "/" + CareerFileName, text, reason);
                    readCareer(text, savedAfterFirstShift, reason);
                }
                // Left to the turbo, buy it, right back to work, go.
                tap(KeyLeft, poll + 1);
                tap(KeyReturn, poll + 3);
                tap(KeyRight, poll + 5);
                tap(KeyReturn, poll + 7);
                shiftPolls = 0;
                phase = SecondShift;
                break;
            case SecondShift:
                if (!inShift()) break;
                if (shiftPolls == 0) {
                    bankAfterPurchase = g.shift.score;
                    turboInSecondShift = g.shift.turboLevel;
                    brakeWearInSecondShift = g.shift.damage[2];
                    startX = g.player.x;
                    startY = g.player.y;
                }
                if (drive(poll, secondBoost)) {
                    tap(KeyEscape, poll + 1);
                    phase = SecondScore;
                }
                break;
            case SecondScore:
                if (g.shift.minutesLeft >= 0) break;
                tap(KeyReturn, poll + 1);
                garageFrom = poll + 3;
                phase = LastGarage;
                break;
            case LastGarage:
                if (poll < garageFrom) break;
                tap(KeyEscape, poll + 1);
                phase = Done;
                break;
            case Done: break;
        }
    }

    ArcadeGame& a;
    Game& g;
    int shiftPolls = 0;
    int64_t garageFrom = 0;
};

TEST(Career, WorkEarnsMoneyThatBuysAnUpgradeForTheNextShift) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    buildGarageList(g.state);
    arcade.secondsPerFrame = 0.05;
    // Left over from an arcade game: the career must not start with them.
    g.shift.score = 5000;
    g.shift.turboLevel = 1;
    g.shift.damage[1] = 0.5f;

    CareerRun run(arcade);
    arcade.console.clear();
    const int status = arcade.runUntilEnd([&] { runCareer(g); });
    ASSERT_EQ(status, -1) << "the career did not return:\n" << arcade.console;
    EXPECT_EQ(run.phase, CareerRun::Done);

    // The first shift started from nothing: no turbo pressure at full throttle.
    EXPECT_EQ(run.firstBoost, 0.0f);
    EXPECT_GE(run.deliveries, 1);
    EXPECT_GE(run.bankAfterFirstShift, 200);
    EXPECT_LT(run.bankAfterFirstShift, 5000);
    // The garage took 200 for the turbo, and the next shift's car has it and uses it;
    // the wear and the money came along, the cab stood at its start.
    EXPECT_EQ(run.bankAfterPurchase, run.bankAfterFirstShift - 200);
    EXPECT_EQ(run.turboInSecondShift, 1);
    EXPECT_GT(run.secondBoost, 0.0f);
    EXPECT_EQ(run.brakeWearInSecondShift, 0.25f);
    EXPECT_EQ(run.startX, 1040.0f);
    EXPECT_EQ(run.startY, 1034.0f);
    EXPECT_EQ(g.shift.turboLevel, 1);
    EXPECT_EQ(run.savedAfterFirstShift.money, run.bankAfterFirstShift);
    EXPECT_EQ(run.savedAfterFirstShift.shiftsDriven, 1);
    EXPECT_EQ(run.savedAfterFirstShift.faresDelivered, run.deliveries);
    EXPECT_EQ(run.savedAfterFirstShift.moneyEarned, run.bankAfterFirstShift);
    EXPECT_EQ(run.savedAfterFirstShift.brakeWear, 0.25f);
    // Money spent in the garage is not money earned.
    EXPECT_EQ(g.saved.career.shiftsDriven, 2);
    EXPECT_EQ(g.saved.career.moneyEarned, run.bankAfterFirstShift + g.shift.score - run.bankAfterPurchase);
    // Each shift had a city of its own.
    const auto lines = arcade.consoleLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("Generating map")), 2);
    // Garage music between shifts.
    EXPECT_EQ(g.audio.channels[MusicChannel].trackNumber, 2);
}

// Career mode entered again after an arcade game resumes the career: from its save,
// or from what the run kept when the folder cannot be written.
TEST(Career, ReentryAfterAnArcadeGameResumesTheCareer) {
    for (const bool writable : {true, false}) {
        ArcadeGame arcade;
        if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
        Game& g = arcade.game();
        buildGarageList(g.state);
        arcade.secondsPerFrame = 0.05;
        if (!writable) {
            std::filesystem::create_directories(std::filesystem::path(arcade.saveHome).parent_path());
            std::ofstream(arcade.saveHome) << "a file where the folder should be";
        }
        g.saved.careerLoaded = true;
        g.saved.career.money = 1000;
        const auto play = [&](std::vector<int> keys) {
            if (!writable) keys.push_back(keys.back());  // leave again after the failed save
            int64_t poll = arcade.window.polls() + 1;
            for (int key : keys) arcade.window.pressKeyAt(key, (poll += 2));
            arcade.window.onPoll = [&, last = poll + 50](int64_t now) {
                if (now > last) arcade.window.requestClose();  // still in the garage
            };
            ASSERT_EQ(arcade.runUntilEnd([&] { runCareer(g); }), -1) << arcade.console;
        };
        // The turbo for 200, then "Save and exit".
        play({KeyLeft, KeyReturn, KeyLeft, KeyLeft, KeyReturn});
        newGameReset(g.shift, g.player);  // an arcade game between
        g.shift.turboLevel = 1;
        g.shift.score = 5000;
        play({KeyEscape});
        EXPECT_EQ(g.shift.score, 800) << writable;
        EXPECT_EQ(g.shift.turboLevel, 1) << writable;
        const auto restarted = std::make_unique<Game>();
        EXPECT_EQ(keptCareer(*restarted).money, writable ? 800 : 0);
    }
}

}  // namespace
}  // namespace hc
