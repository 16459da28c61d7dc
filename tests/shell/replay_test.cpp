// Shifts recorded headless and played back: the same pictures, frame for frame, and the
// same end.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/random.h"
#include "shell/new_game.h"
#include "shell/replays.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/digest.h"
#include "support/key_codes.h"

namespace hc {
namespace {

using namespace test;  // the key codes

constexpr int KeyS = 31;

// A fare whose pick-up and destination lie on one clear stretch of road along +x, the way
// the cab faces at the start: 0 when the shift has none.
int straightFare(Game& g) {
    for (int k = 1; k <= PassengerSlots; ++k) {
        const Body& from = g.shift.passengers[k].pickup;
        const Body& to = g.shift.passengers[k].destination;
        if (std::fabs(from.y - to.y) > 1.0f || to.x - from.x < 60.0f || to.x - from.x > 400.0f) continue;
        bool clear = true;
        for (float x = from.x - 2; x <= to.x + 8 && clear; ++x) {
            for (float dy = -2; dy <= 2; ++dy) clear = clear && !isBlocked(*g.city, x, from.y + dy);
        }
        if (clear) return k;
    }
    return 0;
}

// The city of a seed with the cab standing on that fare's pick-up, ready for runShift.
int prepareStraightFare(ArcadeGame& arcade, uint64_t seed) {
    Game& g = arcade.game();
    seedRandom(seed), prepareShift(g, ShiftKind::Arcade), beginShift(g, arcade.view);
    const int k = straightFare(g);
    seedRandom(seed), prepareShift(g, ShiftKind::Arcade);
    if (k != 0) g.player.x = g.shift.passengers[k].pickup.x, g.player.y = g.shift.passengers[k].pickup.y;
    return k;
}

// Drives a shift as a player would: waits for the fare to get in, starts the engine,
// drives to the destination and brakes there, waits for the drop-off, loses the window's
// focus as it lets go of the map key, looks at the map, then drives into a wall and ends
// the shift with the exit key.
struct Driver {
    ArcadeGame& arcade;
    int fare;
    int phase = 0;
    int64_t since = 0;
    bool sawMap = false, crashed = false;
    std::vector<uint64_t> frames;  // digests of every presented frame
    size_t loopEnd = 0;            // frames presented before the score picture

