// The main menu, the help pages, and the two drawing helpers of every front-end screen.
#include "frontend/best_scores.h"
#include "frontend/help_pages.h"
#include "frontend/menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/colours.h"
#include "frontend/game.h"
#include "frontend_fixture.h"
#include "support/digest.h"

namespace hc {
namespace {

// Up from 1 wraps to the last and down from the last to 1; other keys are not the menu's. With the assists the free
// ride is second, the city of the day third, the best scores fifth and exit the eighth.
TEST(MainMenu, UpAndDownWrapRoundTheEntriesAndTheExitKeyChoosesExit) {
    const struct { bool assists; std::vector<const char*> keys; int chosen; } cases[] = {
        {false, {"Return"}, MenuArcade}, {false, {"Down", "Return"}, MenuCareer}, {false, {"Up", "Return"}, MenuExit},
        {false, {"Up", "Up", "Return"}, MenuHelp}, {false, {"Up", "Down", "Return"}, MenuArcade},
        {false, {"Down", "Down", "Down", "Down", "Down", "Down", "Return"}, MenuCareer},
        {false, {"Left", "S", "Right", "Return"}, MenuArcade}, {false, {"Down", "Escape"}, MenuExit},
        {true, {"Down", "Return"}, MenuFreeRide}, {true, {"Down", "Down", "Return"}, MenuCityOfDay},
        {true, {"Down", "Down", "Down", "Return"}, MenuCareer},
        {true, {"Up", "Return"}, MenuExit}, {true, {"Up", "Up", "Return"}, MenuHelp},
        {true, {"Down", "Down", "Down", "Down", "Return"}, MenuBestScores}, {true, {"Up", "Up", "Up", "Return"}, MenuOptions},
        {true, {"Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Return"}, MenuArcade}, {true, {"Escape"}, MenuExit}};
    for (const auto& c : cases) {
        FrontEndGame fe;
        fe.game().shift.assists = toFlag(c.assists), fe.releaseKeysFrom(1, c.keys);
        EXPECT_EQ(runMainMenu(fe.game()), c.chosen) << c.assists << ' ' << c.keys.size();
    }
    const char* texts[] = {"", "arcade mode", "career mode", "options", "read this!", "exit", "free ride", "city of the day", "best scores", ""};
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(mainMenuText(i), texts[i]);
}

TEST(MainMenu, BackdropTitleAndTheSelectedEntryBlinkingTwoFramesOnTwoOff) {
    FrontEndGame fe;
    FrameLog log;
    fe.pressFromNextPoll({}, log), fe.window.pressKeyAt(FrontEndGame::key("Escape"), 13);
    EXPECT_EQ(runMainMenu(fe.game()), MenuExit);
    // Entry i stands at row 222 + 20 i; entry 1 is selected, entry 2 never blinks.
    int checked = 0;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        const int64_t poll = log.polls[f];
        if (poll < 1 || poll > 12) continue;  // the dissolves' frames
        auto at = [&](int x, int y) { return log.frames[f][static_cast<size_t>(y) * 640 + x]; };
        EXPECT_EQ(at(320, 246) == GlyphColour + 2, (poll - 1) % 4 < 2) << poll;
        // The backdrop fills rows 40..439, the 500-wide title columns 70..569 from row 40.
        const std::tuple<int, int, int> probes[] = {{320, 266, GlyphColour + 2}, {10, 40, BackdropColour}, {10, 439, BackdropColour},
                                                    {69, 40, BackdropColour}, {570, 209, BackdropColour}, {10, 39, 255},
                                                    {10, 440, 255}, {70, 40, TitleColour}, {569, 209, TitleColour}};
        for (auto [x, y, c] : probes) EXPECT_EQ(at(x, y), c) << x << "," << y;
        if (poll == 1) { EXPECT_EQ(test::fnv1a(log.frames[f].data(), log.frames[f].size()), 3116514926593641317ull) << "the classic menu, byte for byte"; }
        ++checked;
    }
    EXPECT_EQ(std::tuple(checked, log.frames.back()[246 * 640 + 320]), std::tuple(12, 255));  // leaving dissolves to black
}

TEST(MainMenu, TheWindowShowsANewFrameAtTheBlinksPaceOnly) {
    FrontEndGame fe;
    FrameLog log;
    fe.pressFromNextPoll({}, log), fe.window.pressKeyAt(FrontEndGame::key("Escape"), 41);
    int64_t first = -1, last = -1;  // frames shown by the first and the last menu frame
    fe.onFrame = [&](const Image&) { fe.window.polls() == 1 ? first = fe.window.framesShown() : fe.window.polls() == 40 ? last = fe.window.framesShown() : 0; };
    EXPECT_EQ(runMainMenu(fe.game()), MenuExit);
    EXPECT_EQ(std::pair(last - first, fe.window.framesShown() < fe.window.framesPresented()), std::pair(int64_t{19}, true));  // 40 frames, 20 pictures, the first counted in first
}

TEST(DrawImageScaled, CentredOneToOneHalvedAt320AndDoubledAbove1280) {
    struct Probe { int x, y; uint32_t colour; };  // source column + 1, or 255 where nothing is drawn
    const struct { int targetW, targetH, pictureW, pictureH, x, y; std::vector<Probe> probes; } cases[] = {
        // 100 x 50 centred on 640 x 480: columns 270..369, rows 215..264.
        {640, 480, 100, 50, -1, -1, {{270, 215, 1}, {369, 264, 100}, {269, 215, 255}, {270, 214, 255}, {370, 264, 255}, {369, 265, 255}}},
        // At 320 every second column and row: rows 0 and 2 of four.
        {320, 240, 640, 4, 0, 0, {{0, 0, 1}, {1, 0, 3}, {159, 0, 69}, {319, 0, 139}, {0, 1, 1}, {0, 2, 255}}},
        // Above 1280 steps of 0.5 rounded half to even: columns 0, 0, 1, 2, 2, 2, 3, 4, 4, 4; four rows become seven.
        {1366, 20, 640, 4, 0, 0, {{1, 0, 1}, {2, 0, 2}, {3, 0, 3}, {5, 0, 3}, {6, 0, 4}, {9, 0, 5}, {0, 6, 1}, {0, 7, 255}}},
        // Larger than the target: cut off at every edge.
        {64, 48, 200, 200, -1, -1, {{0, 0, 69}, {63, 47, 132}}},
        {64, 48, 200, 200, 30, 40, {{29, 40, 255}, {30, 39, 255}, {30, 40, 1}, {63, 47, 34}}}};
    for (const auto& c : cases) {
        Image *target = createImage(c.targetW, c.targetH), *picture = createImage(c.pictureW, c.pictureH);  // pixels: source column + 1
        for (int i = 0; i < c.pictureW * c.pictureH; ++i) putPixel(*picture, i % c.pictureW, i / c.pictureW, static_cast<uint32_t>(i % c.pictureW % 250 + 1));
        fillImage(*target, 255), drawImageScaled(*target, picture, c.x, c.y);
        for (const Probe& p : c.probes) EXPECT_EQ(getPixel(*target, p.x, p.y), p.colour) << c.targetW << ": " << p.x << "," << p.y;
        destroyImage(picture), destroyImage(target);
    }
    // Colour 0 is transparent, and an absent picture draws nothing.
    Image *target = createImage(64, 48), *picture = createImage(10, 10);
    fillImage(*target, 9), fillImage(*picture, 0), putPixel(*picture, 5, 5, 3), drawImageScaled(*target, picture, 0, 0), drawImageScaled(*target, nullptr, -1, -1);
    EXPECT_EQ(getPixel(*target, 4, 4) * 10 + getPixel(*target, 5, 5), 93u);
    destroyImage(picture), destroyImage(target);
}

TEST(DrawTitleBar, ARimmedChequerWithAGapForTheTitle) {
    FrontEndGame fe;
    Image& target = *fe.game().screen.renderBuffer;
    fillImage(target, 1), drawTitleBar(fe.game().font, target, "options");  // 7 characters: columns 273..367 free
    const uint32_t bold = GlyphColour + 2;
    const struct { int x, y; uint32_t colour; } probes[] = {{0, 6, 1}, {0, 23, 1}, {0, 7, 235}, {0, 10, 235}, {0, 11, 255}, {4, 11, 18},
        {0, 15, 18}, {4, 15, 255}, {639, 22, 235}, {272, 15, 18}, {368, 12, 255}, {273, 15, 1}, {367, 15, 1}, {284, 10, 1}, {285, 10, bold},
        {354, 19, bold}};
    for (const auto& p : probes) EXPECT_EQ(getPixel(target, p.x, p.y), p.colour) << p.x << "," << p.y;
}

constexpr uint8_t KeyCap = GlyphColour + 4, Narrow = GlyphColour + 3;

struct HelpPages : ::testing::Test {
    std::vector<uint8_t> pagePicture(int page) { drawHelpPage(fe.game(), page); return {fe.game().screen.renderBuffer->pixels, fe.game().screen.renderBuffer->pixels + 640 * 480}; }
    uint32_t at(int x, int y) { return getPixel(*fe.game().screen.renderBuffer, x, y); }
    // The pages a run showed, each run of equal frames once.
    static std::vector<int> shown(const FrameLog& log, const std::vector<uint8_t>* pages, int count) {
        std::vector<int> seen;
        for (const auto& frame : log.frames)
            for (int p = 1; p <= count; ++p) if (frame == pages[p] && (seen.empty() || seen.back() != p)) seen.push_back(p);
        return seen;
    }

