#include "shell/startup.h"
#include "sim/passengers.h"

#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "core/tables.h"
#include "frontend/busy_icon.h"
#include "frontend/game.h"
#include "platform/screen.h"
#include "shell/new_game.h"
#include "support/headless_game.h"

namespace hc {
namespace {

constexpr int Esc = 1;

class StartupTest : public ::testing::Test {
protected:
    HeadlessGame hg;
    void TearDown() override {
        deleteCityMap(hg.game().city);
        hg.game().city = nullptr;
    }
    int run() {
        return hg.runUntilEnd([&] { runGame(hg.game(), hg.window); });
    }
};

TEST_F(StartupTest, ConsoleLinesComeInOrderAndEscAtTheMenuLeavesThroughTheExitScreen) {
    hg.window.holdKey(Esc, 3, 3);
    EXPECT_EQ(run(), 0);
    const auto lines = hg.consoleLines();
    ASSERT_GE(lines.size(), 7u);
    // The console is cleared first; then the free memory in whole kilobytes.
    const std::string clear = "\x1b[2J\x1b[H", tail = " Kbytes free";
    ASSERT_GT(lines[0].size(), clear.size() + tail.size()) << lines[0];
    EXPECT_EQ(lines[0].substr(0, clear.size()), clear);
    EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail);
    const std::string digits = lines[0].substr(clear.size(), lines[0].size() - clear.size() - tail.size());
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << digits;
    EXPECT_EQ(lines[1], "Map size is 20480 Kbytes");
    EXPECT_EQ(lines[2], "Audio: initializing engine");
    EXPECT_EQ(lines[3], "Setting resolution to  1360x 768");
    EXPECT_EQ(lines[4], "Screen depth: 1");
    EXPECT_EQ(hg.window.title(), "Hazard Cab 7700 [Software]");
    EXPECT_EQ(hg.window.width(), 640);
    EXPECT_EQ(hg.window.height(), 480);
    EXPECT_TRUE(hg.window.wasClosed());
    EXPECT_NE(hg.console.find("  Thanks for playing!"), std::string::npos);
    EXPECT_NE(hg.game().city, nullptr);
    // Then the data folder is named, the graphics pack loads, and Esc at the main menu
    // fades to black before the exit screen.
    EXPECT_EQ(lines[5], "Data folder: ../data");
    EXPECT_EQ(lines[6], "Extracting data, please wait");
    EXPECT_NE(hg.console.find("Just a moment...\n"), std::string::npos);
    EXPECT_EQ(hg.window.lastFramePixel(320, 240), 255);
    EXPECT_EQ(hg.window.lastFramePixel(0, 0), 255);
    // Set-up bound the keys.
    EXPECT_EQ(hg.game().keys.scancode[ActionScreenshot], 60);
}

TEST_F(StartupTest, ClosingTheWindowLeavesThroughTheExitScreenToo) {
    hg.window.onPoll = [&](int64_t poll) {
        if (poll == 5) hg.window.requestClose();
    };
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(hg.window.wasClosed());
    EXPECT_EQ(hg.window.polls(), 5);
    EXPECT_NE(hg.console.find("  Thanks for playing!"), std::string::npos);
}

TEST_F(StartupTest, NoDisplayModeFailsWithANonZeroStatus) {
    hg.window.modes.clear();
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(hg.consoleLines().back(), "No supported video modes available");
    EXPECT_FALSE(hg.window.isOpen());
}

TEST_F(StartupTest, AWindowThatCannotOpenFailsWithANonZeroStatus) {
    hg.window.openFailure = "refused";
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(hg.consoleLines().back(), "Cannot open the window: refused");
}

TEST(FreeMemoryLine, KilobytesRoundToNearestWithHalvesToEven) {
    EXPECT_EQ(kilobytesRounded(0), 0u);
    EXPECT_EQ(kilobytesRounded(511), 0u);
    EXPECT_EQ(kilobytesRounded(512), 0u);
    EXPECT_EQ(kilobytesRounded(513), 1u);
    EXPECT_EQ(kilobytesRounded(1024 + 512), 2u);
    EXPECT_EQ(kilobytesRounded(2048 + 512), 2u);
    // Beyond 4 GB the full figure is kept.
    EXPECT_EQ(kilobytesRounded(uint64_t{24} << 30), uint64_t{24} << 20);
}

TEST(BusyIcon, DrawsTheHourglassOnBlackAndPresents) {
    HeadlessGame hg;
    hg.openScreen();
    fillImage(renderTarget(hg.game().screen), 5);
    drawBusyIcon(hg.game().screen);
    ASSERT_EQ(hg.window.framesPresented(), 1);
    // The expected picture, row by row from y = cy - 9 to cy + 9, x = cx - 6 .. cx + 6.
    const char* const rows[19] = {
        "#############",  // -9
        "#############",  // -8
        ".#.........#.",  // -7
        ".#.........#.",
        ".#.........#.",
        ".#.........#.",  // -4
        "..#.......#..",  // -3
        "...#.###.#...",  // -2: sand above
        "....#...#....",
        ".....#.#.....",  // 0
        "....#...#....",
        "...#.....#...",
        "..#.......#..",  // 3
        ".#.........#.",
        ".#..#####..#.",  // 5: sand below
        ".#..#####..#.",  // 6
        ".#.........#.",
        "#############",
        "#############",  // 9
    };
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int dx = x - 320 + 6, dy = y - 240 + 9;
            const bool inIcon = dx >= 0 && dx < 13 && dy >= 0 && dy < 19;
            const bool on = inIcon && rows[dy][dx] == '#';
            ASSERT_EQ(hg.window.lastFramePixel(x, y), on ? 22 : 255) << x << "," << y;
        }
    }
}

