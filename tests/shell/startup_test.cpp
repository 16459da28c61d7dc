#include "shell/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/data_path.h"
#include "core/random.h"
#include "frontend/busy_icon.h"
#include "frontend/garage.h"
#include "frontend/menus.h"
#include "platform/screen.h"
#include "shell/command_line.h"
#include "shell/exit_screen.h"
#include "sim/passengers.h"
#include "support/arcade_game.h"

namespace hc {
namespace {

constexpr int KeyEsc = 1, KeyEnter = 28, KeyUp = 72, KeyDown = 80;

// Start-up from the generated data wherever the test runs (the sanitizer build has none
// of its own beside its programs).
class StartupTest : public ::testing::Test {
protected:
    HeadlessGame hg;
    void SetUp() override { setDataFolder(HC_DATA_DIR); }
    void TearDown() override {
        deleteCityMap(hg.game().city);
        hg.game().city = nullptr;
        setDataFolder("../data");
    }
    int run() {
        return hg.runUntilEnd([&] { runGame(hg.game(), hg.window); });
    }
};

// The console is cleared first; then the free memory in whole kilobytes and the set-up
// lines. Esc at the menu, or closing the window, leaves through the exit screen.
TEST_F(StartupTest, ConsoleLinesComeInOrderAndEscOrClosingLeavesThroughTheExitScreen) {
    hg.window.holdKey(KeyEsc, 3, 3);
    hg.window.onPoll = [](int64_t poll) {
        if (poll > 500) endProcess(99);  // still in the program loop
    };
    EXPECT_EQ(run(), 0);
    const auto lines = hg.consoleLines();
    ASSERT_GE(lines.size(), 7u);
    const std::string head = "\x1b[2J\x1b[H", tail = " Kbytes free", &first = lines[0];
    EXPECT_TRUE(first.starts_with(head) && first.ends_with(tail) &&
                first.find_first_not_of("0123456789", head.size()) == first.size() - tail.size()) << first;
    const char* const next[] = {"Map size is 20480 Kbytes", "Audio: initializing engine",
                                "Setting resolution to  1360x 768", "Screen depth: 1", "Data folder: " HC_DATA_DIR,
                                "Extracting data, please wait"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(lines[k + 1], next[k]);
    EXPECT_TRUE(hg.window.wasClosed() && hg.console.find("Just a moment...\n") != std::string::npos &&
                hg.console.find("  Thanks for playing!") != std::string::npos);
    EXPECT_EQ(hg.game().keys.scancode[ActionScreenshot], 60) << "set-up bound the keys";
    HeadlessGame closed;
    closed.window.onPoll = [&](int64_t poll) {
        if (poll == 5) closed.window.requestClose();
    };
    EXPECT_EQ(closed.runUntilEnd([&] { runGame(closed.game(), closed.window); }), 0);
    EXPECT_TRUE(closed.window.polls() == 5 && closed.console.find("  Thanks for playing!") != std::string::npos);
    deleteCityMap(closed.game().city);
    closed.game().city = nullptr;
}

TEST_F(StartupTest, NoDisplayModeOrAWindowThatCannotOpenFailsWithStatusOne) {
    hg.window.modes.clear();
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(hg.consoleLines().back() == "No supported video modes available" && !hg.window.isOpen());
    HeadlessGame other;
    other.window.openFailure = "refused";
    EXPECT_EQ(other.runUntilEnd([&] { runGame(other.game(), other.window); }), 1);
    EXPECT_EQ(other.consoleLines().back(), "Cannot open the window: refused");
}

TEST(FreeMemoryLine, KilobytesRoundToNearestWithHalvesToEven) {
    const uint64_t cases[][2] = {{0, 0}, {511, 0}, {512, 0}, {513, 1}, {1536, 2}, {2560, 2}, {uint64_t{24} << 30, uint64_t{24} << 20}};
    for (const auto& c : cases) EXPECT_EQ(kilobytesRounded(c[0]), c[1]) << c[0];
}

TEST(BusyIcon, DrawsTheHourglassOnBlackAndPresents) {
    HeadlessGame hg;
    hg.openScreen();
    fillImage(renderTarget(hg.game().screen), 5);
    drawBusyIcon(hg.game().screen);
    ASSERT_EQ(hg.window.framesPresented(), 1);
    // Rows cy - 9 .. cy + 9, columns cx - 6 .. cx + 6: bars at |i| >= 8, the glass, the
    // sand above (i = -2) and below (i = 5, 6).
    const char* const rows[19] = {
        "#############", "#############", ".#.........#.", ".#.........#.", ".#.........#.", ".#.........#.",
        "..#.......#..", "...#.###.#...", "....#...#....", ".....#.#.....", "....#...#....", "...#.....#...",
        "..#.......#..", ".#.........#.", ".#..#####..#.", ".#..#####..#.", ".#.........#.", "#############",
        "#############",
    };
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int dx = x - 320 + 6, dy = y - 240 + 9;
            const bool on = dx >= 0 && dx < 13 && dy >= 0 && dy < 19 && rows[dy][dx] == '#';
            ASSERT_EQ(hg.window.lastFramePixel(x, y), on ? 22 : 255) << x << "," << y;
        }
    }
    // On odd sizes the centre rounds halves to even: (20, 16) on 41 x 31, top bar on row 7.
    HeadlessGame other;
    Image* odd = other.game().screen.renderBuffer = createImage(41, 31);
    drawBusyIcon(other.game().screen);
    EXPECT_TRUE(getPixel(*odd, 14, 7) == 22u && getPixel(*odd, 26, 7) == 22u && getPixel(*odd, 27, 7) == 255u && getPixel(*odd, 14, 6) == 255u);
    destroyImage(odd);
    other.game().screen.renderBuffer = nullptr;
}

// What each reset leaves: a new arcade game clears the counters, the upgrades and the
// wear; a career shift keeps the money, the upgrades and the wear. Both put the cab back
// at its start facing +x, standing still.
TEST(NewGame, ResetsClearOrKeepWhatTheirKindOfShiftCarries) {
    for (const bool career : {false, true}) {
        Shift shift;
        PlayerCar car;
        shift.damage[1] = 0.25f, shift.damage[2] = 0.5f, shift.damage[3] = 0.75f;
        shift.frameCounter = 99, shift.pendingFare = 12, shift.score = 345, shift.passengerAboard = 4;
        shift.turboLevel = 1, shift.radiatorLevel = 2, shift.brakeLevel = 3, shift.tyreLevel = 1;
        car.x = car.y = 3, car.heading = 1800, car.vx = car.vy = car.turnRate = 1, car.travel = 50;
        rotateBody(car, 0);
        career ? resetForCareerShift(shift, car) : newGameReset(shift, car);
        const auto kept = [&](auto value) { return career ? value : decltype(value){}; };
        EXPECT_EQ(std::tie(shift.frameCounter, shift.pendingFare, shift.passengerAboard), std::make_tuple(0, 0, 4));
        EXPECT_EQ(shift.score, kept(int64_t{345}));
        EXPECT_EQ(std::tie(shift.turboLevel, shift.radiatorLevel, shift.brakeLevel, shift.tyreLevel),
                  std::make_tuple(kept(int8_t{1}), kept(int8_t{2}), kept(int8_t{3}), kept(int8_t{1})));
        EXPECT_EQ(std::tie(shift.damage[1], shift.damage[2], shift.damage[3]),
                  std::make_tuple(kept(0.25f), kept(0.5f), kept(0.75f)));
        EXPECT_EQ(std::tie(car.x, car.y, car.travel, car.travelRate, car.heading, car.vx, car.vy, car.turnRate, car.dirX),
                  std::make_tuple(1040.0f, 1034.0f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f));
    }
}

TEST(SetupTables, SeedsFromTheClockAndBindsTheKeys) {
    HeadlessGame hg;
    double draws[3];
    for (int k = 0; k < 3; ++k) hg.now = k < 2 ? 1234.5 : 1234.6, setupTables(hg.game()), draws[k] = nextRandom();
    // The same clock gives the same game; another clock another one.
    EXPECT_TRUE(draws[0] == draws[1] && draws[1] != draws[2] && hg.game().keys.scancode[ActionUp] == 72);
}

// Rounds of the program loop, each chosen with the keys and left with the exit key:
// every round opens with the menu theme (track 1) from its start; the help pages and the
// garage play track 2; an arcade game gets a new city, the turbo at stage 1 after the
// reset, a driving track and four minutes; "exit" ends through the exit screen.
TEST(ProgramLoop, EachMenuChoiceGetsItsMusicAndSetUp) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
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
        if (r.entry == MenuArcade)
            EXPECT_TRUE(shiftStart == std::make_tuple(int64_t{4}, 0.0, 1) && track >= 1 && track <= 4) << track;
        else if (r.status == -1)
            EXPECT_TRUE(choice == r.entry && track == r.trackAfter && std::get<0>(shiftStart) == -1) << r.entry;
    }
    EXPECT_TRUE(arcade.console.find("  Thanks for playing!") != std::string::npos && arcade.window.wasClosed());
}

