#include "shell/exit_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/headless_game.h"

namespace hc {
namespace {

// The console output of one cell: colours, cursor, two spaces and a line end.
std::string cell(const char* colours, int row, int column) {
    return std::string("\x1b[") + colours + "m\x1b[" + std::to_string(row) + ";" + std::to_string(column) +
           "H  \n";
}

class ExitScreenTest : public ::testing::Test {
protected:
    HeadlessGame hg;
    int status = -1;
    void SetUp() override {
        hg.openScreen();
        hg.console.clear();
        status = hg.runUntilEnd([&] { showExitScreen(hg.game()); });
    }
};

TEST_F(ExitScreenTest, ClosesTheWindowAndEndsWithStatusZero) {
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(hg.window.wasClosed());
}

TEST_F(ExitScreenTest, DrawsEveryCellInOrderWithItsColour) {
    // Black on: blue (a space), red ("4"), yellow ("E"), white ("F").
    const std::string& out = hg.console;
    EXPECT_EQ(out.rfind(cell("30;44", 1, 1), 0), 0u) << "the picture starts at the top left";
    EXPECT_NE(out.find(cell("30;41", 7, 1)), std::string::npos) << "row 7, column 1 is red";
    EXPECT_NE(out.find(cell("30;103", 7, 29)), std::string::npos) << "row 7 cell 14 is yellow";
    EXPECT_NE(out.find(cell("30;107", 2, 35)), std::string::npos) << "row 2 cell 17 is white";
    EXPECT_NE(out.find(cell("30;44", 18, 77)), std::string::npos) << "the 39th cell is shown";
    EXPECT_EQ(out.find("\x1b[18;79H"), std::string::npos) << "the 40th cell is not";
    // 18 rows of 39 cells, each drawn exactly once, row after row.
    size_t at = 0;
    for (int row = 1; row <= 18; ++row) {
        for (int c = 0; c < 39; ++c) {
            const std::string cursor = "\x1b[" + std::to_string(row) + ";" + std::to_string(2 * c + 1) + "H  \n";
            const size_t found = out.find(cursor, at);
            ASSERT_NE(found, std::string::npos) << row << "," << c;
            at = found + cursor.size();
        }
    }
}

TEST(ExitScreenPlain, WithoutATerminalThePictureIsItsColourCodes) {
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

TEST_F(ExitScreenTest, FarewellIsLightGreyOnBlackAtLine19) {
    const std::string expected = "\x1b[37;40m\x1b[19;1H  Thanks for playing!";
    const size_t at = hg.console.find(expected);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, hg.console.find("\x1b[18;77H")) << "below the picture";
    EXPECT_EQ(hg.consoleLines().back().rfind("\x1b[0m", 0), 0u) << "terminal colours restored";
}

}  // namespace
}  // namespace hc
