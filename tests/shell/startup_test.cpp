#include "shell/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/data_path.h"
#include "core/random.h"
#include "frontend/garage.h"
#include "frontend/menus.h"
#include "platform/screen.h"
#include "render/hud.h"
#include "shell/command_line.h"
#include "shell/exit_screen.h"
#include "shell/replays.h"
#include "shell/saves.h"
#include "shell/shift_loop.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"
#include "support/digest.h"
#include "support/key_codes.h"

namespace hc {
namespace {

using namespace test;  // the key codes

// Start-up from the generated data wherever the test runs (the sanitizer build has none).
class StartupTest : public ::testing::Test {
protected:
    HeadlessGame hg;
    void SetUp() override { setDataFolder(HC_DATA_DIR); }
    void TearDown() override {
        deleteCityMap(hg.game().city), hg.game().city = nullptr;
        setDataFolder("../data");
    }
    int run() { return hg.runUntilEnd([&] { runGame(hg.game(), hg.window); }); }
};

// What the system says is available, read here as the game reads it at start-up.
double availableKilobytes() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    double kb = 0;
    while (in >> key >> kb && key != "MemAvailable:") in.ignore(256, '\n');
    return kb;
}

// The console is cleared first; then the free memory in whole kilobytes (what the system
// has available between the readings before and after, give or take a tenth for what
// other processes took or gave back meanwhile: a wrong unit or field is far outside) and
// the set-up lines. Esc at the menu leaves through the exit screen.
TEST_F(StartupTest, ConsoleLinesComeInOrderAndEscAtTheMenuLeavesThroughTheExitScreen) {
    hg.window.holdKey(KeyEsc, 3, 3);
    hg.window.onPoll = [](int64_t poll) { if (poll > 500) endProcess(99); };  // still in the program loop
    const double before = availableKilobytes();
    EXPECT_EQ(run(), 0);
    const double after = availableKilobytes();
    const auto lines = hg.consoleLines();
    ASSERT_GE(lines.size(), 7u);
    std::smatch free;
    ASSERT_TRUE(std::regex_match(lines[0], free, std::regex("\x1b\\[2J\x1b\\[H([0-9]+) Kbytes free"))) << lines[0];
    EXPECT_THAT(std::stod(free[1]), ::testing::AllOf(::testing::Ge(0.9 * std::min(before, after)),
                                                      ::testing::Le(1.1 * std::max(before, after))));
    EXPECT_EQ(std::vector(lines.begin() + 1, lines.begin() + 7),
              (std::vector<std::string>{"Map size is 20480 Kbytes", "Audio: initializing engine", "Setting resolution to  1360x 768",
                                        "Screen depth: 1", "Data folder: " HC_DATA_DIR, "Extracting data, please wait"}));
    EXPECT_EQ(std::tuple(bool(hg.window.wasClosed()), bool(hg.console.find("Just a moment...\n") != std::string::npos), bool(hg.console.find(" Thanks for playing!") != std::string::npos)),
              std::tuple(true, true, true));
    EXPECT_EQ(hg.game().keys.scancode[ActionScreenshot], 60) << "set-up bound the keys";
}

// A close request (the close button, SIGTERM, SIGINT) ends the game through the exit
// screen with status 0: one that came while the data was loading before the menu opens.
TEST_F(StartupTest, ClosingTheWindowEndsThroughTheExitScreenEvenWhileLoading) {
    for (const int64_t closeAt : {0, 5}) {
        HeadlessGame one;
        if (closeAt == 0) one.window.requestClose();
        one.window.onPoll = [&](int64_t poll) {
            if (poll == closeAt) one.window.requestClose();
            if (poll > 500) endProcess(99);  // still in the program loop
        };
        EXPECT_EQ(one.runUntilEnd([&] { runGame(one.game(), one.window); }), 0) << closeAt;
        EXPECT_TRUE(one.window.wasClosed()) << closeAt;
        EXPECT_NE(one.console.find("  Thanks for playing!"), std::string::npos) << closeAt;
        EXPECT_EQ(one.game().audio.channels[MusicChannel].trackNumber == 1, closeAt > 0) << closeAt << ": the menu opened";
        deleteCityMap(one.game().city), one.game().city = nullptr;
    }
}

TEST_F(StartupTest, NoDisplayModeAWindowThatCannotOpenOrNoPackFailsWithStatusOne) {
    setDataFolder(testing::TempDir() + "hc-no-data");  // the loader says what is wrong
    EXPECT_EQ(run(), 1);
    EXPECT_NE(hg.consoleLines().back().find(testing::TempDir() + "hc-no-data/graphics.pak"), std::string::npos) << hg.console;
    for (const bool noModes : {true, false}) {
        HeadlessGame one;
        noModes ? one.window.modes.clear() : void(one.window.openFailure = "refused");
        EXPECT_EQ(one.runUntilEnd([&] { runGame(one.game(), one.window); }), 1) << noModes;
        EXPECT_EQ(std::pair(one.consoleLines().back(), one.window.isOpen()),
                  std::pair(std::string(noModes ? "No supported video modes available" : "Cannot open the window: refused"), false));
    }
}

TEST(FreeMemoryLine, KilobytesRoundToNearestWithHalvesToEven) {
    const uint64_t cases[][2] = {{0, 0}, {511, 0}, {512, 0}, {513, 1}, {1536, 2}, {2560, 2}, {uint64_t{24} << 30, uint64_t{24} << 20}};
    for (const auto& c : cases) EXPECT_EQ(kilobytesRounded(c[0]), c[1]) << c[0];
}

// What each reset leaves: a new arcade game clears the counters, the upgrades and the wear; a career shift keeps the
// money, the upgrades and the wear. Both put the cab back at its start facing +x, standing still.
TEST(NewGame, ResetsClearOrKeepWhatTheirKindOfShiftCarries) {
    for (const bool career : {false, true}) {
        Shift shift;
        PlayerCar car;
        shift.damage[1] = 0.25f, shift.damage[2] = 0.5f, shift.damage[3] = 0.75f, shift.frameCounter = 99;
        shift.pendingFare = 12, shift.score = 345, shift.passengerAboard = 4, shift.turboLevel = 1;
        shift.radiatorLevel = 2, shift.brakeLevel = 3, shift.tyreLevel = 1;
        car.x = car.y = 3, car.heading = 1800, car.vx = car.vy = car.turnRate = 1, car.travel = 50;
        rotateBody(car, 0);
        career ? resetForCareerShift(shift, car) : newGameReset(shift, car);
        const auto kept = [&](auto value) { return career ? value : decltype(value){}; };
        EXPECT_EQ(std::tie(shift.frameCounter, shift.pendingFare, shift.passengerAboard, shift.score),
                  std::make_tuple(0, 0, 4, kept(int64_t{345})));
        EXPECT_EQ(std::tie(shift.turboLevel, shift.radiatorLevel, shift.brakeLevel, shift.tyreLevel, shift.damage[1], shift.damage[2],
                           shift.damage[3]),
                  std::make_tuple(kept(int8_t{1}), kept(int8_t{2}), kept(int8_t{3}), kept(int8_t{1}), kept(0.25f), kept(0.5f), kept(0.75f)));
        EXPECT_EQ(std::tie(car.x, car.y, car.travel, car.travelRate, car.heading, car.vx, car.vy, car.turnRate, car.dirX),
                  std::make_tuple(1040.0f, 1034.0f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f));
    }
}

// The same clock gives the same game; another clock another one.
TEST(SetupTables, SeedsFromTheClockAndBindsTheKeys) {
    HeadlessGame hg;
    double draws[3];
    for (int k = 0; k < 3; ++k) hg.now = k < 2 ? 1234.5 : 1234.6, setupTables(hg.game()), draws[k] = nextRandom();
    EXPECT_EQ(std::tuple(draws[0], bool(draws[1] != draws[2]), hg.game().keys.scancode[ActionUp]), std::tuple(draws[1], true, 72));
}

// Rounds of the program loop, each chosen with the keys and left with the exit key: every round opens with the menu
// theme (track 1) from its start; the help pages and the garage play track 2; an arcade game gets a new city, the
// turbo at stage 1 after the reset, a driving track and four minutes; "exit" ends through the exit screen.
TEST(ProgramLoop, EachMenuChoiceGetsItsMusicAndSetUp) {
    ArcadeGame arcade;
    Game& g = arcade.game();
    g.view = &arcade.view;
    buildGarageList(g.state);
    const struct { int entry, trackAfter, status; } rounds[] = {{MenuHelp, 2, -1}, {MenuOptions, 1, -1}, {MenuCareer, 2, -1}, {MenuArcade, 0, -1}, {MenuExit, 0, 0}};
    for (const auto& r : rounds) {
        arcade.window.clearKeys();
        g.audio.channels[MusicChannel].trackNumber = 0;
        g.shift.passengerCount = -1, g.shift.turboLevel = 3;  // a shift sets them again
        const int64_t first = arcade.window.polls() + 1;
        // Down to the entry (up once for "exit", the menu wraps round), select, then the
        // exit key every few polls until the round is over.
        const int moves = r.entry == MenuExit ? 1 : r.entry - 1;
        for (int k = 1; k <= moves; ++k) arcade.window.pressKeyAt(r.entry == MenuExit ? KeyUp : KeyDown, first + 2 * k);
        arcade.window.pressKeyAt(KeyEnter, first + 2 * moves + 2);
        int menuTrack = -1, choice = 0;
        std::tuple<int64_t, double, int> shiftStart{-1, -1, -1};
        arcade.window.onPoll = [&](int64_t poll) {
            if (poll == first) menuTrack = g.audio.channels[MusicChannel].trackNumber;
            if (g.shift.passengerCount == PassengerSlots && std::get<0>(shiftStart) < 0)
                shiftStart = {g.shift.minutesLeft, g.shift.secondsLeft, g.shift.turboLevel};
            if (poll > first + 2 * moves + 4 && poll % 4 == 0) arcade.window.pressKeyAt(KeyEsc, poll + 1);
            if (poll > first + 3000) endProcess(99);  // a round that never ends
        };
        EXPECT_EQ(arcade.runUntilEnd([&] { choice = playMenuRound(g); }), r.status) << r.entry;
        EXPECT_EQ(menuTrack, 1) << r.entry;
        const int track = g.audio.channels[MusicChannel].trackNumber;
        if (r.entry == MenuArcade) {
            EXPECT_EQ(std::tuple(shiftStart, bool(track >= 1), bool(track <= 4)), std::tuple(std::make_tuple(int64_t{4}, 0.0, 1), true, true)) << track;
        } else if (r.status == -1) {
            EXPECT_EQ(std::tuple(choice, track, std::get<0>(shiftStart)), std::tuple(r.entry, r.trackAfter, -1)) << r.entry;
        }
    }
    EXPECT_EQ(std::tuple(bool(arcade.console.find(" Thanks for playing!") != std::string::npos), bool(arcade.window.wasClosed())), std::tuple(true, true));
}

// An arcade game's score picture in classic mode is the game's two lines and nothing else, though the score still
// goes into the best scores; with the assists on, the best-score line is drawn under them, and R (the reverse key)
// watches the shift again. Only a new best score keeps the shift's recording as the best one (the assisted game here
// has a better score already).
TEST(ProgramLoop, ClassicModeShowsTheScorePictureWithoutTheBestScoreLine) {
    for (const bool assists : {false, true}) {
        ArcadeGame arcade;
        Game& g = arcade.game();
        g.view = &arcade.view, g.shift.assists = toFlag(assists);
        if (assists) enterArcadeScore(g, 900);
        std::vector<std::vector<uint8_t>> frames;
        arcade.onFrame = [&](const Image& frame) { frames.emplace_back(frame.pixels, frame.pixels + 640 * 480); };
        size_t pictureAt = 0, watchedAt = 0;  // frames presented when the score picture was up, and after R watched the shift
        bool started = false, watching = false;
        arcade.window.onPoll = [&](int64_t poll) {
            if (!started && g.shift.passengerCount == PassengerSlots)
                started = true, g.shift.score = 70, arcade.window.pressKeyAt(KeyEsc, poll + 1);
            if (g.shift.minutesLeft < 0 && pictureAt == 0) pictureAt = frames.size(), arcade.window.pressKeyAt(assists ? 19 : KeyEnter, poll + 1);
            watching = watching || (pictureAt > 0 && g.shift.minutesLeft >= 0);
            if (watching && g.shift.minutesLeft < 0 && watchedAt == 0) watchedAt = frames.size();
            if (watchedAt > 0 && poll % 50 == 0) arcade.window.pressKeyAt(KeyEnter, poll + 1);  // once the watch has let go
            if (poll > 200000) endProcess(99);  // a shift that never ends (a watch polls every millisecond)
        };
        ASSERT_EQ(arcade.runUntilEnd([&] { playMenuChoice(g, MenuArcade); }), -1);
        ASSERT_GE(pictureAt, 2u);
        EXPECT_EQ(std::tuple(g.saved.best.size(), std::filesystem::exists(replayPath(BestShiftReplay))), std::tuple(assists ? 2u : 1u, !assists))
            << "the score entered, the best shift's recording kept";
        // The picture the game's rules give: the last frame of play greyed under the two lines.
        Image& target = renderTarget(g.screen);
        std::copy(frames[pictureAt - 2].begin(), frames[pictureAt - 2].end(), target.pixels);
        showTimeUp(g);
        EXPECT_EQ(frames[pictureAt - 1] == frames.back(), !assists) << "assists " << assists;
        if (assists) { EXPECT_TRUE(frames.at(watchedAt) == frames[pictureAt - 1]) << "R: the watch ends on the shift's own picture (70, not the watch's 0)"; }
        const auto lines = [&](bool bubble) {  // with the assists no speech bubble (the widest: two lines, its tail) shows under them
            std::copy(frames[pictureAt - 2].begin(), frames[pictureAt - 2].end(), target.pixels), bubble ? drawSpeechBubble(g.font, target, -1, 240, std::string(120, 'w')) : void();
            return showTimeUp(g, "a note", WatchAgainLine), std::vector<uint8_t>(target.pixels + 180 * 640, target.pixels + 290 * 640); };
        EXPECT_EQ(lines(true) == lines(false), assists) << "assists " << assists;
    }
}

// The driving track is drawn after the city: over a dozen seeds every track 1 to 4 comes up and no other.
TEST(ProgramLoop, ArcadeGamesDrawTheirTrackFromOneToFour) {
    ArcadeGame arcade;
    std::set<int> tracks;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        seedRandom(seed);
        prepareShift(arcade.game(), ShiftKind::Arcade);
        tracks.insert(arcade.game().audio.channels[MusicChannel].trackNumber);
    }
    EXPECT_EQ(tracks, (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(test::fnv1a(renderTarget(arcade.game().screen)), 5895363533943292476ull) << "the hourglass on black, drawn first";
}

// On a terminal: the window closed, 18 rows of 39 cells each drawn once in order as two
// spaces of its background colour, the farewell in light grey on black at line 19, the
// terminal's colours restored, the audio shut down, and status 0.
TEST(ExitScreen, DrawsThePictureOnTheConsoleAndEndsTheProgram) {
    HeadlessGame hg;
    hg.openScreen();
    initAudio(hg.game().audio);
    hg.console.clear();
    EXPECT_EQ(hg.runUntilEnd([&] { showExitScreen(hg.game()); }), 0);
    EXPECT_TRUE(hg.window.wasClosed());
    const std::string& out = hg.console;
    const auto cell = [](const char* colours, int row, int column) {
        return std::string("\x1b[") + colours + "m\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H  \n";
    };
    // Black on blue (a space), red ("4") at row 7 cell 1, yellow ("E") at row 7 cell 15 and
    // white ("F") at row 2 cell 18.
    EXPECT_EQ(out.rfind(cell("30;44", 1, 1), 0), 0u) << "the picture starts at the top left";
    for (const auto& [colours, row, column] : {std::tuple{"30;41", 7, 1}, {"30;103", 7, 29}, {"30;107", 2, 35}})
        EXPECT_NE(out.find(cell(colours, row, column)), std::string::npos) << row << "," << column;
    EXPECT_EQ(out.find("\x1b[18;79H"), std::string::npos) << "the 40th cell is not shown";
    size_t at = 0;
    for (int row = 1; row <= 18; ++row)
        for (int c = 0; c < 39; ++c) {
            const std::string cursor = "\x1b[" + std::to_string(row) + ";" + std::to_string(2 * c + 1) + "H  \n";
            const size_t found = out.find(cursor, at);
            ASSERT_NE(found, std::string::npos) << row << "," << c;
            at = found + cursor.size();
        }
    EXPECT_EQ(out.find("\x1b[37;40m\x1b[19;1H  Thanks for playing!"), at) << "right below the picture";
    EXPECT_TRUE(hg.consoleLines().back().starts_with("\x1b[0m")) << "terminal colours restored";
    EXPECT_EQ(hg.game().audio.output, nullptr) << "the audio was shut down";
    for (int c = 1; c <= AudioChannelCount; ++c) EXPECT_EQ(hg.game().audio.channels[c].enabled, 0) << c;
}

// Options set h(elp), v(ersion), f(ull screen), n(ew career) and the data folder; anything else is an error line.
TEST(CommandLine, OptionsAndMistakes) {
    // A bad argument is quoted up to its first 200 characters.
    const std::string fits = "--" + std::string(198, 'z'), huge = fits + "y" + std::string(130000, 'w');
    const std::string fitsError = "Unknown option '" + fits + "' (try --help)";
    const std::string hugeError = "Unknown option '" + fits + "...' (try --help)";
    const std::string hugeName = "--" + std::string(300, 'q') + "=1", nameError = "Unknown option '" + hugeName.substr(0, 200) + "...' (try --help)";
    const struct { std::vector<const char*> args; const char *flags, *data, *error; } cases[] = {
        {{}, "", "", ""}, {{"--help"}, "h", "", ""}, {{"--version"}, "v", "", ""}, {{"--new-career"}, "n", "", ""},
        {{"--data", "/srv/cab"}, "", "/srv/cab", ""}, {{"--data=/srv/cab", "--fullscreen"}, "f", "/srv/cab", ""},
        {{"--data", "a", "--data", "b"}, "", "b", ""}, {{"--data"}, "", "", "The option --data needs a value: --data DIR"},
        {{"--replay"}, "", "", "The option --replay needs a value: --replay FILE"},
        {{"--fullscreen=yes"}, "", "", "The option --fullscreen takes no value"},
        {{"--frobnicate"}, "", "", "Unknown option '--frobnicate' (try --help)"},
        {{"--help", "--bogus"}, "h", "", "Unknown option '--bogus' (try --help)"},
        {{fits.c_str()}, "", "", fitsError.c_str()}, {{huge.c_str()}, "", "", hugeError.c_str()}, {{hugeName.c_str()}, "", "", nameError.c_str()}};
    for (const auto& c : cases) {
        std::vector<const char*> argv{"hazardcab"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        const std::string flags = std::string(line.help ? "h" : "") + (line.version ? "v" : "") + (line.fullscreen ? "f" : "") +
                                  (line.newCareer ? "n" : "");
        EXPECT_EQ(std::tie(flags, line.dataFolder, line.error), std::make_tuple(std::string(c.flags), std::string(c.data), std::string(c.error)))
            << (c.args.empty() ? "(none)" : c.args[0]);
    }
}

}  // namespace
}  // namespace hc
