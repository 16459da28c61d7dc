#include "core/replay_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace hc {
namespace {

// A shift as a 60-frames-a-second run records it: the timer's length new every fourth
// frame, a little uneven, and the driver's hands changing every few frames.
Recording sampleShift(uint32_t frames) {
    Recording r;
    r.gameVersion = "1.2.3";
    r.start.random = {{1, 2, 3, 4}};
    r.start.kind = ReplayKind::Career;
    r.start.day = 20261207, r.start.money = -150, r.start.stages[0] = 3, r.start.wear[2] = 0.25f;
    r.start.assists = 0xFF, r.start.coachStep = 2, r.start.lastDelivered = 5, r.start.previousHeld = actionBit(ActionSelect);
    r.start.cabX = 1040.5f, r.start.cabY = 1034.0f;
    double delta = 1.0;
    for (uint32_t i = 0; i < frames; ++i) {
        if (i % 4 == 0) delta = 50.0 / (60.0 + std::sin(i * 0.37) * 0.5);
        const ActionMask held = actionBit(ActionUp) | ((i / 7) % 3 == 0 ? actionBit(ActionLeft) : 0);
        r.frames.push_back({delta, held | (i == 100 ? ReplayForgotten : 0)});
    }
    r.finalScore = 4711;
    return r;
}

TEST(ReplayFile, RoundTripIsExactAndAFourMinuteShiftIsSmall) {
    const Recording shift = sampleShift(4 * 60 * 60);
    const std::string bytes = recordingBytes(shift);
    EXPECT_LE(bytes.size(), 200u * 1024) << "a 4-minute shift at 60 frames a second";
    Recording back;
    std::string reason;
    ASSERT_TRUE(parseRecording(bytes, back, reason)) << reason;
    EXPECT_EQ(back.gameVersion + ":" + std::to_string(back.finalScore), "1.2.3:4711");
    EXPECT_EQ(back.start, shift.start);
    EXPECT_EQ(back.frames, shift.frames) << "lengths bit for bit, actions and the forgetting poll";
}

TEST(ReplayFile, SpoiltRecordingsAreRefusedWithTheirReason) {
    const std::string good = recordingBytes(sampleShift(50));
    const auto withStart = [](const std::function<void(ReplayStart&)>& spoil, double delta = 1.0) {
        Recording r = sampleShift(3);
        spoil(r.start), r.frames[1].delta = delta;
        return recordingBytes(r);
    };
    const auto withFrame = [&](double delta) { return withStart([](ReplayStart&) {}, delta); };
    const auto with = [&](size_t at, char value) { std::string bytes = good; bytes[at] = value; return bytes; };
    Recording tooLong = sampleShift(1);
    tooLong.frames.resize(MaxReplayFrames + 1, tooLong.frames[0]);
    const struct { std::string bytes; const char* reason; } cases[] = {
        {"", "it is not a recording"}, {"GIF89a and more", "it is not a recording"},
        {with(8, 2), "another format version"},
        {good.substr(0, good.size() - 1), "cut short"}, {good.substr(0, 12), "cut short"},
        {good + "x", "bytes after its end"},
        {with(good.size() - 6, good[good.size() - 6] ^ 0x10), "checksum"},  // in the final score: the form stays whole
        {withFrame(std::numeric_limits<double>::quiet_NaN()), "not a number in range"}, {withFrame(-0.5), "not a number in range"},
        {withFrame(MaxReplayFrameDelta * 2), "not a number in range"},
        {recordingBytes(tooLong), "more frames than a shift can have"},
        {std::string(MaxReplayBytes + 1, 'H'), "too large"},
        {withStart([](ReplayStart& s) { s.random = {}; }), "random state"}, {withStart([](ReplayStart& s) { s.kind = static_cast<ReplayKind>(3); }), "kind of shift"},
        {withStart([](ReplayStart& s) { s.day = 20261341; }), "no date"}, {withStart([](ReplayStart& s) { s.stages[3] = 4; }), "stage out of range"},
        {withStart([](ReplayStart& s) { s.wear[0] = std::nanf(""); }), "wear out of range"}, {withStart([](ReplayStart& s) { s.assists = 1; }), "neither on nor off"},
        {withStart([](ReplayStart& s) { s.coachStep = 4; }), "guide"}, {withStart([](ReplayStart& s) { s.previousHeld = actionBit(20); }), "unknown actions"},
        {withStart([](ReplayStart& s) { s.cabX = -1.0f; }), "off the map"}, {withStart([](ReplayStart& s) { s.cabY = std::nanf(""); }), "off the map"},
    };
    for (const auto& c : cases) {
        Recording out;
        out.finalScore = -1;
        std::string reason;
        EXPECT_FALSE(parseRecording(c.bytes, out, reason)) << c.reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << "wanted '" << c.reason << "', got '" << reason << "'";
        EXPECT_EQ(out.finalScore, -1) << "a refused file leaves the recording alone";
    }
}

}  // namespace
}  // namespace hc
