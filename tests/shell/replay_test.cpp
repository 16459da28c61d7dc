// Shifts recorded headless and played back: the same pictures, frame for frame, and the same end.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <vector>

#include "shell/command_line.h"
#include "shell/replays.h"
#include "shell/shift_loop.h"
#include "shell/startup.h"
#include "support/arcade_game.h"
#include "support/digest.h"
#include "support/key_codes.h"

namespace hc {
namespace {

using namespace test;  // the key codes
constexpr int KeyS = 31;

// The seed's city, the cab on the pick-up of a fare whose destination lies ahead (+x) on a clear road; 0: there is none.
int standOnStraightFare(ArcadeGame& arcade, uint64_t seed, ShiftKind kind) {
    Game& g = arcade.game();
    seedRandom(seed), prepareShift(g, kind), beginShift(g, arcade.view);
    int fare = 0;
    for (int k = 1; k <= PassengerSlots && fare == 0; ++k) {
        const Body &from = g.shift.passengers[k].pickup, &to = g.shift.passengers[k].destination;
        bool clear = std::fabs(from.y - to.y) <= 1.0f && to.x - from.x >= 60.0f && to.x - from.x <= 400.0f;
        for (float x = from.x - 2; x <= to.x + 8 && clear; ++x)
            for (float dy = -2; dy <= 2; ++dy) clear = clear && !isBlocked(*g.city, x, from.y + dy);
        fare = clear ? k : 0;
    }
    seedRandom(seed), prepareShift(g, kind);  // the same city and passengers again
    if (fare != 0) g.player.x = g.shift.passengers[fare].pickup.x, g.player.y = g.shift.passengers[fare].pickup.y;
    return fare;
}

// Drives as a player would: the fare, the engine, to the destination and brake, the drop-off; loses the window's focus
// as it lets go of the map key (a release forgotten: no map), shows the map, drives into a wall and presses exit.
struct Driver {
    Driver(ArcadeGame& game, int k) : arcade(game), fare(k) {}
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
        const auto hold = [&](int key) { w.holdKey(key, poll, poll); };
        const auto next = [&] { ++phase, since = poll; };
        if (poll > 4000) endProcess(99);  // a drive that never ends fails
        if (g.shift.minutesLeft < 0) {
            if (loopEnd == 0) loopEnd = frames.size() - 1, w.holdKey(KeyEnter, poll + 2, poll + 2);
            return;
        }
        switch (phase) {
            case 0: if (g.shift.passengerAboard == fare) hold(KeyS), next(); break;
            case 1: if (poll > since + 2) next(); break;
            case 2:  // throttle, and brake as late as the speed allows
                if (g.player.x + 80 * speed < p.destination.x - 1) hold(KeyUp);
                else if (speed > 0.003) hold(KeyDown);
                else next();
                break;
            case 3: if (isOn(p.delivered)) hold(KeyTab), next(); break;
            case 4: w.forgetInput(), next(); break;
            case 5: if (poll > since + 5) hold(KeyTab), next(); break;
            case 6: sawMap = sawMap || isOn(g.shift.mapView); if (poll > since + 30) hold(KeyTab), next(); break;
            case 7:
                if (poll > since + 2) hold(KeyUp);
                if (poll > since + 40) hold(KeyLeft);
                if (g.shift.damage[1] > 0) crashed = true, next();
                break;
            case 8: if (poll > since + 20) hold(KeyEsc), next(); break;
            default: break;
        }
    }
};

// An arcade shift at 60 frames a second, and a career shift (money, an upgrade and wear to start with) at 30 with the
// guide's lines and marks. The recording is then kept on disk and watched from the best scores page.
TEST(Replay, ADrivenShiftPlaysBackFrameForFrameAt60And30FramesASecond) {
    ArcadeGame arcade;
    Game& g = arcade.game();
    for (const double secondsPerFrame : {1.0 / 60.0, 1.0 / 30.0}) {
        const bool career = secondsPerFrame > 0.02;
        SCOPED_TRACE(testing::Message() << 1.0 / secondsPerFrame << " frames a second");
        g.shift.score = 250, g.shift.turboLevel = 2, g.shift.damage[2] = 0.25f;  // kept by a career shift only
        Driver d{arcade, standOnStraightFare(arcade, 9, career ? ShiftKind::Career : ShiftKind::Arcade)};
        ASSERT_NE(d.fare, 0) << "the seed's city has no fare along the cab's road";
        g.shift.assists = toFlag(career);
        arcade.secondsPerFrame = secondsPerFrame;
        arcade.window.onPoll = [&](int64_t poll) { d.onPoll(poll); };
        arcade.onFrame = [&](const Image& frame) { d.frames.push_back(fnv1a(frame)); };
        arcade.runUntilEnd([&] { runShift(g, arcade.view); });
        arcade.window.onPoll = nullptr;
        EXPECT_EQ(g.shift.deliveredCount, 1) << "the fare was not delivered; the drive ended in phase " << d.phase;
        EXPECT_EQ(std::tuple(d.sawMap, d.crashed), std::tuple(true, true)) << "the map was seen, the cab crashed";
        const Recording recording = g.recording;
        const uint64_t state = shiftDigest(g);
        const size_t count = recording.frames.size();
        ASSERT_GT(count, 200u);
        ASSERT_GE(d.loopEnd, count);

        // Played back on a machine of another speed, with the other detail setting: the recording's frame lengths and
        // detail count.
        arcade.secondsPerFrame = 1.0 / 45.0, g.saved.settingsLoaded = true, g.saved.settings.lowDetail = !isOn(g.shift.lowDetail);
        std::vector<uint64_t> shown;
        arcade.onFrame = [&](const Image& frame) { shown.push_back(fnv1a(frame)); };
        PlaybackResult result;
        arcade.runUntilEnd([&] { result = playRecording(g, arcade.view, recording, false); });
        arcade.onFrame = nullptr;
        EXPECT_EQ(std::tuple(result.complete, result.score, shiftDigest(g), recording.start.money, recording.start.stages[0]),
                  std::tuple(true, recording.finalScore, state, career ? 250 : 0, static_cast<int8_t>(career ? 2 : 1))) << "complete, score (money), digest, start (an arcade cab has the first turbo)";
        ASSERT_GE(shown.size(), count);
        int differing = 0, first = -1;
        for (size_t i = 0; i < count; ++i)
            if (shown[shown.size() - count + i] != d.frames[d.loopEnd - count + i]) ++differing, first = first < 0 ? static_cast<int>(i) : first;
        EXPECT_EQ(differing, 0) << "pictures differ from frame " << first;
    }
    // Cut short (a shift left early): played to its last frame and no further.
    Recording cut = g.recording, back;
    cut.frames.resize(100), arcade.runUntilEnd([&] { EXPECT_EQ(playRecording(g, arcade.view, cut, false).frames, 100); });
    // Kept on disk, read back equal, and watched from the best scores page (Enter leaves its score picture).
    std::string reason;
    ASSERT_TRUE(saveRecording(g, BestShiftReplay));
    ASSERT_TRUE(readRecordingFile(replayPath(BestShiftReplay), back, reason)) << reason;
    EXPECT_EQ(recordingBytes(back), recordingBytes(g.recording));
    g.view = &arcade.view, arcade.console.clear();
    arcade.window.onPoll = [&](int64_t poll) { if (poll % 4 == 0) arcade.window.pressKeyAt(KeyEnter, poll + 1); };
    const int64_t before = arcade.window.framesPresented();
    arcade.secondsPerFrame = 0.005;  // a fast machine: the watch keeps the pace the shift was driven at
    const double start = arcade.now, seconds = std::accumulate(back.frames.begin(), back.frames.end(), 0.0, [](double s, const ReplayFrame& f) { return s + f.delta / 50.0; });
    const std::string line = watchBestShift(g);  // before the frames are counted
    EXPECT_EQ(std::tuple(line, arcade.window.framesPresented() - before > std::ssize(back.frames), arcade.console.find("Cannot"), arcade.now - start >= seconds),
              std::tuple("", true, std::string::npos, true)) << "the page's line, the shift watched, no refusal, the pace";
    // Given at the start (--replay FILE), it is watched before the menu opens; a close once it has played ends the game.
    const int64_t polls = arcade.window.polls();
    arcade.window.onPoll = [&](int64_t poll) { if (g.shift.score == back.finalScore || poll > polls + 100000) arcade.window.requestClose(); };
    setDataFolder(HC_DATA_DIR), g.shift.score = -1, arcade.runUntilEnd([&] { runGame(g, arcade.window, nullptr, &back); }), setDataFolder("../data");
    EXPECT_EQ(g.shift.score, back.finalScore) << "the recording was watched to its end";
}

// A recording missing or that cannot be played: --replay FILE or --watch-best ends the start with one line and status 1
// before any window opens; the best scores page says so (the console why) and the file stays as it was.
TEST(Replay, ARecordingThatCannotBePlayedIsRefusedWithOneLine) {
    HeadlessGame hg;
    const std::string path = replayPath(BestShiftReplay), replay = "--replay=" + path;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const struct { std::function<void()> make; std::string reason; } cases[] = {
        {[] {}, "there is no such file"}, {[&] { std::ofstream(path) << "HCREPLAY\1"; }, "it is cut short"},
        {[&] { ::mkfifo(path.c_str(), 0600); }, "it is not a regular file"},
        {[&] { std::ofstream(path) << "HCREPLAY", std::filesystem::resize_file(path, MaxReplayBytes + 1); },
         "it is larger than " + std::to_string(MaxReplayBytes) + " bytes"}};
    for (const auto& c : cases) {
        const bool missing = &c == cases;
        std::filesystem::remove(path), c.make(), hg.console.clear();
        const char* argv[] = {"hazardcab", "--data", HC_DATA_DIR, missing ? "--watch-best" : replay.c_str()};
        EXPECT_EQ(std::tuple(runFromCommandLine(4, argv), watchBestShift(hg.game()), std::filesystem::exists(path)),
                  std::tuple(1, missing ? NoBestShiftLine : UnplayableBestShiftLine, !missing)) << c.reason;
        EXPECT_EQ(hg.consoleLines(), std::vector<std::string>(missing ? 1 : 2, "Cannot play " + path + ": " + c.reason));
    }
    EXPECT_EQ(std::tuple(hg.window.isOpen(), hg.window.framesPresented()), std::tuple(false, 0));
    // Nor is a recording longer than a file can hold ever kept: the frame past the bound loses it.
    hg.game().recording.frames.assign(MaxReplayFrames - 1, ReplayFrame{}), resetFrameTimer(hg.game().timer);
    const auto record = [&] { return recordFrame(hg.game(), 0), hg.game().recording.frames.size(); };
    const std::vector<size_t> kept{record(), record()};  // in order: a braced list
    EXPECT_EQ(std::tuple(kept, hg.game().recordingLost, saveRecording(hg.game(), LastShiftReplay)), std::tuple(std::vector<size_t>{MaxReplayFrames, 0}, true, false));
}

TEST(Replay, TheCityOfTheDayIsTheSameFromAnyStart) {
    ArcadeGame arcade;
    Game& g = arcade.game();
    const auto frameZero = [&](uint64_t runSeed, uint32_t day) {
        seedRandom(runSeed), prepareShift(g, ShiftKind::Arcade, day), beginShift(g, arcade.view);
        uint64_t h = shiftDigest(g);  // and the ground, walls and marks (sprite columns mean something only under a car)
        for (const MapCell& c : g.city->cells) h = fnv1a(&c, 3, h);
        return h;
    };
    const uint64_t day = frameZero(1, 20261207);
    EXPECT_EQ(std::tuple(frameZero(987654321, 20261207) == day, frameZero(1, 20261208) == day), std::tuple(true, false)) << "another start, another day";
    const uint64_t digest = shiftDigest(g);
    EXPECT_NE((++g.shift.score, shiftDigest(g)), digest) << "a point more is another shift";
}

}  // namespace
}  // namespace hc