// The driving track is drawn after the city: over a dozen seeds every track 1 to 4 comes
// up and no other.
TEST(ProgramLoop, ArcadeGamesDrawTheirTrackFromOneToFour) {
    ArcadeGame arcade;
    if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
    std::set<int> tracks;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        seedRandom(seed);
        prepareShift(arcade.game(), ShiftKind::Arcade);
        tracks.insert(arcade.game().audio.channels[MusicChannel].trackNumber);
    }
    EXPECT_EQ(tracks, (std::set<int>{1, 2, 3, 4}));
}

// On a terminal: the window closed, 18 rows of 39 cells each drawn once in order as two
// spaces of its background colour, the farewell in light grey on black at line 19, the
// terminal's colours restored, the audio shut down, and status 0.
TEST(ExitScreen, DrawsThePictureOnTheConsoleAndEndsTheProgram) {
    HeadlessGame hg;
    hg.openScreen();
    initAudio(hg.game().audio);
    hg.console.clear();
    EXPECT_TRUE(hg.runUntilEnd([&] { showExitScreen(hg.game()); }) == 0 && hg.window.wasClosed());
    const std::string& out = hg.console;
    const auto cell = [](const char* colours, int row, int column) {
        return std::string("\x1b[") + colours + "m\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H  \n";
    };
    // Black on: blue (a space), red ("4"), yellow ("E"), white ("F").
    EXPECT_EQ(out.rfind(cell("30;44", 1, 1), 0), 0u) << "the picture starts at the top left";
    EXPECT_NE(out.find(cell("30;41", 7, 1)), std::string::npos) << "row 7, column 1 is red";
    EXPECT_NE(out.find(cell("30;103", 7, 29)), std::string::npos) << "row 7 cell 14 is yellow";
    EXPECT_NE(out.find(cell("30;107", 2, 35)), std::string::npos) << "row 2 cell 17 is white";
    EXPECT_EQ(out.find("\x1b[18;79H"), std::string::npos) << "the 40th cell is not shown";
    size_t at = 0;
    for (int row = 1; row <= 18; ++row) {
        for (int c = 0; c < 39; ++c) {
            const std::string cursor = "\x1b[" + std::to_string(row) + ";" + std::to_string(2 * c + 1) + "H  \n";
            const size_t found = out.find(cursor, at);
            ASSERT_NE(found, std::string::npos) << row << "," << c;
            at = found + cursor.size();
        }
    }
    EXPECT_EQ(out.find("\x1b[37;40m\x1b[19;1H  Thanks for playing!"), at) << "right below the picture";
    EXPECT_TRUE(hg.consoleLines().back().starts_with("\x1b[0m")) << "terminal colours restored";
    EXPECT_EQ(hg.game().audio.output, nullptr) << "the audio was shut down";
    for (int c = 1; c <= AudioChannelCount; ++c) EXPECT_EQ(hg.game().audio.channels[c].enabled, 0) << c;
}

