// The assists on a generated city, headless, frame after frame of the shift loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "core/colours.h"
#include "frontend/menus.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/key_codes.h"

namespace hc {
namespace {

int countColour(const Image& image, uint32_t colour, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) for (int x = x1; x <= x2; ++x) n += getPixel(image, x, y) == colour;
    return n;
}

struct AssistJourney : testing::Test {
    ArcadeGame arcade;
    Game& g = arcade.game();
    ShiftProfile profile;
};

// The cab set down standing just inside or just outside a square, with the engine running.
TEST_F(AssistJourney, SquaresLightAndSoundAtTheToleranceEdgeOnlyWithAssistsOn) {
    constexpr double Ding = 1318.5, PickUp = 659.25, DropOff = 523.25;
    // aboard: at passenger 1's destination; offset: cells from the centre; cues on frames 0 and 15 (0: none)
    const struct { bool assists, aboard; float offset; double firstCue, laterCue; } cases[] = {
        {true, false, 4.0f, Ding, PickUp}, {true, false, -4.0f, Ding, PickUp}, {true, false, 4.0625f, 0, 0},
        {true, true, -4.0f, Ding, DropOff}, {true, true, -4.0625f, 0, 0},      {false, false, 4.0f, 0, 0},
        {false, true, -4.0f, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.assists << c.aboard << " at " << c.offset);
        arcade.resetShiftRecords(4), g.shift.assists = toFlag(c.assists), beginShift(g, arcade.view);
        if (c.aboard) tryPickUp(g.shift, *g.city, 1), g.assists.watch.aboard = 1;
        const Body& spot = c.aboard ? g.shift.passengers[1].destination : g.shift.passengers[1].pickup;
        g.player.x = spot.x + c.offset, g.player.y = spot.y, g.shift.engineRunning = FlagOn;
        g.shift.frameCounter = 1;  // passenger 1 is tested when the count reaches 16
        int lit = 0, blue = 0;
        for (int frame = 0; frame < 17; ++frame) {
            g.player.vx = g.player.vy = 0.0f, simulateAndDrawFrame(g, arcade.view, profile);
            const Image& image = renderTarget(g.screen);  // lit: the zone colour in the cockpit and on the minimap
            lit += countColour(image, ColourInZone, 280, 12, 360, 56) > 100 && countColour(image, ColourInZone, 540, 392, 639, 471) > 20;
            blue += countColour(image, ColourRoyalBlue, 0, 0, 639, 479) > 0;
            AudioChannel& cue = g.audio.channels[CueChannel];
            EXPECT_EQ(cue.enabled != 0 ? cue.oscillators[1].frequency : 0.0, frame == 0 ? c.firstCue : frame == 15 ? c.laterCue : 0.0) << frame;
            cue.enabled = 0, advanceClock(g.shift, 1.0);
        }
        // Lit on both blink phases until the pick-up moves the guide on; the cab's arrow throughout.
        EXPECT_EQ(std::tuple(lit, blue), std::tuple(c.firstCue != 0 ? 15 : 0, c.assists ? 17 : 0));
        const bool inside = std::fabs(c.offset) <= 4.0f;  // the rules are the same either way
        EXPECT_EQ(std::tuple(g.shift.passengerAboard, g.shift.deliveredCount), std::tuple(c.aboard != inside ? 1 : 0, c.aboard && inside ? 1 : 0));
    }
}

// The first shift of a run explains the engine, the squares and the map, never over other words.
TEST_F(AssistJourney, FirstShiftExplainsOnceInTheSpeechBubble) {
    // said: before the frame, with the line's full time; none: the line has run out; after: the line shown
    const struct { bool begin, assists, engineOn; const char *said, *after; } frames[] = {
        {true, false, false, nullptr, "press [S] to start the car."},  // classic mode says only the game's line
        {false, false, true, "press [S] to start the car.", "press [S] to start the car."},  // ...and keeps it
        {true, true, false, nullptr, "Press S to start the engine"},   // the first assisted shift: wait for the engine
        {false, true, true, "a passenger's own line", "a passenger's own line"},  // a passenger's words stay
        {false, true, true, "Press S to start the engine", "Stop inside a marked square to pick up a fare"},  // on at once
        {false, true, true, "a passenger's own line", "a passenger's own line"},  // the map line waits
        {false, true, true, nullptr, "Tab shows the map: find the gold diamonds"},  // until nothing is said
        {true, true, true, nullptr, "No fare yet? Try a free ride from the menu: no clock"},  // nobody delivered last time
        {true, true, false, nullptr, "press [S] to start the car."},    // each said once a run
        {false, true, true, "press [S] to start the car.", ""},          // the game's line goes once the engine runs
    };
    for (const auto& f : frames) {
        if (f.begin) arcade.resetShiftRecords(4), g.shift.assists = toFlag(f.assists), beginShift(g, arcade.view);
        g.shift.engineRunning = toFlag(f.engineOn);
        if (f.said) say(g.shift, f.said); else if (!f.begin) g.shift.speechTimer = 0;
        simulateAndDrawFrame(g, arcade.view, profile);
        EXPECT_EQ(g.shift.speechTimer > 0 ? g.shift.speechText : "", f.after);
    }
    // A newcomer who has found the map view already is not told about it.
    g.assists.coachStep = 2, g.shift.mapView = FlagOn, g.shift.speechTimer = 0, g.shift.speechText = "";
    simulateAndDrawFrame(g, arcade.view, profile);
    EXPECT_EQ(std::tuple(bool(g.shift.speechText.empty()), g.assists.coachStep), std::tuple(true, 3)) << g.shift.speechText;
}

// Throttle held against a car that waits for the cab: reversing into it, the hint sends the driver forward (never to
// the reverse key); nosing into it, it says to back off or go round. Every other car is taken out of the way.
TEST_F(AssistJourney, StallHintFollowsTheGearWhenACarIsInTheWay) {
    const struct { bool reverse; float carX; float carHeading; const char* hint; } cases[] = {
        {true, 1032, 0, "Blocked behind: change to forward, steer clear"},
        {false, 1048, 1800, "Traffic waits for you: back off or go round"},
    };
    for (const auto& c : cases) {
        arcade.resetShiftRecords(4), g.shift.assists = FlagOn, beginShift(g, arcade.view);
        for (int k = 1; k < TrafficCarCount; ++k) g.traffic[k].motion.x = g.traffic[k].motion.y = 4;  // off the streets
        TrafficCar& car = g.traffic[0];
        initTrafficCar(car, c.carX, g.player.y), car.motion.heading = c.carHeading, rotateBody(car.motion, 0.0);
        car.fwdX = c.carHeading == 0 ? 1 : -1;
        g.shift.engineRunning = FlagOn, g.shift.reverseGear = toFlag(c.reverse), g.shift.speechTimer = 0, g.assists.coachStep = 3;
        const int64_t from = arcade.window.polls() + 1;
        arcade.window.holdKey(test::KeyUp, from, from + 600);
        std::vector<std::string> said;
        for (int frame = 0; frame < 600 && said.empty(); ++frame) {
            simulateAndDrawFrame(g, arcade.view, profile), finishFrame(g, profile);
            if (g.shift.speechTimer > 0) said.push_back(g.shift.speechText);
        }
        arcade.window.clearKeys();
        EXPECT_EQ(said, std::vector<std::string>{c.hint}) << c.reverse;
        EXPECT_LT(std::fabs(g.player.x - 1040.0f), 8.0f) << "the cab got away: nothing held it";
    }
}

// From the menu, a free ride outlasts a four-minute shift with its clock standing and hidden; Esc ends it, the score
// picture says it was a free ride, and no best score is entered. The next arcade game has its clock again.
TEST_F(AssistJourney, AFreeRideOutlastsTheClockAndEndsWithEsc) {
    g.shift.assists = FlagOn, arcade.secondsPerFrame = 1.0;  // a second of game time a frame
    const std::vector<BestScore> best = g.saved.best;
    std::vector<int64_t> minutes;
    int clockPixels = -1;
    int64_t endedAt = 0;
    std::vector<uint8_t> last;
    arcade.window.onPoll = [&](int64_t poll) {
        if (g.shift.passengerCount == PassengerSlots && !endedAt) minutes.push_back(g.shift.minutesLeft);
        if (poll == 300) {  // five minutes in
            clockPixels = countColour(renderTarget(g.screen), ColourPurple, 278, 391, 311, 399);
            arcade.window.holdKey(test::KeyEsc, poll + 1, poll + 9);
        }
        if (g.shift.minutesLeft < 0 && !endedAt) endedAt = poll, arcade.window.holdKey(test::KeyEnter, poll + 2, poll + 9);
        if (poll == 2000) arcade.window.requestClose();
    };
    arcade.onFrame = [&](const Image& frame) {
        if (!endedAt) return;
        last.assign(frame.pixels, frame.pixels + static_cast<size_t>(frame.height) * frame.pitch);
        arcade.onFrame = nullptr;  // the score picture, the first frame after the end
    };
    ASSERT_EQ(arcade.runUntilEnd([&] { playMenuChoice(g, MenuFreeRide); }), -1) << "the free ride did not return";
    ASSERT_GT(minutes.size(), 300u);
    EXPECT_EQ(std::tuple(std::count(minutes.begin(), minutes.begin() + 300, 4), clockPixels, endedAt > 300, g.saved.best == best, isOn(g.shift.freeRide)),
              std::tuple(300, 0, true, true, false)) << "the clock stood at 4:00 unseen, Esc ended the ride, no best score, the ride over";
    // The title (no clock ran out) and the note's letters stand where the score picture prints them.
    Image& text = *createImage(640, 480);
    for (const auto& [line, y, size] : {std::tuple("ride's over!", 192, 2), std::tuple(FreeRideNote, 192 + 50, 3)}) {
        fillImage(text, 0), printText(g.font, text, -1, y, line, size);
        int letters = 0, missing = 0;
        for (int k = 0; k < 640 * 480; ++k) if (const uint32_t c = text.pixels[k]) ++letters, missing += last.at(k) != c;
        EXPECT_EQ(std::tuple(letters > 100, missing), std::tuple(true, 0)) << line;
    }
    destroyImage(&text);
}

TEST(AssistCue, CueChannelPlaysItsNotesOnceThenFallsSilent) {
    AudioEngine audio;
    AudioChannel& ch = audio.channels[CueChannel];
    ch.kind = ChannelKindCue, ch.amplitude = SynthAmplitude;
    startCue(audio, 1000.0, 2000.0, 0.0, 0.1);  // two notes of 2205 samples
    ASSERT_EQ(ch.enabled, -1);
    ASSERT_TRUE(fillBuffer(ch));
    auto peak = [&](int from, int to) {
        int p = 0;
        for (int i = from; i < to; ++i) p = std::max(p, std::abs(int{static_cast<int16_t>(ch.sampleBuffer[2 * i] | ch.sampleBuffer[2 * i + 1] << 8)}));
        return p;
    };
    EXPECT_EQ(std::tuple(bool(peak(0, 400) > 8000), bool(peak(2205, 2605) > 8000)), std::tuple(true, true)) << "each note is struck";
    EXPECT_LT(peak(1800, 2205), peak(0, 400) / 4) << "and fades";
    EXPECT_EQ(std::tuple(peak(4410, SynthSamplesPerBuffer), ch.enabled), std::tuple(0, 0));
    startCue(audio, 0.0, 500.0, 0.0, 0.3);  // without a first note: no cue
    EXPECT_EQ(ch.enabled, 0);
}

}  // namespace
}  // namespace hc
