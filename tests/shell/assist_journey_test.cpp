// The assists on a generated city, headless: the cab set down standing just inside or just
// outside a square, with the engine running, frame after frame of the shift loop.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/colours.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

int countColour(const Image& image, uint32_t colour, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) for (int x = x1; x <= x2; ++x) n += getPixel(image, x, y) == colour;
    return n;
}

TEST(AssistJourney, SquaresLightAndSoundAtTheToleranceEdgeOnlyWithAssistsOn) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    constexpr double Ding = 1318.5, PickUp = 659.25, DropOff = 523.25;
    // aboard: passenger 1 rides, the cab is at the destination; offset: cells along x from
    // the square's centre; the cues on the first frame and on passenger 1's slot (0: none).
    struct Case { bool assists, aboard; float offset; double firstCue, laterCue; };
    const Case cases[] = {
        {true, false, 4.0f, Ding, PickUp}, {true, false, -4.0f, Ding, PickUp}, {true, false, 4.0625f, 0, 0},
        {true, true, -4.0f, Ding, DropOff}, {true, true, -4.0625f, 0, 0},      {false, false, 4.0f, 0, 0},
        {false, true, -4.0f, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.assists << c.aboard << " at " << c.offset);
        arcade.resetShiftRecords(4), g.shift.assists = toFlag(c.assists), beginShift(g, arcade.view);
        Shift& shift = g.shift;
        if (c.aboard) tryPickUp(shift, *g.city, 1), g.fareWatch.aboard = 1;
        const Body& spot = c.aboard ? shift.passengers[1].destination : shift.passengers[1].pickup;
        g.player.x = spot.x + c.offset, g.player.y = spot.y;
        shift.engineRunning = FlagOn;
        shift.frameCounter = 1;  // passenger 1 is tested when the count reaches 16
        ShiftProfile profile;
        double cues[17] = {};
        int lit = 0, blue = 0;
        for (int frame = 0; frame < 17; ++frame) {
            g.player.vx = g.player.vy = 0.0f, simulateAndDrawFrame(g, arcade.view, profile);
            const Image& image = renderTarget(g.screen);
            // The cue where the top arrow was, and on the minimap.
            lit += countColour(image, ColourInZone, 280, 12, 360, 56) > 100 && countColour(image, ColourInZone, 540, 392, 639, 471) > 20;
            blue += countColour(image, ColourRoyalBlue, 0, 0, 639, 479) > 0;
            AudioChannel& cue = g.audio.channels[CueChannel];
            cues[frame] = cue.enabled != 0 ? cue.oscillators[1].frequency : 0.0;
            cue.enabled = 0, advanceClock(shift, 1.0);
        }
        // Lit steadily on every frame, both of the marks' blink phases, until the pick-up
        // moves the guide on to the destination; silent on all others.
        EXPECT_EQ(lit, c.firstCue != 0 ? 15 : 0);
        EXPECT_EQ(blue, c.assists ? 17 : 0) << "the cab's mark on the minimap";
        for (int frame = 0; frame < 17; ++frame) EXPECT_EQ(cues[frame], frame == 0 ? c.firstCue : frame == 15 ? c.laterCue : 0.0) << frame;
        // The rules are the same either way: inside, the passenger gets in or out.
        const bool inside = std::fabs(c.offset) <= 4.0f;
        EXPECT_EQ(shift.passengerAboard, c.aboard != inside ? 1 : 0);
        EXPECT_EQ(shift.deliveredCount, c.aboard && inside ? 1 : 0);
    }
}

// The first shift of a run explains the engine, then the rings, never over other words.
TEST(AssistJourney, FirstShiftExplainsOnceInTheSpeechBubble) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    Game& g = arcade.game();
    const std::string classic = "press [S] to start the car.", engine = "Press S to start the engine",
                      rings = "Stop inside a ring to pick up a fare", fare = "a passenger's own line";
    const struct {
        bool begin, assists, engineOn;
        const std::string* said;  // before the frame, with the line's full time; none: the line has run out
        const std::string& after;
    } frames[] = {
        {true, false, false, nullptr, classic},  // classic mode says only the game's line
        {true, true, false, nullptr, engine},    // the first assisted shift: wait for the engine
        {false, true, true, &fare, fare},        // a passenger's words stay
        {false, true, true, &engine, rings},     // the engine runs: on to the rings at once
        {true, true, true, nullptr, classic},    // said once a run
    };
    for (const auto& f : frames) {
        if (f.begin) arcade.resetShiftRecords(4), g.shift.assists = toFlag(f.assists), beginShift(g, arcade.view);
        g.shift.engineRunning = toFlag(f.engineOn);
        if (f.said) say(g.shift, *f.said); else g.shift.speechTimer = 0;
        ShiftProfile profile;
        simulateAndDrawFrame(g, arcade.view, profile);
        EXPECT_EQ(g.shift.speechText, f.after);
    }
}

// A cue rings at once, fades and ends by itself: the channel goes off after its last
// buffer, the samples past the cue's length are silence; a cue without notes is none.
TEST(AssistJourney, CueChannelPlaysItsNotesOnceThenFallsSilent) {
    AudioEngine audio;
    AudioChannel& ch = audio.channels[CueChannel];
    ch.kind = ChannelKindCue, ch.amplitude = SynthAmplitude;
    startCue(audio, 1000.0, 2000.0, 0.0, 0.1);  // two notes of 2205 samples
    ASSERT_TRUE(ch.enabled == -1 && fillBuffer(ch));
    auto peak = [&](int from, int to) {
        int p = 0;
        for (int i = from; i < to; ++i) p = std::max(p, std::abs(int{static_cast<int16_t>(ch.sampleBuffer[2 * i] | ch.sampleBuffer[2 * i + 1] << 8)}));
        return p;
    };
    EXPECT_GT(peak(0, 400), 8000);
    EXPECT_LT(peak(1800, 2205), peak(0, 400) / 4) << "each note fades";
    EXPECT_GT(peak(2205, 2605), 8000) << "the second note is struck";
    EXPECT_TRUE(peak(4410, SynthSamplesPerBuffer) == 0 && ch.enabled == 0);
    startCue(audio, 0.0, 500.0, 0.0, 0.3);
    EXPECT_EQ(ch.enabled, 0);
}

}  // namespace
}  // namespace hc
