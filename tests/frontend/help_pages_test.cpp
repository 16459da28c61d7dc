// The help pages: turning, leaving, and where their lines stand.
#include "frontend/help_pages.h"

#include <gtest/gtest.h>

#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"

namespace hc {
namespace {

constexpr uint8_t KeyCap = GlyphColour + 4;
constexpr uint8_t Narrow = GlyphColour + 3;

class HelpPages : public ::testing::Test {
protected:
    std::vector<uint8_t> pagePicture(int page) {
        drawHelpPage(fe.game(), page);
        const Image& target = *fe.game().screen.renderBuffer;
        return {target.pixels, target.pixels + 640 * 480};
    }
    uint32_t at(int x, int y) { return getPixel(*fe.game().screen.renderBuffer, x, y); }

    FrontEndGame fe;
};

TEST_F(HelpPages, SelectTurnsThePagesRoundOtherKeysRedrawAndExitLeavesFromAnyPage) {
    const struct {
        int first;
        std::vector<const char*> keys;
        std::vector<int> shown;  // each run of equal frames once
        int firstPageFrames;
    } cases[] = {
        {1, {"Return", "Return", "Return", "Escape"}, {1, 2, 3, 1}, 2},
        {1, {"Left", "Z", "Return", "Escape"}, {1, 2}, 3},  // shown again for a screenshot
        {2, {"Escape"}, {2}, 0},
        {3, {"Escape"}, {3}, 0},
    };
    const std::vector<uint8_t> pages[] = {{}, pagePicture(1), pagePicture(2), pagePicture(3)};
    for (const auto& c : cases) {
        FrameLog log;
        logFrames(fe, log);
        fe.window.clearKeys();
        fe.releaseKeysFrom(fe.window.polls() + 1, c.keys);
        runHelpPages(fe.game(), c.first);
        fe.onFrame = nullptr;
        std::vector<int> shown;
        for (const auto& frame : log.frames) {
            for (int p = 1; p <= 3; ++p) {
                if (frame == pages[p] && (shown.empty() || shown.back() != p)) shown.push_back(p);
            }
        }
        EXPECT_EQ(shown, c.shown) << c.keys.size();
        int firstPageFrames = 0;  // before the key that leaves
        for (size_t f = 0; f < log.frames.size(); ++f) {
            firstPageFrames += log.polls[f] < log.polls.back() && log.frames[f] == pages[1];
        }
        EXPECT_EQ(firstPageFrames, c.firstPageFrames) << c.keys[0];
        EXPECT_EQ(log.frames.back()[240 * 640 + 320], 255);  // leaving dissolves to black
    }
}

TEST_F(HelpPages, TitlesLinesAndFooterStandWhereTheLayoutSays) {
    const char* titles[] = {"controls", "how to play", "credits"};
    for (int page = 1; page <= 3; ++page) {
        pagePicture(page);
        // Footer at row 425: "page p of 3", the select key, "next", the exit key, "exit".
        const std::pair<int, uint32_t> footer[] = {
            {5, Narrow}, {540, KeyCap}, {555, Narrow}, {590, KeyCap}, {605, Narrow}};
        for (auto [x, colour] : footer) EXPECT_EQ(at(x, 425), colour) << page << " at " << x;
        EXPECT_NE(at(5, 424), Narrow);
        EXPECT_EQ(at(600, 100), GreyBackdropColour);
        EXPECT_EQ(helpPageTitle(page), titles[page - 1]);
    }
    // Controls: fifteen key pictures, each with its description after four spaces.
    pagePicture(1);
    for (int a = 0; a < 15; ++a) {
        EXPECT_EQ(at(5, 45 + 16 * a), KeyCap) << a;
        EXPECT_EQ(at(5 + 4 * 7, 45 + 16 * a), Narrow) << a;
    }
    EXPECT_NE(at(5, 285), KeyCap);
    EXPECT_EQ(fe.game().font.lineCursorY, 285);
    // How to play: fifteen lines, the fifth and eleventh empty.
    pagePicture(2);
    for (int line = 0; line < 15; ++line) EXPECT_EQ(at(5, 45 + 16 * line) == Narrow, line != 4 && line != 10) << line;
    EXPECT_EQ(fe.game().font.lineCursorY, 45 + 15 * 16);
    // Credits: the title picture centred, the release line, and three outlined lines at
    // rows 390, 400, 410 in colours 22, 22 and 23.
    pagePicture(3);
    EXPECT_EQ(at(320, 240), TitleColour);
    EXPECT_EQ(at(5, 45), Narrow);
    auto rowHas = [&](int y0, uint32_t colour) {
        for (int y = y0; y < y0 + 8; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (at(x, y) == colour) return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(rowHas(390, 22) && rowHas(400, 22) && rowHas(410, 23));
    EXPECT_FALSE(rowHas(410, 22) || rowHas(380, 22));
}

TEST_F(HelpPages, ShortScreensStepNinePixels) {
    Game& g = fe.game();
    Image* tall = g.screen.renderBuffer;
    g.screen.renderBuffer = createImage(640, 240);
    drawHelpPage(g, 2);
    EXPECT_EQ(g.font.lineCursorY, 25 + 15 * 9);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 25), Narrow);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 205), Narrow);  // footer 240 - 20 - 15
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = createImage(640, 200);
    drawHelpPage(g, 1);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 26), KeyCap);
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = tall;
}

}  // namespace
}  // namespace hc