TEST(BusyIcon, CentresOnOddSizesByRoundingHalvesToEven) {
    HeadlessGame hg;
    ScreenContext& screen = hg.game().screen;
    screen.renderBuffer = createImage(41, 31);
    drawBusyIcon(screen);
    // cx = round(20.5) = 20, cy = round(15.5) = 16: the top bar is on row 7.
    EXPECT_EQ(getPixel(*screen.renderBuffer, 14, 7), 22u);
    EXPECT_EQ(getPixel(*screen.renderBuffer, 26, 7), 22u);
    EXPECT_EQ(getPixel(*screen.renderBuffer, 27, 7), 255u);
    EXPECT_EQ(getPixel(*screen.renderBuffer, 14, 6), 255u);
}

TEST(NewGame, ResetClearsTheCountersAndPlacesTheCab) {
    Shift shift;
    PlayerCar car;
    shift.damage[1] = shift.damage[2] = shift.damage[3] = 0.5f;
    shift.frameCounter = 99;
    shift.pendingFare = 12;
    shift.score = 345;
    shift.turboLevel = shift.radiatorLevel = shift.brakeLevel = shift.tyreLevel = 3;
    shift.passengerAboard = 4;  // not a counter of the reset
    car.heading = 1800;
    rotateBody(car, 0);
    car.vx = car.vy = car.turnRate = 1;
    car.travel = 50;
    newGameReset(shift, car);
    EXPECT_EQ(shift.damage[1] + shift.damage[2] + shift.damage[3], 0.0f);
    EXPECT_EQ(shift.frameCounter, 0);
    EXPECT_EQ(shift.pendingFare, 0);
    EXPECT_EQ(shift.score, 0);
    EXPECT_EQ(shift.turboLevel + shift.radiatorLevel + shift.brakeLevel + shift.tyreLevel, 0);
    EXPECT_EQ(shift.passengerAboard, 4);
    EXPECT_EQ(car.x, 1040.0f);
    EXPECT_EQ(car.y, 1034.0f);
    EXPECT_EQ(car.travel, 0.0f);
    EXPECT_EQ(car.travelRate, 0.1f);
    EXPECT_EQ(car.heading, 0.0f);
    EXPECT_EQ(car.vx, 0.0f);
    EXPECT_EQ(car.vy, 0.0f);
    EXPECT_EQ(car.turnRate, 0.0f);
    // The direction follows the new heading: along +x.
    EXPECT_EQ(car.headingIndex, 0);
    EXPECT_EQ(car.dirX, 1.0f);

    setTimeLimit(shift, 4);
    EXPECT_EQ(shift.minutesLeft, 4);
    EXPECT_EQ(shift.secondsLeft, 0.0);
}

TEST(SetupTables, SeedsFromTheClockAndBindsTheKeys) {
    HeadlessGame hg;
    hg.now = 1234.5;
    setupTables(hg.game());
    const double first = nextRandom();
    EXPECT_EQ(hg.game().keys.scancode[ActionUp], 72);
    EXPECT_EQ(hg.game().keys.scancode[ActionLowDetail], 62);
    EXPECT_EQ(CosTable[0], 1.0f);
    // The same clock gives the same game; another clock another one.
    setupTables(hg.game());
    EXPECT_EQ(nextRandom(), first);
    hg.now = 1234.6;
    setupTables(hg.game());
    EXPECT_NE(nextRandom(), first);
}

}  // namespace
}  // namespace hc
