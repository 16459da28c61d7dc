#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/font.h"
#include "draw/builtin_font.h"

using namespace hc;

namespace {

// A font whose glyph g in style s is a 10 x 10 image with one marker pixel at its top
// left corner of value 1 + g * 5 + s (never 0, so it is drawn) and transparent
// elsewhere: every drawn glyph leaves its identity where it starts.
class FontTest : public ::testing::Test {
protected:
    FontSet font;
    Image* target = nullptr;

    void SetUp() override {
        for (int g = 0; g < FontGlyphs; ++g) {
            for (int s = 0; s < FontStyles; ++s) {
                Image* img = createImage(10, 10, 1);
                putPixel(*img, 0, 0, static_cast<uint32_t>(1 + g * 5 + s));
                font.glyphs[g * 5 + s] = img;
            }
        }
        target = createImage(640, 480, 1);
    }
    void TearDown() override {
        for (Image* img : font.glyphs) destroyImage(img);
        destroyImage(target);
    }

    int marker(int g, int s) const { return 1 + g * 5 + s; }

    // The x positions on row y where any glyph marker was drawn.
    std::vector<int> markersOnRow(int y) const {
        std::vector<int> xs;
        for (int x = 0; x < target->width; ++x) {
            if (getPixel(*target, x, y) != 0) xs.push_back(x);
        }
        return xs;
    }
};

}  // namespace

TEST_F(FontTest, GlyphNumbersFollowTheTable) {
    EXPECT_EQ(glyphNumber('a'), 0);
    EXPECT_EQ(glyphNumber('Z'), 25);
    EXPECT_EQ(glyphNumber('0'), 26);
    EXPECT_EQ(glyphNumber('9'), 35);
    EXPECT_EQ(glyphNumber(';'), glyphNumber(':'));
    EXPECT_EQ(glyphNumber('('), glyphNumber('<'));
    EXPECT_EQ(glyphNumber('['), 41);
    EXPECT_EQ(glyphNumber(']'), 42);
    EXPECT_EQ(glyphNumber('\''), glyphNumber(','));
    EXPECT_EQ(glyphNumber('%'), 49);
    EXPECT_EQ(glyphNumber(' '), -1);
    EXPECT_EQ(glyphNumber('#'), -1);
}

TEST_F(FontTest, AdvancesByStyleNarrowLettersAndSpaces) {
    printText(font, *target, 0, 10, "ill.", 3);  // narrow letters in the narrow style
    EXPECT_EQ(markersOnRow(10), (std::vector<int>{0, 3, 6, 9}));
    printText(font, *target, 0, 30, "abcd", 3);
    EXPECT_EQ(markersOnRow(30), (std::vector<int>{0, 7, 14, 21}));
    printText(font, *target, 0, 50, "abcd", 1);
    EXPECT_EQ(markersOnRow(50), (std::vector<int>{0, 10, 20, 30}));
    // A space advances without drawing; empty text draws nothing.
    printText(font, *target, 0, 70, "a b", 3);
    EXPECT_EQ(markersOnRow(70), (std::vector<int>{0, 14}));
    printText(font, *target, 0, 90, "a b", 0);
    EXPECT_EQ(markersOnRow(90), (std::vector<int>{0, 20}));
    printText(font, *target, -1, 110, "", 2);
    EXPECT_TRUE(markersOnRow(110).empty());
}

TEST_F(FontTest, CapitalsDrawTheSmallLettersGlyphAndTheApostropheIsARaisedComma) {
    printText(font, *target, 100, 50, "Qq", 2);
    EXPECT_EQ(getPixel(*target, 100, 50), static_cast<uint32_t>(marker(16, 2)));
    EXPECT_EQ(getPixel(*target, 110, 50), static_cast<uint32_t>(marker(16, 2)));
    printText(font, *target, 40, 100, "'", 1);
    EXPECT_EQ(getPixel(*target, 40, 95), static_cast<uint32_t>(marker(37, 1)));  // five up
    EXPECT_EQ(getPixel(*target, 40, 100), 0u);
}

TEST_F(FontTest, CentringCountsFullNarrowAdvance) {
    // 5 characters at 7 pixels: (640 - 35) / 2 = 302.5, halves to even -> 302, even
    // though the narrow letters make the text only 3 * 7 + 2 * 3 wide.
    printText(font, *target, -1, 10, "iiabc", 3);
    EXPECT_EQ(markersOnRow(10).front(), 302);
    // 3 characters at 10: (640 - 30) / 2 = 305.
    printText(font, *target, -1, 30, "abc", 2);
    EXPECT_EQ(markersOnRow(30).front(), 305);
    // 7 characters at 7: 295.5 rounds to 296.
    printText(font, *target, -1, 50, "abcdefg", 3);
    EXPECT_EQ(markersOnRow(50).front(), 296);
}

TEST_F(FontTest, MissingCharactersUseTheBuiltInFont) {
    const uint8_t* hash = builtinGlyph('#');
    ASSERT_NE(hash, nullptr);
    // Find one set pixel of the built-in '#' to look for.
    int gx = -1, gy = -1;
    for (int row = 0; row < 8 && gx < 0; ++row) {
        for (int col = 0; col < 8; ++col) {
            if (hash[row] & (0x80 >> col)) {
                gx = col;
                gy = row;
                break;
            }
        }
    }
    ASSERT_GE(gx, 0) << "the built-in font has no pixels for '#'";

    printText(font, *target, 200, 100, "#", 1);
    EXPECT_EQ(getPixel(*target, 200 + gx, 100 + 2 + gy), 22u);
    printText(font, *target, 300, 100, "#", 0);
    EXPECT_EQ(getPixel(*target, 300 + gx, 100 + 2 + gy), 255u);
}

TEST_F(FontTest, PrintLineStepsByScreenHeight) {
    font.lineCursorY = 20;
    printLine(font, *target, 5, "ab");
    EXPECT_EQ(getPixel(*target, 5, 20), static_cast<uint32_t>(marker(0, 3)));
    EXPECT_EQ(font.lineCursorY, 36);

    Image* small = createImage(320, 240, 1);
    font.lineCursorY = 20;
    printLine(font, *small, 5, "ab");
    EXPECT_EQ(font.lineCursorY, 29);
    destroyImage(small);
}

TEST(Outlined, TextSitsInsideABlackOutline) {
    Image* target = createImage(100, 30, 1);
    printOutlined(*target, 10, 10, "I", 22);
    int coloured = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            const uint32_t p = getPixel(*target, x, y);
            if (p != 22) continue;
            ++coloured;
            // Every coloured pixel has outline or colour on all four sides.
            for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const uint32_t n = getPixel(*target, x + dx, y + dy);
                EXPECT_TRUE(n == 22 || n == 255) << x << "," << y;
            }
        }
    }
    EXPECT_GT(coloured, 0);
    destroyImage(target);
}