    FrontEndGame fe;
};

TEST_F(HelpPages, SelectTurnsThePagesRoundOtherKeysRedrawAndExitLeavesFromAnyPage) {
    // The pages shown (each run of equal frames once) and the frames of page 1 before the key that leaves.
    const struct { int first; std::vector<const char*> keys; std::vector<int> shown; int firstPageFrames; } cases[] = {
        {1, {"Return", "Return", "Return", "Escape"}, {1, 2, 3, 1}, 2},
        {1, {"Left", "Z", "Return", "Escape"}, {1, 2}, 3},  // shown again for a screenshot
        {2, {"Escape"}, {2}, 0}, {3, {"Escape"}, {3}, 0},
    };
    const std::vector<uint8_t> pages[] = {{}, pagePicture(1), pagePicture(2), pagePicture(3)};
    FrameLog log;
    for (const auto& c : cases) {
        fe.pressFromNextPoll(c.keys, log), runHelpPages(fe.game(), c.first);
        int firstPageFrames = 0;
        for (size_t f = 0; f < log.frames.size(); ++f) firstPageFrames += log.polls[f] < log.polls.back() && log.frames[f] == pages[1];
        EXPECT_EQ(std::tuple(shown(log, pages, 3), firstPageFrames, log.frames.back()[240 * 640 + 320]),
                  std::tuple(c.shown, c.firstPageFrames, 255)) << c.first << c.keys[0];  // leaving goes to black
    }
}

TEST_F(HelpPages, TitlesLinesAndFooterStandWhereTheLayoutSays) {
    const std::pair<const char*, uint64_t> titles[] = {{"controls", 4845864935973724005ull}, {"how to play", 147420897139288817ull}, {"credits", 2717327207075325647ull}};
    for (int page = 1; page <= 3; ++page) {
        pagePicture(page);
        // Footer at row 425: "page p of 3", the select key, "next", the exit key, "exit".
        for (auto [x, colour] : {std::pair{5, Narrow}, {540, KeyCap}, {555, Narrow}, {590, KeyCap}, {605, Narrow}})
            EXPECT_EQ(std::pair(at(x, 425), at(x, 424) == colour), std::pair(uint32_t{colour}, false)) << page << " at " << x;
        // The greyed backdrop centred: rows 40 to 439, black round it.
        EXPECT_EQ(std::tuple(at(620, 39), at(620, 40), at(620, 439), at(620, 440), helpPageTitle(page), test::fnv1a(*fe.game().screen.renderBuffer)),
                  std::tuple(ColourBlack, GreyBackdropColour, GreyBackdropColour, ColourBlack, titles[page - 1].first, titles[page - 1].second)) << page << ": with the picture's golden digest: a change to it is made on purpose";
    }
    pagePicture(1);  // controls: a key picture for each action, its description after four spaces
    for (int a = 0; a < ActionCount; ++a) EXPECT_EQ(std::pair(at(5, 45 + 16 * a), at(5 + 4 * 7, 45 + 16 * a)), (std::pair<uint32_t, uint32_t>(KeyCap, Narrow))) << a;
    EXPECT_EQ(std::pair(at(5, 45 + 16 * ActionCount) == KeyCap, fe.game().font.lineCursorY), std::pair(false, 45 + 16 * ActionCount));
    pagePicture(2);  // how to play: fifteen lines, the fifth and eleventh empty
    for (int line = 0; line < 15; ++line) EXPECT_EQ(at(5, 45 + 16 * line) == Narrow, line != 4 && line != 10) << line;
    EXPECT_EQ(fe.game().font.lineCursorY, 45 + 15 * 16);
    pagePicture(3);  // credits: the title centred, the release line, three outlined lines at 390, 400, 410 in 22, 22, 23
    EXPECT_EQ(std::tuple(at(320, 240), at(5, 45)), std::tuple(TitleColour, Narrow));
    auto rowHas = [&](int y0, uint32_t colour) { const uint8_t* p = fe.game().screen.renderBuffer->pixels + y0 * 640; return std::count(p, p + 8 * 640, colour) > 0; };
    EXPECT_EQ(std::tuple(rowHas(390, 22), rowHas(400, 22), rowHas(410, 23), rowHas(410, 22), rowHas(380, 22)), std::tuple(true, true, true, false, false));
}

// With the assists a page before the credits explains the guide's marks, each in its colour; the other pages are the
// classic ones but for the page count in the footer, and select turns through all four.
TEST_F(HelpPages, AssistsAddALegendBeforeTheCredits) {
    const std::vector<uint8_t> classic[] = {{}, pagePicture(1), pagePicture(2), pagePicture(3)};
    fe.game().shift.assists = FlagOn;
    const struct { int page, classicPage; const char* title; uint64_t digest; } cases[] = {{1, 1, "controls", 4845864935973724005ull},
        {2, 2, "how to play", 147420897139288817ull}, {3, 0, "assists", 14668327901103909045ull}, {4, 3, "credits", 2717327207075325647ull}, {5, 0, "", 0}};
    std::vector<uint8_t> pages[5];
    for (const auto& c : cases) {
        EXPECT_EQ(helpPageTitle(c.page, true), c.title);
        if (c.page > 4) continue;
        pages[c.page] = pagePicture(c.page);
        EXPECT_EQ(std::tuple(at(5, 425), test::fnv1a(*fe.game().screen.renderBuffer)), std::tuple(uint32_t{Narrow}, c.digest)) << c.page << ": \"page n of 4\" and the golden digest";
        const bool same = c.classicPage && std::equal(pages[c.page].begin(), pages[c.page].begin() + 420 * 640, classic[c.classicPage].begin());
        EXPECT_EQ(same, c.classicPage != 0) << c.page << ": the classic picture above the footer";
    }
    for (const uint8_t colour : {ColourGold, ColourGreen, ColourRose, ColourInZone})  // under the title bar
        EXPECT_EQ(std::pair(std::count(pages[3].begin() + 30 * 640, pages[3].begin() + 420 * 640, colour) > 60, std::count(classic[2].begin() + 30 * 640, classic[2].begin() + 420 * 640, colour)), std::pair(true, 0l)) << int{colour};
    FrameLog log;
    fe.pressFromNextPoll({"Return", "Return", "Return", "Return", "Escape"}, log), runHelpPages(fe.game(), 1);
    EXPECT_EQ(shown(log, pages, 4), (std::vector<int>{1, 2, 3, 4, 1}));
}

TEST_F(HelpPages, ShortScreensStepNinePixels) {
    Game& g = fe.game();
    Image* tall = g.screen.renderBuffer;
    g.screen.renderBuffer = createImage(640, 240), drawHelpPage(g, 2);  // the footer at 240 - 20 - 15
    EXPECT_EQ(std::tuple(g.font.lineCursorY, at(5, 25), at(5, 205), test::fnv1a(*g.screen.renderBuffer)), std::tuple(25 + 15 * 9, Narrow, Narrow, 6571154249395434923ull));
    destroyImage(g.screen.renderBuffer), g.screen.renderBuffer = createImage(640, 200), drawHelpPage(g, 1);
    EXPECT_EQ(std::tuple(at(5, 26), test::fnv1a(*g.screen.renderBuffer)), std::tuple(uint32_t{KeyCap}, 4546940129362559793ull));
    destroyImage(g.screen.renderBuffer), g.screen.renderBuffer = tall;
}

// Ten places, the taken ones with score and date, and today's best in the city of the day (another day's table is no
// score today). Select asks to watch the best shift: the page then says why it cannot, or fades in again after it.
TEST(BestScoresPage, TenPlacesTodaysCityAndSelectAsksToWatch) {
    const std::vector<std::string> lines = bestScoresLines({{1500, "2026-12-01"}, {980, "2026-11-30"}}, {{330, "2026-12-07"}}, "2026-12-07");
    EXPECT_EQ(lines, (std::vector<std::string>{" 1.     1500   2026-12-01", " 2.      980   2026-11-30", " 3.        -", " 4.        -", " 5.        -",
        " 6.        -", " 7.        -", " 8.        -", " 9.        -", "10.        -", "", "city of the day 2026-12-07: best 330"}));
    EXPECT_EQ(bestScoresLines({}, {{330, "2026-12-06"}}, "2026-12-07").back(), "city of the day 2026-12-07: no score yet");
    FrontEndGame fe;
    Image& target = *fe.game().screen.renderBuffer;
    const auto picture = [&](const char* note) { drawBestScoresPage(fe.game(), lines, note); return std::vector<uint8_t>(target.pixels, target.pixels + 640 * 480); };
    const std::vector<uint8_t> pages[] = {{}, picture(""), picture("none")};
    FrameLog log;
    fe.pressFromNextPoll({"Return", "Return", "Escape"}, log);
    int asked = 0;
    runBestScores(fe.game(), lines, [&](Game&) { return ++asked == 1 ? "none" : ""; });
    EXPECT_EQ(std::tuple(HelpPages::shown(log, pages, 2), asked, log.frames.back()[240 * 640 + 320], test::fnv1a(pages[1].data(), pages[1].size()), test::fnv1a(pages[2].data(), pages[2].size())),
              std::tuple(std::vector<int>{1, 2, 1}, 2, 255, 2785318782468096245ull, 4554713655250516213ull));  // plain, with the note, plain; leaving goes to black; the golden digests
}

}  // namespace
}  // namespace hc
