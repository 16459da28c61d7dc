// The main menu's choices and blinking, and the two drawing helpers of every
// front-end screen.
#include "frontend/menus.h"

#include <gtest/gtest.h>

#include <vector>

#include "assets/font.h"
#include "frontend/game.h"
#include "frontend_fixture.h"

namespace hc {
namespace {

int runMenuWithKeys(const std::vector<const char*>& keys) {
    FrontEndGame fe;
    fe.releaseKeysFrom(1, keys);
    return runMainMenu(fe.game());
}

TEST(MainMenu, UpAndDownWrapRoundTheFiveEntriesAndTheExitKeyChoosesExit) {
    EXPECT_EQ(runMenuWithKeys({"Return"}), MenuArcade);
    EXPECT_EQ(runMenuWithKeys({"Down", "Return"}), MenuCareer);
    EXPECT_EQ(runMenuWithKeys({"Up", "Return"}), MenuExit);          // 1 -> 5
    EXPECT_EQ(runMenuWithKeys({"Up", "Up", "Return"}), MenuHelp);
    EXPECT_EQ(runMenuWithKeys({"Up", "Down", "Return"}), MenuArcade); // 5 -> 1
    EXPECT_EQ(runMenuWithKeys({"Down", "Down", "Down", "Down", "Down", "Down", "Return"}), MenuCareer);
    EXPECT_EQ(runMenuWithKeys({"Left", "S", "Right", "Return"}), MenuArcade);  // not the menu's keys
    EXPECT_EQ(runMenuWithKeys({"Escape"}), MenuExit);
    EXPECT_EQ(runMenuWithKeys({"Down", "Escape"}), MenuExit);
}

TEST(MainMenu, TheSelectedEntryBlinksTwoFramesOnTwoOff) {
    FrontEndGame fe;
    FrameLog log;
    logFrames(fe, log);
    fe.window.pressKeyAt(FrontEndGame::key("Escape"), 13);
    EXPECT_EQ(runMainMenu(fe.game()), MenuExit);

    // Entry i stands at row 222 + 20 i; entry 1 is selected, entry 2 never blinks.
    int checked = 0;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        const int64_t poll = log.polls[f];
        if (poll < 1 || poll > 12) continue;  // the dissolves' frames
        const std::vector<uint8_t>& frame = log.frames[f];
        const bool first = frame[246 * 640 + 320] == GlyphColour + 2;
        const bool second = frame[266 * 640 + 320] == GlyphColour + 2;
        const int64_t counter = poll - 1;  // the menu's frame counter when it drew this
        EXPECT_EQ(first, counter % 4 < 2) << "frame " << counter;
        EXPECT_TRUE(second);
        ++checked;
    }
    EXPECT_EQ(checked, 12);
    // Leaving dissolves to black.
    EXPECT_EQ(log.frames.back()[246 * 640 + 320], 255);
}

TEST(MainMenu, DrawsBackdropAndTitle) {
    FrontEndGame fe;
    FrameLog log;
    logFrames(fe, log);
    fe.window.pressKeyAt(FrontEndGame::key("Return"), 2);
    runMainMenu(fe.game());
    std::vector<uint8_t> frame;
    for (size_t f = 0; f < log.frames.size(); ++f) {
        if (log.polls[f] == 1) frame = log.frames[f];
    }
    ASSERT_FALSE(frame.empty());
    auto at = [&](int x, int y) { return frame[static_cast<size_t>(y) * 640 + x]; };
    EXPECT_EQ(at(10, 40), BackdropColour);  // backdrop rows 40..439
    EXPECT_EQ(at(10, 439), BackdropColour);
    EXPECT_EQ(at(10, 39), 255);
    EXPECT_EQ(at(10, 440), 255);
    EXPECT_EQ(at(70, 40), TitleColour);     // title 500 wide from column 70
    EXPECT_EQ(at(69, 40), BackdropColour);
    EXPECT_EQ(at(569, 209), TitleColour);
    EXPECT_EQ(at(570, 209), BackdropColour);
}

TEST(MenuTexts, FiveEntries) {
    EXPECT_EQ(mainMenuText(1), "arcade mode");
    EXPECT_EQ(mainMenuText(2), "career mode");
    EXPECT_EQ(mainMenuText(3), "options");
    EXPECT_EQ(mainMenuText(4), "read this!");
    EXPECT_EQ(mainMenuText(5), "exit");
    EXPECT_EQ(mainMenuText(0), "");
    EXPECT_EQ(mainMenuText(6), "");
}

// A picture whose pixel value is its source column + 1 in every row.
Image* columnPicture(int w, int h) {
    Image* image = createImage(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) putPixel(*image, x, y, static_cast<uint32_t>(x % 250 + 1));
    }
    return image;
}

