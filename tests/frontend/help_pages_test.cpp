// The help pages: turning, leaving, and where their lines stand.
#include "frontend/help_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "frontend/game.h"
#include "frontend_fixture.h"

namespace hc {
namespace {

constexpr uint8_t KeyCapColour = GlyphColour + 4;
constexpr uint8_t NarrowColour = GlyphColour + 3;

class HelpPages : public ::testing::Test {
protected:
    std::vector<uint8_t> pagePicture(int page) {
        drawHelpPage(fe.game(), page);
        const Image& target = *fe.game().screen.renderBuffer;
        return {target.pixels, target.pixels + 640 * 480};
    }
    uint32_t at(int x, int y) { return getPixel(*fe.game().screen.renderBuffer, x, y); }

    // Which pages the presented frames showed, in order, each run of equal frames once.
    std::vector<int> pagesShown(const FrameLog& log) {
        std::vector<std::vector<uint8_t>> pages = {{}, pagePicture(1), pagePicture(2), pagePicture(3)};
        std::vector<int> shown;
        for (const auto& frame : log.frames) {
            for (int p = 1; p <= 3; ++p) {
                if (frame == pages[p] && (shown.empty() || shown.back() != p)) shown.push_back(p);
            }
        }
        return shown;
    }

    FrontEndGame fe;
};

TEST_F(HelpPages, SelectTurnsThePagesRoundAndExitLeaves) {
    FrameLog log;
    logFrames(fe, log);
    fe.releaseKeysFrom(1, {"Return", "Return", "Return", "Escape"});
    runHelpPages(fe.game(), 1);
    fe.onFrame = nullptr;
    EXPECT_EQ(pagesShown(log), (std::vector<int>{1, 2, 3, 1}));
    // Leaving dissolves to black.
    EXPECT_EQ(log.frames.back()[240 * 640 + 320], 255);
}

TEST_F(HelpPages, OtherKeysShowThePageAgain) {
    FrameLog log;
    logFrames(fe, log);
    fe.releaseKeysFrom(1, {"Left", "Z", "Return", "Escape"});
    runHelpPages(fe.game(), 1);
    fe.onFrame = nullptr;
    EXPECT_EQ(pagesShown(log), (std::vector<int>{1, 2}));
    // Page 1 was presented first and again after each of the two other keys: the
    // picture that a screenshot key would grab.
    EXPECT_EQ(std::count(log.frames.begin(), log.frames.end(), pagePicture(1)), 3);
}

TEST_F(HelpPages, ExitLeavesFromAnyPage) {
    for (int page = 1; page <= 3; ++page) {
        FrameLog log;
        logFrames(fe, log);
        fe.window.clearKeys();
        fe.window.pressKeyAt(FrontEndGame::key("Escape"), fe.window.polls() + 1);
        runHelpPages(fe.game(), page);
        fe.onFrame = nullptr;
        EXPECT_EQ(pagesShown(log), (std::vector<int>{page}));
    }
}

TEST_F(HelpPages, LayoutFollowsTheScreenHeight) {
    EXPECT_EQ(helpLayout(480).margin, 40);
    EXPECT_EQ(helpLayout(480).firstLine, 45);
    EXPECT_EQ(helpLayout(240).margin, 20);
    EXPECT_EQ(helpLayout(240).firstLine, 25);
    EXPECT_EQ(helpLayout(200).margin, 0);
    EXPECT_EQ(helpLayout(200).firstLine, 26);
    EXPECT_EQ(helpPageTitle(1), "controls");
    EXPECT_EQ(helpPageTitle(2), "how to play");
    EXPECT_EQ(helpPageTitle(3), "credits");
}

TEST_F(HelpPages, ControlsPageHasFifteenKeyLines) {
    pagePicture(1);
    for (int a = 0; a < 15; ++a) {
        const int y = 45 + 16 * a;
        EXPECT_EQ(at(5, y), KeyCapColour) << a;           // the key picture
        EXPECT_EQ(at(5 + 4 * 7, y), NarrowColour) << a;   // the description after four spaces
    }
    EXPECT_NE(at(5, 285), KeyCapColour);  // nothing after action 15 at row 269
    EXPECT_EQ(fe.game().font.lineCursorY, 285);
    // The backdrop behind the page is grey.
    EXPECT_EQ(at(600, 100), GreyBackdropColour);
}

TEST_F(HelpPages, FooterStandsAtRow425) {
    for (int page = 1; page <= 3; ++page) {
        pagePicture(page);
        EXPECT_EQ(at(5, 425), NarrowColour);     // "page p of 3"
        EXPECT_EQ(at(540, 425), KeyCapColour);   // the select key
        EXPECT_EQ(at(555, 425), NarrowColour);   // "next"
        EXPECT_EQ(at(590, 425), KeyCapColour);   // the exit key
        EXPECT_EQ(at(605, 425), NarrowColour);   // "exit"
        EXPECT_NE(at(5, 424), NarrowColour);
    }
}

TEST_F(HelpPages, HowToPlayHasFifteenLinesTwoOfThemEmpty) {
    pagePicture(2);
    for (int line = 0; line < 15; ++line) {
        const bool empty = line == 4 || line == 10;
        EXPECT_EQ(at(5, 45 + 16 * line) == NarrowColour, !empty) << line;
    }
    EXPECT_EQ(fe.game().font.lineCursorY, 45 + 15 * 16);
}

TEST_F(HelpPages, CreditsShowTheTitleTheReleaseAndThreeLines) {
    pagePicture(3);
    EXPECT_EQ(at(320, 240), TitleColour);      // the title picture, centred
    EXPECT_EQ(at(5, 45), NarrowColour);        // "early access release 0.3"
    // Three outlined lines at rows 390, 400, 410: colours 22, 22 and 23 inside black.
    auto rowHas = [&](int y0, uint32_t colour) {
        for (int y = y0; y < y0 + 8; ++y) {
            for (int x = 0; x < 640; ++x) {
                if (at(x, y) == colour) return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(rowHas(390, 22));
    EXPECT_TRUE(rowHas(400, 22));
    EXPECT_TRUE(rowHas(410, 23));
    EXPECT_FALSE(rowHas(410, 22));
    EXPECT_FALSE(rowHas(380, 22));
}

TEST_F(HelpPages, ShortScreensStepNinePixels) {
    Game& g = fe.game();
    Image* tall = g.screen.renderBuffer;
    g.screen.renderBuffer = createImage(640, 240);
    drawHelpPage(g, 2);
    EXPECT_EQ(g.font.lineCursorY, 25 + 15 * 9);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 25), NarrowColour);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 205), NarrowColour);  // footer 240 - 20 - 15
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = createImage(640, 200);
    drawHelpPage(g, 1);
    EXPECT_EQ(getPixel(*g.screen.renderBuffer, 5, 26), KeyCapColour);
    destroyImage(g.screen.renderBuffer);
    g.screen.renderBuffer = tall;
}

}  // namespace
}  // namespace hc
