#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "assets/font.h"
#include "draw/builtin_font.h"

namespace hc {
namespace {

// Where each glyph of a line starts and which glyph it is: 10 pixels apart, 7 in the
// narrow style 3 where i l . , ! : ' take 3; a space advances without drawing; capitals
// draw the small letter; the apostrophe is the comma raised 5 pixels; centring counts the
// full advance of every character and rounds halves to even.
TEST(Font, GlyphsTheirPlacesTheBuiltInFallbackAndLines) {
    const std::pair<char, int> table[] = {{'a', 0},  {'z', 25}, {'Z', 25}, {'0', 26}, {'9', 35}, {'.', 36}, {',', 37}, {'\'', 37}, {'!', 38},
                                          {'?', 39}, {'"', 40}, {'(', 41}, {'[', 41}, {'<', 41}, {']', 42}, {'+', 43}, {'-', 44},
                                          {';', 45}, {'/', 46}, {'@', 47}, {'$', 48}, {'%', 49}, {' ', -1}, {'#', -1}};
    for (auto [c, g] : table) EXPECT_EQ(glyphNumber(c), g) << c;
    const struct { int x; const char* text; int style; std::vector<std::pair<int, int>> markers; } cases[] = {
        {0, "ill.", 3, {{0, 44}, {3, 59}, {6, 59}, {9, 184}}},
        {0, "abcd", 3, {{0, 4}, {7, 9}, {14, 14}, {21, 19}}},
        {0, "a b", 1, {{0, 2}, {20, 7}}},
        {100, "Qq", 2, {{100, 83}, {110, 83}}},
        {-1, "iiabc", 3, {{302, 44}, {305, 44}, {308, 4}, {315, 9}, {322, 14}}},  // (640 - 35) / 2 = 302.5
        {-1, "abcdefg", 3, {{296, 4}, {303, 9}, {310, 14}, {317, 19}, {324, 24}, {331, 29}, {338, 34}}},  // 295.5
        {-1, "abc", 0, {{305, 1}, {315, 6}, {325, 11}}},
        {-1, "", 2, {}},
    };
    // A font whose glyph g in style s is transparent but for one marker pixel of value
    // 1 + 5 g + s at its top left corner: every glyph leaves its identity where it starts.
    struct { FontSet font; Image* target = createImage(640, 480, 1); } f;
    for (int i = 0; i < FontGlyphs * FontStyles; ++i) putPixel(*(f.font.glyphs[i] = createImage(10, 10, 1)), 0, 0, 1 + i);
    auto markers = [&](int y) {  // (x, marker) of every glyph drawn on row y
        std::vector<std::pair<int, int>> found;
        for (int x = 0; x < 640; ++x) getPixel(*f.target, x, y) ? found.push_back({x, getPixel(*f.target, x, y)}) : void();
        return found;
    };
    for (const auto& c : cases) {
        fillImage(*f.target, 0);
        printText(f.font, *f.target, c.x, 50, c.text, c.style);
        EXPECT_EQ(markers(50), c.markers) << c.text;
    }
    fillImage(*f.target, 0);
    printText(f.font, *f.target, 40, 100, "'", 1);
    EXPECT_EQ(markers(95), (std::vector<std::pair<int, int>>{{40, 1 + 5 * 37 + 1}}));
    // A character without a glyph is the built-in one, two pixels down, in colour 22
    // (black in style 0); outlined text has black all round; a printed line moves the
    // cursor down 16 pixels, 9 on screens 240 rows high or less.
    const uint8_t* hash = builtinGlyph('#');
    int gx = 0, gy = 0;
    while (!(hash[gy] & (0x80 >> gx)))
        if (++gx == 8) gx = 0, ++gy;
    printText(f.font, *f.target, 200, 100, "#", 1);
    printText(f.font, *f.target, 300, 100, "#", 0);
    printOutlined(*f.target, 400, 100, "#", 22);
    EXPECT_EQ(std::pair(getPixel(*f.target, 200 + gx, 102 + gy), getPixel(*f.target, 300 + gx, 102 + gy)), std::pair(22u, 255u));
    // Outlined: the glyph's bits in the colour, black on every pixel touching one of them.
    auto bit = [&](int x, int y) { return x >= 0 && x < 8 && y >= 0 && y < 8 && (hash[y] & (0x80 >> x)); };
    int wrong = 0;
    for (int i = 0; i < 144; ++i) {
        const int x = i % 12 - 2, y = i / 12 - 2;
        bool near = false;
        for (int d = 0; d < 9; ++d) near |= bit(x + d % 3 - 1, y + d / 3 - 1);
        wrong += getPixel(*f.target, 400 + x, 100 + y) != (bit(x, y) ? 22u : near ? 255u : 0u);
    }
    EXPECT_EQ(wrong, 0) << "pixels of the outlined '#' that are not the glyph, its outline or untouched";
    f.font.lineCursorY = 20;
    printLine(f.font, *f.target, 5, "ab");
    EXPECT_EQ(std::tuple(getPixel(*f.target, 5, 20), f.font.lineCursorY), std::tuple(4, 36));
    Image* small = createImage(320, 240, 1);
    printLine(f.font, *small, 5, "ab");
    EXPECT_EQ(f.font.lineCursorY, 45);
    destroyImage(small);
    for (Image* img : f.font.glyphs) destroyImage(img);
    destroyImage(f.target);
}

}  // namespace
}  // namespace hc