TEST(ExitScreen, WithoutATerminalThePictureIsItsColourCodes) {
    HeadlessGame hg;
    hg.openScreen();
    std::string log;
    setConsoleSink([&](std::string_view text) { log += text; }, false);
    EXPECT_EQ(hg.runUntilEnd([&] { showExitScreen(hg.game()); }), 0);
    // 18 rows, each code doubled and the 40th left out, then the farewell.
    EXPECT_TRUE(log.find('\x1b') == std::string::npos && std::count(log.begin(), log.end(), '\n') == 19);
    EXPECT_TRUE(log.starts_with("\n" + std::string(34, ' ') + "FF" + std::string(30, ' ') + "FF\n"));
    EXPECT_NE(log.find("\n4444446666664444446666664400EEDDDDDDDDDD007777000000777700            FF\n"),
              std::string::npos);
    EXPECT_NE(log.find("\n  Thanks for playing!"), std::string::npos);
}

TEST(CommandLine, OptionsAndMistakes) {
    const struct {
        std::vector<const char*> args;
        bool help, version, fullscreen;
        const char *data, *error;
    } cases[] = {
        {{}, false, false, false, "", ""},
        {{"--help"}, true, false, false, "", ""},
        {{"--version"}, false, true, false, "", ""},
        {{"--fullscreen"}, false, false, true, "", ""},
        {{"--data", "/srv/cab"}, false, false, false, "/srv/cab", ""},
        {{"--data=/srv/cab", "--fullscreen"}, false, false, true, "/srv/cab", ""},
        {{"--data", "a", "--data", "b"}, false, false, false, "b", ""},
        {{"--data"}, false, false, false, "", "The option --data needs a value: --data DIR"},
        {{"--fullscreen=yes"}, false, false, false, "", "The option --fullscreen takes no value"},
        {{"--frobnicate"}, false, false, false, "", "Unknown option '--frobnicate' (try --help)"},
        {{"level2"}, false, false, false, "", "Unknown option 'level2' (try --help)"},
        {{"--help", "--bogus"}, true, false, false, "", "Unknown option '--bogus' (try --help)"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"hazardcab"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(std::tie(line.help, line.version, line.fullscreen, line.newCareer, line.dataFolder, line.error),
                  std::make_tuple(c.help, c.version, c.fullscreen, false, std::string(c.data), std::string(c.error)))
            << (c.args.empty() ? "(none)" : c.args[0]);
    }
    const char* newCareer[] = {"hazardcab", "--new-career"};
    EXPECT_TRUE(parseCommandLine(2, newCareer).newCareer);
}

}  // namespace
}  // namespace hc
