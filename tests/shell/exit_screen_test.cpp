#include "shell/exit_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/headless_game.h"

namespace hc {
namespace {

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
    EXPECT_EQ(hg.consoleLines().back().rfind("\x1b[0m", 0), 0u) << "terminal colours restored";
    EXPECT_EQ(hg.game().audio.output, nullptr) << "the audio was shut down";
    for (int c = 1; c <= AudioChannelCount; ++c) EXPECT_EQ(hg.game().audio.channels[c].enabled, 0) << c;
}

TEST(ExitScreen, WithoutATerminalThePictureIsItsColourCodes) {
    HeadlessGame hg;
    hg.openScreen();
    std::string log;
    setConsoleSink([&](std::string_view text) { log += text; }, false);
    EXPECT_EQ(hg.runUntilEnd([&] { showExitScreen(hg.game()); }), 0);
    EXPECT_EQ(log.find('\x1b'), std::string::npos);
    // 18 rows, each code doubled and the 40th left out, then the farewell.
    EXPECT_EQ(log.rfind("\n" + std::string(34, ' ') + "FF" + std::string(30, ' ') + "FF\n", 0), 0u);
    EXPECT_NE(log.find("\n4444446666664444446666664400EEDDDDDDDDDD007777000000777700            FF\n"),
              std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 19);
    EXPECT_NE(log.find("\n  Thanks for playing!"), std::string::npos);
}

}  // namespace
}  // namespace hc
