// Seven-segment read-outs and the instrument texts.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "render/hud.h"

namespace hc {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels of colour c in a small image.
Pixels lit(const Image& image, uint32_t c) {
    Pixels out;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (getPixel(image, x, y) == c) out.insert({x, y});
    return out;
}

struct Cell {
    Image* image = createImage(24, 16);
    Cell() { fillImage(*image, 0); }
    ~Cell() { destroyImage(image); }
    Pixels draw(char c) {
        fillImage(*image, 0);
        drawLcdChar(*image, 3, 2, c, 9);
        return lit(*image, 9);
    }
};

TEST(LcdSegments, StrokesSitInTheirPlacesOfTheCell) {
    Cell cell;
    // "1": the two right-hand strokes only, with the gap at row 4 between them.
    EXPECT_EQ(cell.draw('1'), (Pixels{{8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8}, {8, 9}}));
    // "_": the bottom stroke, one row below the lower strokes' end.
    EXPECT_EQ(cell.draw('_'), (Pixels{{4, 10}, {5, 10}, {6, 10}, {7, 10}}));
    // "8" lights all seven strokes: 3 pixels for each upright, 4 for each bar.
    const Pixels eight = cell.draw('8');
    EXPECT_EQ(eight.size(), 24u);
    for (auto [x, y] : eight) {
        EXPECT_GE(x, 3);
        EXPECT_LE(x, 8);
        EXPECT_GE(y, 2);
        EXPECT_LE(y, 10);
    }
    // The corners of the cell stay dark: the strokes do not meet.
    EXPECT_EQ(eight.count({3, 2}) + eight.count({8, 2}) + eight.count({3, 10}) + eight.count({8, 10}), 0u);
    // ":" is two dots, no strokes.
    EXPECT_EQ(cell.draw(':'), (Pixels{{5, 5}, {5, 8}}));
    EXPECT_TRUE(cell.draw(' ').empty());
}

TEST(LcdSegments, LettersShareDigitShapesAndUnknownsShowADash) {
    // Letters that look like digits light the same strokes; only small letters exist.
    EXPECT_EQ(lcdSegmentMask('o'), lcdSegmentMask('0'));
    EXPECT_EQ(lcdSegmentMask('s'), lcdSegmentMask('5'));
    EXPECT_EQ(lcdSegmentMask('g'), lcdSegmentMask('6'));
    EXPECT_EQ(lcdSegmentMask('r'), 32 | 64);  // lower left and middle
    EXPECT_EQ(lcdSegmentMask('.'), 32);
    for (char c : {'A', 'R', 'Z', '-', '#', '!', '\0'}) EXPECT_EQ(lcdSegmentMask(c), 64) << int(c);
    Cell cell;
    EXPECT_EQ(cell.draw('E'), (Pixels{{4, 6}, {5, 6}, {6, 6}, {7, 6}}));
}

TEST(LcdSegments, TextAdvancesSevenPixelsAndClipsAtTheEdge) {
    Image* image = createImage(30, 12);
    fillImage(*image, 0);
    drawLcdText(*image, 0, 0, "1111", 5);
    // Each "1" lights column 5 of its cell: 5, 12, 19, 26.
    for (int x = 0; x < 30; ++x) EXPECT_EQ(getPixel(*image, x, 1) == 5, x % 7 == 5) << x;
    // Characters that run off the image are cut, not written outside it (the sanitizer
    // build checks the writes): what is left of the first "8" at (26, 8) is its top bar
    // and left upright; the text at (-20, -5) ends before the image begins.
    drawLcdText(*image, 26, 8, "88", 6);
    drawLcdText(*image, -20, -5, "888", 6);
    EXPECT_EQ(lit(*image, 6), (Pixels{{27, 8}, {28, 8}, {29, 8}, {26, 9}, {26, 10}, {26, 11}}));
    destroyImage(image);
}

TEST(InstrumentText, ZeroPadding) {
    EXPECT_EQ(zeroPad("7", 4), "0007");
    EXPECT_EQ(zeroPad("", 2), "00");
    EXPECT_EQ(zeroPad("1234", 4), "1234");
    EXPECT_EQ(zeroPad("123456", 4), "123456");
    EXPECT_EQ(zeroPad("-5", 3), "0-5");
    EXPECT_EQ(zeroPad("5", 0), "5");
}

TEST(InstrumentText, ClockTurboAndSpeed) {
    EXPECT_EQ(clockText(12, 5.9), "12:05");
    EXPECT_EQ(clockText(4, 0.0), "04:00");
    EXPECT_EQ(clockText(0, 59.999), "00:59");
    EXPECT_EQ(clockText(123, 7.0), "123:07");

    EXPECT_EQ(turboText(0.37f), "0.3");
    EXPECT_EQ(turboText(0.0f), "0.0");
    EXPECT_EQ(turboText(1.5f), "1.5");
    EXPECT_EQ(turboText(12.3f), "1.3");  // first and last digit of 123

    EXPECT_EQ(speedText(0.5f, true, false), "100");
    EXPECT_EQ(speedText(0.004f, true, false), "000");
    EXPECT_EQ(speedText(0.0625f, true, false), "012");
    EXPECT_EQ(speedText(0.06f, true, false), "011");  // 0.06 in single precision is a little less
    EXPECT_EQ(speedText(2.0f, true, false), "400");
    EXPECT_EQ(speedText(0.5f, false, false), "");
    EXPECT_EQ(speedText(0.5f, true, true), " r ");
    EXPECT_EQ(speedValue(0.5f, true, true), 0);
    EXPECT_EQ(speedValue(0.5f, false, false), 0);
    EXPECT_EQ(speedValue(NAN, true, false), 0);
    EXPECT_EQ(speedValue(INFINITY, true, false), 99999);
}

TEST(InstrumentText, NeedleSweepsThreeQuartersClockwise) {
    // On screen y grows downwards, so a positive sine is below the pivot. The needle
    // rests 40 degrees below the left horizontal, stands straight up near 130 and ends
    // 50 degrees below the right horizontal at 270.
    const double rest = needleAngle(0), top = needleAngle(130), full = needleAngle(270);
    EXPECT_NEAR(std::cos(rest), -0.765, 1e-3);
    EXPECT_NEAR(std::sin(rest), 0.644, 1e-3);
    EXPECT_NEAR(std::cos(top), 0.0, 2e-3);
    EXPECT_NEAR(std::sin(top), -1.0, 1e-4);
    EXPECT_NEAR(std::cos(full), 0.644, 1e-3);
    EXPECT_NEAR(std::sin(full), 0.765, 1e-3);
    EXPECT_NEAR(full - rest, 1.5 * 3.14159, 1e-5);
    EXPECT_DOUBLE_EQ(needleAngle(-130), top);
}

}  // namespace
}  // namespace hc