TEST(DrawImageScaled, OneToOneCentredAtTheGameSize) {
    Image* target = createImage(640, 480);
    Image* picture = columnPicture(100, 50);
    fillImage(*target, 255);
    drawImageScaled(*target, picture, -1, -1);
    EXPECT_EQ(getPixel(*target, 270, 215), 1u);
    EXPECT_EQ(getPixel(*target, 369, 264), 100u);
    EXPECT_EQ(getPixel(*target, 269, 215), 255u);
    EXPECT_EQ(getPixel(*target, 270, 214), 255u);
    EXPECT_EQ(getPixel(*target, 370, 264), 255u);
    EXPECT_EQ(getPixel(*target, 369, 265), 255u);
    destroyImage(picture);
    destroyImage(target);
}

TEST(DrawImageScaled, HalfSizeAt320AndDoubledAbove1280) {
    Image* picture = columnPicture(640, 4);
    Image* small = createImage(320, 240);
    fillImage(*small, 255);
    drawImageScaled(*small, picture, 0, 0);
    for (int x = 0; x < 320; ++x) EXPECT_EQ(getPixel(*small, x, 0), static_cast<uint32_t>((2 * x) % 250 + 1));
    EXPECT_EQ(getPixel(*small, 0, 1), 1u);     // rows 0 and 2
    EXPECT_EQ(getPixel(*small, 0, 2), 255u);

    Image* wide = createImage(1366, 20);
    fillImage(*wide, 255);
    drawImageScaled(*wide, picture, 0, 0);
    const uint32_t columns[] = {0, 0, 1, 2, 2, 2, 3, 4, 4, 4};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(getPixel(*wide, x, 0), columns[x] + 1) << x;
    // Four rows become seven: the last source row is reached at 3.0 and not repeated.
    EXPECT_EQ(getPixel(*wide, 0, 6), 1u);
    EXPECT_EQ(getPixel(*wide, 0, 7), 255u);
    destroyImage(wide);
    destroyImage(small);
    destroyImage(picture);
}

TEST(DrawImageScaled, TransparentAbsentAndOversizedPictures) {
    Image* target = createImage(64, 48);
    fillImage(*target, 9);
    Image* picture = createImage(10, 10);
    fillImage(*picture, 0);
    putPixel(*picture, 5, 5, 3);
    drawImageScaled(*target, picture, 0, 0);
    EXPECT_EQ(getPixel(*target, 4, 4), 9u);
    EXPECT_EQ(getPixel(*target, 5, 5), 3u);
    drawImageScaled(*target, nullptr, -1, -1);  // nothing, and no crash
    // Larger than the target and placed partly outside: cut off at every edge.
    Image* big = columnPicture(200, 200);
    drawImageScaled(*target, big, -1, -1);
    EXPECT_EQ(getPixel(*target, 0, 0), static_cast<uint32_t>(68 + 1));  // column (200 - 64) / 2
    drawImageScaled(*target, big, 30, 40);
    EXPECT_EQ(getPixel(*target, 63, 47), 34u);
    destroyImage(big);
    destroyImage(picture);
    destroyImage(target);
}

TEST(DrawTitleBar, BandWithAGapForTheTitle) {
    FrontEndGame fe;
    Image& target = *fe.game().screen.renderBuffer;
    fillImage(target, 1);
    drawTitleBar(fe.game().font, target, "options");  // 7 characters
    // Columns 273 to 367 stay free on the band's rows 7..22.
    for (int y = 7; y <= 22; ++y) {
        EXPECT_NE(getPixel(target, 272, y), 1u) << y;
        EXPECT_NE(getPixel(target, 368, y), 1u) << y;
        EXPECT_EQ(getPixel(target, 273, y), 1u) << y;
        EXPECT_EQ(getPixel(target, 367, y), 1u) << y;
    }
    EXPECT_EQ(getPixel(target, 0, 6), 1u);
    EXPECT_EQ(getPixel(target, 0, 23), 1u);
    // 4-pixel rims of 235 around a chequer of 4 x 4 squares.
    EXPECT_EQ(getPixel(target, 0, 7), 235u);
    EXPECT_EQ(getPixel(target, 0, 10), 235u);
    EXPECT_EQ(getPixel(target, 0, 11), 255u);
    EXPECT_EQ(getPixel(target, 4, 11), 18u);
    EXPECT_EQ(getPixel(target, 0, 15), 18u);
    EXPECT_EQ(getPixel(target, 4, 15), 255u);
    EXPECT_EQ(getPixel(target, 639, 22), 235u);
    // The title: 70 pixels of bold glyphs centred at row 10.
    EXPECT_EQ(getPixel(target, 285, 10), static_cast<uint32_t>(GlyphColour + 2));
    EXPECT_EQ(getPixel(target, 354, 19), static_cast<uint32_t>(GlyphColour + 2));
    EXPECT_EQ(getPixel(target, 284, 10), 1u);
}

}  // namespace
}  // namespace hc