    void onPoll(int64_t poll) {
        Game& g = arcade.game();
        HeadlessWindow& w = arcade.window;
        const Passenger& p = g.shift.passengers[fare];
        const double speed = std::hypot(g.player.vx, g.player.vy);
        const auto next = [&] { ++phase, since = poll; };
        if (poll > 4000) endProcess(99);  // a drive that never ends fails
        if (g.shift.minutesLeft < 0) {
            // The score picture is the last frame presented; the shift's frames came before.
            if (loopEnd == 0) loopEnd = frames.size() - 1, w.holdKey(KeyEnter, poll + 2, poll + 2);
            return;
        }
        switch (phase) {
            case 0: if (g.shift.passengerAboard == fare) w.holdKey(KeyS, poll, poll), next(); break;
            case 1: if (poll > since + 2) next(); break;
            case 2:  // throttle, and brake as late as the speed allows
                if (g.player.x + 80 * speed < p.destination.x - 1) w.holdKey(KeyUp, poll, poll);
                else if (speed > 0.003) w.holdKey(KeyDown, poll, poll);
                else next();
                break;
            case 3: next(); break;
            case 4: if (isOn(p.delivered)) w.holdKey(KeyTab, poll, poll), next(); break;
            case 5: w.forgetInput(), next(); break;  // the focus went as Tab came up: no map
            case 6: if (poll > since + 5) w.holdKey(KeyTab, poll, poll), next(); break;
            case 7: sawMap = sawMap || isOn(g.shift.mapView); if (poll > since + 30) w.holdKey(KeyTab, poll, poll), next(); break;
            case 8: if (poll > since + 2) next(); break;
            case 9:
                w.holdKey(KeyUp, poll, poll);
                if (poll > since + 40) w.holdKey(KeyLeft, poll, poll);
                if (g.shift.damage[1] > 0) crashed = true, next();
                break;
            case 10: if (poll > since + 20) w.holdKey(KeyEsc, poll, poll), next(); break;
            default: break;
        }
    }
};

struct Played {
    Recording recording;
    uint64_t state = 0;
    int64_t score = 0;
    Driver driver;
};

Played driveAndRecord(ArcadeGame& arcade, uint64_t seed, double secondsPerFrame) {
    Game& g = arcade.game();
    Played played{{}, 0, 0, {arcade, prepareStraightFare(arcade, seed)}};
    Driver& d = played.driver;
    if (d.fare == 0) return played;
    arcade.secondsPerFrame = secondsPerFrame;
    arcade.window.clearKeys();
    arcade.window.onPoll = [&](int64_t poll) { d.onPoll(poll); };
    arcade.onFrame = [&](const Image& frame) { d.frames.push_back(fnv1a(frame)); };
    arcade.runUntilEnd([&] { runShift(g, arcade.view); });
    arcade.window.onPoll = nullptr, arcade.onFrame = nullptr;
    played.recording = g.recording, played.state = shiftDigest(g), played.score = g.shift.score;
    return played;
}

TEST(Replay, ADrivenShiftPlaysBackFrameForFrameAt60And30FramesASecond) {
    ArcadeGame arcade;
    ASSERT_TRUE(arcade.ready()) << arcade.skipReason();
    Game& g = arcade.game();
    for (const double secondsPerFrame : {1.0 / 60.0, 1.0 / 30.0}) {
        SCOPED_TRACE(testing::Message() << 1.0 / secondsPerFrame << " frames a second");
        const Played played = driveAndRecord(arcade, 9, secondsPerFrame);
        const Driver& d = played.driver;
        ASSERT_NE(d.fare, 0) << "the seed's city has no fare along the cab's road";
        // What the drive went through.
        EXPECT_EQ(g.shift.deliveredCount, 1) << "the fare was picked up and set down; the drive ended in phase " << d.phase;
        EXPECT_TRUE(d.sawMap) << "the map view was shown";
        EXPECT_TRUE(d.crashed) << "the cab hit the wall";
        const size_t count = played.recording.frames.size();
        EXPECT_GT(count, 200u);
        ASSERT_GE(d.loopEnd, count);

        // Played back on a machine of another speed: the recording's frame lengths count.
        arcade.secondsPerFrame = 1.0 / 45.0;
        std::vector<uint64_t> shown;
        arcade.onFrame = [&](const Image& frame) { shown.push_back(fnv1a(frame)); };
        PlaybackResult result;
        arcade.runUntilEnd([&] { result = playRecording(g, arcade.view, played.recording, false); });
        arcade.onFrame = nullptr;
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(result.score, played.score);
        EXPECT_EQ(shiftDigest(g), played.state) << "score, passengers, cab and traffic";
        ASSERT_GE(shown.size(), count);
        int differing = 0, first = -1;
        for (size_t i = 0; i < count; ++i) {
            if (shown[shown.size() - count + i] == d.frames[d.loopEnd - count + i]) continue;
            ++differing, first = first < 0 ? static_cast<int>(i) : first;
        }
        EXPECT_EQ(differing, 0) << "pictures differ from frame " << first;
    }
}

// Two runs seeded differently come to the same city of the day, and another day to another.
TEST(Replay, TheCityOfTheDayIsTheSameFromAnyStart) {
    ArcadeGame arcade;
    ASSERT_TRUE(arcade.ready()) << arcade.skipReason();
    Game& g = arcade.game();
    const auto frameZero = [&](uint64_t runSeed, uint32_t day) {
        seedRandom(runSeed), prepareShift(g, ShiftKind::Arcade, day), beginShift(g, arcade.view);
        // The city's ground, walls and marks (a cell's sprite columns mean something only
        // under a car, and keep what the last city left there).
        uint64_t h = shiftDigest(g);
        for (const MapCell& c : g.city->cells) h = fnv1a(&c, 3, h);
        return h;
    };
    const uint64_t day = frameZero(1, 20261207);
    EXPECT_EQ(frameZero(987654321, 20261207), day);
    EXPECT_NE(frameZero(1, 20261208), day);
    EXPECT_EQ(g.recording.start.day, 20261208u);
}

}  // namespace
}  // namespace hc
