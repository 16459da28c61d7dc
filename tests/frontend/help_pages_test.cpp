// The help pages: turning, leaving, and where their lines stand.
#include "frontend/help_pages.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"

namespace hc {
namespace {

constexpr uint8_t KeyCap = GlyphColour + 4;
constexpr uint8_t Narrow = GlyphColour + 3;

struct HelpPages : ::testing::Test {
    std::vector<uint8_t> pagePicture(int page) {
        drawHelpPage(fe.game(), page);
        const Image& target = *fe.game().screen.renderBuffer;
        return {target.pixels, target.pixels + 640 * 480};
    }
    uint32_t at(int x, int y) { return getPixel(*fe.game().screen.renderBuffer, x, y); }

    FrontEndGame fe;
};

TEST_F(HelpPages, SelectTurnsThePagesRoundOtherKeysRedrawAndExitLeavesFromAnyPage) {
    // The pages shown (each run of equal frames once) and the frames of page 1 before the
    // key that leaves.
    const struct { int first; std::vector<const char*> keys; std::vector<int> shown; int firstPageFrames; } cases[] = {
        {1, {"Return", "Return", "Return", "Escape"}, {1, 2, 3, 1}, 2},
        {1, {"Left", "Z", "Return", "Escape"}, {1, 2}, 3},  // shown again for a screenshot
        {2, {"Escape"}, {2}, 0},
        {3, {"Escape"}, {3}, 0},
    };
    const std::vector<uint8_t> pages[] = {{}, pagePicture(1), pagePicture(2), pagePicture(3)};
    FrameLog log;
    for (const auto& c : cases) {
        fe.pressFromNextPoll(c.keys, log);
        runHelpPages(fe.game(), c.first);
        std::vector<int> shown;
        int firstPageFrames = 0;
        for (size_t f = 0; f < log.frames.size(); ++f) {
            firstPageFrames += log.polls[f] < log.polls.back() && log.frames[f] == pages[1];
            for (int p = 1; p <= 3; ++p)
                if (log.frames[f] == pages[p] && (shown.empty() || shown.back() != p)) shown.push_back(p);
        }
        EXPECT_EQ(shown, c.shown) << c.keys.size();
        // Leaving dissolves to black.
        EXPECT_TRUE(firstPageFrames == c.firstPageFrames && log.frames.back()[240 * 640 + 320] == 255) << c.keys[0];
    }
}

TEST_F(HelpPages, TitlesLinesAndFooterStandWhereTheLayoutSays) {
    const char* titles[] = {"controls", "how to play", "credits"};
    for (int page = 1; page <= 3; ++page) {
        pagePicture(page);
        // Footer at row 425: "page p of 3", the select key, "next", the exit key, "exit".
        for (auto [x, colour] : {std::pair{5, Narrow}, {540, KeyCap}, {555, Narrow}, {590, KeyCap}, {605, Narrow}})
            EXPECT_EQ(at(x, 425), colour) << page << " at " << x;
        EXPECT_TRUE(at(5, 424) != Narrow && at(600, 100) == GreyBackdropColour && helpPageTitle(page) == titles[page - 1]) << page;
    }
    // Controls: fifteen key pictures, each with its description after four spaces.
    pagePicture(1);
    for (int a = 0; a < 15; ++a) EXPECT_TRUE(at(5, 45 + 16 * a) == KeyCap && at(5 + 4 * 7, 45 + 16 * a) == Narrow) << a;
    EXPECT_TRUE(at(5, 285) != KeyCap && fe.game().font.lineCursorY == 285);
    // How to play: fifteen lines, the fifth and eleventh empty.
    pagePicture(2);
    for (int line = 0; line < 15; ++line) EXPECT_EQ(at(5, 45 + 16 * line) == Narrow, line != 4 && line != 10) << line;
    EXPECT_EQ(fe.game().font.lineCursorY, 45 + 15 * 16);
    // Credits: the title picture centred, the release line, and three outlined lines at
    // rows 390, 400, 410 in colours 22, 22 and 23.
    pagePicture(3);
    EXPECT_TRUE(at(320, 240) == TitleColour && at(5, 45) == Narrow);
    auto rowHas = [&](int y0, uint32_t colour) {
        for (int i = 0; i < 8 * 640; ++i)
            if (at(i % 640, y0 + i / 640) == colour) return true;
        return false;
    };
    EXPECT_TRUE(rowHas(390, 22) && rowHas(400, 22) && rowHas(410, 23));
    EXPECT_FALSE(rowHas(410, 22) || rowHas(380, 22));
}

TEST_F(HelpPages, ShortScreensStepNinePixels) {
    Game& g = fe.game();
    Image* tall = g.screen.renderBuffer;
    g.screen.renderBuffer = createImage(640, 240);
    drawHelpPage(g, 2);  // the footer at 240 - 20 - 15
    EXPECT_TRUE(g.font.lineCursorY == 25 + 15 * 9 && at(5, 25) == Narrow && at(5, 205) == Narrow);
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = createImage(640, 200);
    drawHelpPage(g, 1);
    EXPECT_EQ(at(5, 26), KeyCap);
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = tall;
}

}  // namespace
}  // namespace hc
