// The garage: its list, prices, purchases and refusals, and how it is left.
#include "frontend/garage.h"

#include <gtest/gtest.h>

#include <cmath>

#include <vector>

#include "core/random.h"
#include "frontend/game.h"
#include "frontend_fixture.h"

namespace hc {
namespace {

constexpr uint8_t BubblePaper = 22;

TEST(GarageList, TenEntriesWithTheirRoles) {
    GameState state;
    buildGarageList(state);
    EXPECT_EQ(state.garage[1].label, "Tune the radio");
    EXPECT_EQ(state.garage[3].label, "Go to work");
    EXPECT_EQ(state.garage[10].label, "Save and exit");
    EXPECT_EQ(state.garage[6].label, "Upgrade: radiator/cooling");
    EXPECT_EQ(state.garage[9].hotspotX, 510);
    EXPECT_EQ(state.garage[9].hotspotY, 226);
    EXPECT_EQ(state.garage[2].stageRef, &Shift::turboLevel);
    EXPECT_EQ(state.garage[5].stageRef, &Shift::brakeLevel);
    EXPECT_EQ(state.garage[6].stageRef, &Shift::radiatorLevel);
    EXPECT_EQ(state.garage[9].stageRef, &Shift::tyreLevel);
    EXPECT_EQ(state.garage[4].repairKind, 1);
    EXPECT_EQ(state.garage[7].repairKind, 2);
    int plain = 0;
    for (int i = 1; i <= GarageItemCount; ++i) plain += state.garage[i].repairKind == 0 && !state.garage[i].stageRef;
    EXPECT_EQ(plain, 4);  // radio, work, tank, exit
}

TEST(GarageOffers, UpgradesCostMoreAtEveryStageUntilMaxedOut) {
    GameState state;
    buildGarageList(state);
    Shift shift;
    const int32_t prices[] = {200, 400, 600};
    for (int stage = 0; stage < 3; ++stage) {
        shift.tyreLevel = static_cast<int8_t>(stage);
        const GarageOffer offer = garageOffer(state.garage[9], shift);
        EXPECT_EQ(offer.cost, prices[stage]);
        EXPECT_EQ(offer.info, "stage " + std::to_string(stage));
    }
    shift.tyreLevel = 3;
    EXPECT_EQ(garageOffer(state.garage[9], shift).cost, 0);
    EXPECT_EQ(garageOffer(state.garage[9], shift).info, "(maxed out)");
}

TEST(GarageOffers, RepairsCostSixDollarsAPercent) {
    GameState state;
    buildGarageList(state);
    Shift shift;
    struct Case {
        float wear;
        int32_t cost;
        const char* info;
    };
    const Case cases[] = {{0.004f, 0, "0% worn"},   {1.0f, 600, "100% worn"}, {0.5f, 300, "50% worn"},
                          {0.125f, 72, "12% worn"},  // 12.5 rounds to even
                          {0.0f, 0, "0% worn"},
                          // Not a number, or out of range: shown and priced within 0..100%.
                          {std::nanf(""), 0, "0% worn"}, {-0.5f, 0, "0% worn"}, {3.0f, 600, "100% worn"}};
    for (const Case& c : cases) {
        shift.damage[2] = c.wear;
        const GarageOffer offer = garageOffer(state.garage[7], shift);
        EXPECT_EQ(offer.cost, c.cost) << c.wear;
        EXPECT_EQ(offer.info, c.info) << c.wear;
    }
    shift.damage[1] = 0.37f;
    EXPECT_EQ(garageOffer(state.garage[4], shift).cost, 222);
    for (int i : {1, 3, 8, 10}) {
        EXPECT_EQ(garageOffer(state.garage[i], shift).cost, 0) << i;
        EXPECT_EQ(garageOffer(state.garage[i], shift).info, "") << i;
    }
}

class GarageScreen : public ::testing::Test {
protected:
    void SetUp() override {
        buildGarageList(fe.game().state);
        seedRandom(5);
    }
    bool run(const std::vector<const char*>& keys) {
        fe.window.clearKeys();
        fe.releaseKeysFrom(fe.window.polls() + 1, keys);
        return runGarage(fe.game());
    }
    Shift& shift() { return fe.game().shift; }

    FrontEndGame fe;
};

TEST_F(GarageScreen, GoToWorkSaveAndExitOrTheExitKey) {
    shift().score = 500;
    EXPECT_FALSE(run({"Escape"}));
    EXPECT_FALSE(run({"Right", "Right", "Escape"}));
    EXPECT_EQ(shift().score, 500);
    EXPECT_TRUE(run({"Return"}));                                    // starts on entry 3
    EXPECT_FALSE(run({"Left", "Left", "Left", "Return"}));          // 3 -> 2 -> 1 -> 10
    EXPECT_FALSE(run({"Right", "Right", "Right", "Right", "Right", "Right", "Right", "Return"}));  // 3 -> 10
    EXPECT_TRUE(run({"Right", "Left", "Return"}));
}

TEST_F(GarageScreen, TurnKeysWrapRoundTheTenEntries) {
    // Right eight times from entry 3 reaches entry 1, the radio, which does not leave.
    openTrack(fe.game().audio, 2);
    EXPECT_FALSE(run({"Right", "Right", "Right", "Right", "Right", "Right", "Right", "Right", "Return", "Escape"}));
    EXPECT_EQ(fe.game().audio.channels[MusicChannel].trackNumber, 3);
}

// Each purchase starts from a fresh bank and car; the keys move from entry 3 (work).
TEST_F(GarageScreen, PurchasesPayExactlyAndRefuseWhatIsNotAffordableOrNeeded) {
    struct Case {
        const char* what;
        int32_t score;
        int8_t Shift::*stage;  // an upgrade's level, or none
        int8_t levelBefore, levelAfter;
        int wearKind;  // a repair's damage slot, or 0
        float wearBefore, wearAfter;
        std::vector<const char*> keys;
        int32_t scoreAfter;
    };
    const Case cases[] = {
        {"exact money", 200, &Shift::turboLevel, 0, 1, 0, 0, 0, {"Left", "Return", "Escape"}, 0},
        {"one short", 399, &Shift::brakeLevel, 1, 1, 0, 0, 0, {"Right", "Right", "Return", "Escape"}, 399},
        {"repair one short", 599, nullptr, 0, 0, 1, 1.0f, 1.0f, {"Right", "Return", "Escape"}, 599},
        {"maxed out", 1000, &Shift::radiatorLevel, 3, 3, 0, 0, 0, {"Right", "Right", "Right", "Return", "Escape"},
         1000},
        // Tyres four times: 200 + 400 + 600, then maxed out.
        {"to the top", 1200, &Shift::tyreLevel, 0, 3, 0, 0, 0,
         {"Right", "Right", "Right", "Right", "Right", "Right", "Return", "Return", "Return", "Return", "Escape"}, 0},
        {"tiny wear free", 50, nullptr, 0, 0, 2, 0.004f, 0.0f, {"Right", "Right", "Right", "Right", "Return", "Escape"},
         50},
        {"repair", 1000, nullptr, 0, 0, 1, 0.5f, 0.0f, {"Right", "Return", "Escape"}, 700},
        {"fill the tank", 10, nullptr, 0, 0, 0, 0, 0, {"Right", "Right", "Right", "Right", "Right", "Return", "Escape"},
         10},
    };
    for (const Case& c : cases) {
        shift() = Shift{};
        shift().score = c.score;
        if (c.stage) shift().*c.stage = c.levelBefore;
        if (c.wearKind) shift().damage[c.wearKind] = c.wearBefore;
        EXPECT_FALSE(run(c.keys)) << c.what;
        EXPECT_EQ(shift().score, c.scoreAfter) << c.what;
        if (c.stage) {
            EXPECT_EQ(shift().*c.stage, c.levelAfter) << c.what;
        }
        if (c.wearKind) {
            EXPECT_EQ(shift().damage[c.wearKind], c.wearAfter) << c.what;
        }
    }
}

TEST_F(GarageScreen, TheWelcomeAndEveryAnswerShowOnOnePictureOnly) {
    shift().score = 1000;
    FrameLog log;
    logFrames(fe, log);
    fe.window.clearKeys();
    // Pictures: welcome, after Left (none), after the purchase (answer), after Right (none).
    fe.releaseKeysFrom(fe.window.polls() + 1, {"Left", "Return", "Right", "Escape"});
    runGarage(fe.game());
    std::vector<bool> shown;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        // The garage's own pictures are presented right after a key poll ends a wait.
        const bool redraw = f + 1 < log.frames.size() ? log.polls[f + 1] != log.polls[f] : false;
        if (!redraw) continue;
        int paper = 0;
        for (int y = 350; y <= 380; ++y) {
            for (int x = 0; x < 640; ++x) paper += log.frames[f][static_cast<size_t>(y) * 640 + x] == BubblePaper;
        }
        shown.push_back(paper > 0);
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(shift().score, 800);
}

// Leaving for the menu saves: a failed save is said in the bubble and keeps the player
// in the garage once; going to work saves nothing.
TEST_F(GarageScreen, AFailedSaveIsSaidOnceAndTheNextLeaveLeaves) {
    struct Case {
        bool saves;
        std::vector<const char*> keys;
        bool work;
        int calls;
        std::vector<bool> bubbles;  // on each picture the garage drew
    };
    const Case cases[] = {
        {true, {"Escape"}, false, 1, {true}},
        {false, {"Escape", "Escape"}, false, 2, {true, true}},
        {false, {"Left", "Left", "Left", "Return", "Return"}, false, 2, {true, false, false, false, true}},
        {false, {"Return"}, true, 0, {true}},
    };
    for (const Case& c : cases) {
        int calls = 0;
        FrameLog log;
        logFrames(fe, log);
        fe.window.clearKeys();
        const int64_t last = fe.window.polls() + 2 * static_cast<int64_t>(c.keys.size()) + 50;
        fe.releaseKeysFrom(fe.window.polls() + 1, c.keys);
        fe.window.onPoll = [&](int64_t poll) {
            if (poll > last) fe.window.requestClose();  // still in the garage
        };
        bool work = !c.work;
        EXPECT_EQ(fe.runUntilEnd([&] { work = runGarage(fe.game(), [&] { return ++calls, c.saves; }); }), -1);
        EXPECT_EQ(work, c.work);
        EXPECT_EQ(calls, c.calls);
        std::vector<bool> bubbles;
        for (size_t f = 0; f + 1 < log.frames.size(); ++f) {
            if (log.polls[f + 1] == log.polls[f]) continue;  // not a picture of the garage's own
            bool paper = false;
            for (size_t k = 350 * 640; k < 380 * 640; ++k) paper = paper || log.frames[f][k] == BubblePaper;
            bubbles.push_back(paper);
        }
        EXPECT_EQ(bubbles, c.bubbles) << c.keys.size();
    }
}

TEST_F(GarageScreen, TheIconMarksTheSelectedEntry) {
    FrameLog log;
    logFrames(fe, log);
    fe.window.clearKeys();
    fe.releaseKeysFrom(fe.window.polls() + 1, {"Escape"});
    runGarage(fe.game());
    // The picture is centred at row 80; "Go to work" puts the icon at (167, 110), and
    // no other entry's spot has it.
    bool atWork = false, atTurbo = false;
    for (const auto& frame : log.frames) {
        atWork = atWork || frame[static_cast<size_t>(80 + 110) * 640 + 167] == IconColour;
        atTurbo = atTurbo || frame[static_cast<size_t>(80 + 227) * 640 + 128] == IconColour;
    }
    EXPECT_TRUE(atWork);
    EXPECT_FALSE(atTurbo);
}

}  // namespace
}  // namespace hc
