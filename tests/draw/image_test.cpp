#include "draw/bmp.h"
#include "draw/builtin_font.h"
#include "draw/image.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

namespace hc {
namespace {

constexpr uint8_t Guard = 0xAA;
constexpr int Margin = 64;

// A w x h image that is a window into a larger buffer of Guard bytes, so that a write
// outside the target shows up.
struct GuardedImage {
    std::vector<uint8_t> memory;
    Image view;
    GuardedImage(int w, int h, int bpp = 1) : memory(size_t(w + 2 * Margin) * (h + 2 * Margin) * bpp, Guard) {
        view = Image{w, h, bpp, (w + 2 * Margin) * bpp, memory.data() + (size_t(Margin) * (w + 2 * Margin) + Margin) * bpp};
        fillImage(view, 0);
    }
    // Checked last: covers the window with Guard too, then every byte must be Guard.
    bool guardIntact() {
        fillImage(view, 0xAAAAAAAAu);
        return std::all_of(memory.begin(), memory.end(), [](uint8_t b) { return b == Guard; });
    }
};

// Draws into a small target, where the shape crosses the edges, and into one large
// enough for all of it, shifted by Margin: the small one must equal the matching window
// of the large one, and nothing may land outside it.
void expectClippedLikeUnclipped(const std::function<void(Image&, int)>& draw, int bpp = 1) {
    GuardedImage small(20, 12, bpp);
    draw(small.view, 0);
    Image* big = createImage(20 + 2 * Margin, 12 + 2 * Margin, bpp);
    draw(*big, Margin);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(getPixel(small.view, x, y), getPixel(*big, x + Margin, y + Margin)) << x << "," << y;
    destroyImage(big);
    EXPECT_TRUE(small.guardIntact()) << "wrote outside the target";
}

TEST(ImageClipping, ShapesCopiesAndBlitsAcrossEveryEdge) {
    const std::pair<int, int> points[] = {{-5, -4}, {6, -3}, {25, -4}, {-6, 5}, {10, 6}, {24, 7},
                                          {-3, 15}, {9, 14}, {23, 16}, {0, 0},  {19, 11}};
    Image* src = createImage(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) putPixel(*src, x, y, static_cast<uint32_t>((x * 3 + y) % 4));  // zeros too
    for (const auto& [px1, py1] : points) {
        const int x1 = px1, y1 = py1;  // plain names, which every compiler lets lambdas capture
        for (const auto& [px2, py2] : points) {
            const int x2 = px2, y2 = py2;
            expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, x2 + o, y2 + o, 7); });
            expectClippedLikeUnclipped([&](Image& t, int o) { drawBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
            expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
        }
        expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x11223344); }, 4);
        expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x55667788); }, 4);
        expectClippedLikeUnclipped([&](Image& t, int o) { drawBuiltinText(t, x1 + o, y1 + o, "Hg@#", 3); });
        for (int r : {0, 1, 3, 8, 30}) expectClippedLikeUnclipped([&](Image& t, int o) { fillCircle(t, x1 + o, y1 + o, r, 5); });
        for (bool skip : {false, true})
            expectClippedLikeUnclipped([&](Image& t, int o) { blitImage(*src, t, x1 + o, y1 + o, skip); });
        // Source rectangles that stick out of the source image are clipped as well.
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, -2, -3, 14, 12, t, x1 + o, y1 + o); });
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, 4, 2, 30, 30, t, x1 + o, y1 + o); });
    }
    // Transparent pixels keep what was there; opaque copies overwrite it.
    Image* dst = createImage(9, 7);
    fillImage(*dst, 8);
    blitImage(*src, *dst, 0, 0, true);
    EXPECT_EQ(getPixel(*dst, 0, 0) * 10 + getPixel(*dst, 1, 0), 83u);
    blitImage(*src, *dst, 0, 0, false);
    EXPECT_EQ(getPixel(*dst, 0, 0), 0u);
    destroyImage(dst), destroyImage(src);
}

TEST(ImageClipping, FarAndExtremeCoordinatesKeepTheirVisiblePart) {
    GuardedImage g(20, 12);
    const int big = 2000000000;
    fillBox(g.view, -big, -big, big, big, 4);
    drawBox(g.view, -big, -big, big, big, 5);
    fillCircle(g.view, -big, -big, 10, 7);
    copyRect(g.view, 0, 0, big, big, g.view, -big, big);
    drawBuiltinText(g.view, -big, -big, "far away", 8);
    drawLine(g.view, -big, 4, big, 4, 1);                       // a whole row
    drawLine(g.view, 7, -1000000, 7, 1000000, 2);               // a whole column
    drawLine(g.view, -1000000, -1000000, 1000000, 1000000, 3);  // the diagonal
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(getPixel(g.view, i, 4), i == 4 ? 3u : i == 7 ? 2u : 1u) << i;
        if (i < 12) { EXPECT_EQ(std::tuple(getPixel(g.view, 7, i), getPixel(g.view, i, i)), std::tuple(i == 7 ? 3u : 2u, 3u)) << i; }
    }
    EXPECT_EQ(getPixel(g.view, 1, 0), 4u);  // the filled box, left where nothing else drew
    fillCircle(g.view, 10, 6, 1000000, 6);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(getPixel(g.view, x, y), 6u);
    EXPECT_TRUE(g.guardIntact());
}

// Small shapes worked out by hand on a 7 x 5 image: '#' is the colour, '.' untouched.
TEST(ImageShapes, PixelsOfSmallShapesAndBadSizes) {
    const std::pair<std::function<void(Image&)>, const char*> cases[] = {
        {[](Image& t) { drawLine(t, 0, 0, 6, 2, 1); }, "##....." "..###.." ".....##" "......." "......."},  // y = x / 3 rounded
        {[](Image& t) { drawLine(t, 1, 4, 1, 0, 1); }, ".#....." ".#....." ".#....." ".#....." ".#....."},
        {[](Image& t) { drawLine(t, 6, 4, 6, 4, 1); }, "......." "......." "......." "......." "......#"},
        {[](Image& t) { drawBox(t, 5, 3, 1, 1, 1); }, "......." ".#####." ".#...#." ".#####." "......."},
        {[](Image& t) { fillBox(t, 4, 3, 2, 1, 1); }, "......." "..###.." "..###.." "..###.." "......."},
        {[](Image& t) { fillCircle(t, 3, 2, 2, 1); }, "...#..." "..###.." ".#####." "..###.." "...#..."},  // <= r^2
        {[](Image& t) { fillCircle(t, 0, 0, 0, 1); }, "#......" "......." "......." "......." "......."},
    };
    for (const auto& [draw, expected] : cases) {
        Image* image = createImage(7, 5);
        draw(*image);
        std::string rows;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) rows += getPixel(*image, x, y) ? '#' : '.';
        EXPECT_EQ(rows, expected);
        destroyImage(image);
    }
    EXPECT_EQ(std::tuple(createImage(0, 5), createImage(5, -1), createImage(5, 5, 3)), std::tuple(nullptr, nullptr, nullptr));
    destroyImage(nullptr);
}

TEST(BuiltinFont, GlyphsAreDistinctAndTextDrawsOnlySetBits) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 0; c <= 255; ++c) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>(c));
        const std::vector<uint8_t> rows(g, g + 8);
        EXPECT_EQ(rows != std::vector<uint8_t>(8, 0), c >= 33 && c <= 126) << c;
        EXPECT_TRUE(c < 33 || c > 126 || seen.insert(rows).second) << c;
    }
    Image* image = createImage(40, 10);
    fillImage(*image, 9);
    const char text[] = "A\x01" "B";  // a non-printable draws nothing but still advances
    drawBuiltinText(*image, 1, 1, text, 4);
    for (int i = 0; i < 3 * 64; ++i) {
        const uint8_t row = builtinGlyph(static_cast<unsigned char>(text[i / 64]))[i % 64 / 8];
        ASSERT_EQ(getPixel(*image, 1 + i / 64 * 8 + i % 8, 1 + i % 64 / 8), (row & (0x80 >> i % 8)) ? 4u : 9u) << i;
    }
    destroyImage(image);
}

std::vector<uint8_t> readFile(const std::string& path) { std::ifstream in(path, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }
uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) { return bytes == 0 ? 0 : le(b, at + 1, bytes - 1) << 8 | b[at]; }

TEST(Bmp, FilesStoreRowsBottomUpAndPaddedAndFailuresReplaceNothing) {
    const std::string dir = testing::TempDir();
    Image* narrow = createImage(5, 2);
    for (int i = 0; i < 10; ++i) putPixel(*narrow, i % 5, i / 5, static_cast<uint32_t>(i + 1));
    uint32_t palette[256];
    for (uint32_t i = 0; i < 256; ++i) palette[i] = 0xFF000000u | i << 16 | (255 - i) << 8 | (i ^ 0x5A);
    ASSERT_TRUE(writeBmp(*narrow, palette, dir + "hc8.bmp"));
    const auto b = readFile(dir + "hc8.bmp");
    ASSERT_EQ(b.size(), 14u + 40u + 1024u + 2u * 8u);  // rows of 5 bytes padded to 8
    // Offset, size and value of: signature, file size, data offset, header size, width,
    // height (positive: bottom-up), planes, bits, no compression, data size, colours used.
    const uint32_t fields[][3] = {{0, 2, 0x4D42}, {2, 4, 1094}, {10, 4, 1078}, {14, 4, 40}, {18, 4, 5}, {22, 4, 2},
                                  {26, 2, 1},     {28, 2, 8},    {30, 4, 0},     {34, 4, 16}, {46, 4, 256}};
    for (const auto& f : fields) EXPECT_EQ(le(b, f[0], static_cast<int>(f[1])), f[2]) << "at " << f[0];
    EXPECT_EQ(le(b, 54 + 4 * 200, 4), 0x00C83792u);  // entry 200: blue, green, red, 0
    EXPECT_EQ(std::vector<uint8_t>(b.end() - 16, b.end()), (std::vector<uint8_t>{6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
    Image* wide = createImage(2, 2, 4);
    const uint32_t words[] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    for (int i = 0; i < 4; ++i) putPixel(*wide, i % 2, i / 2, words[i]);
    ASSERT_TRUE(writeBmp(*wide, nullptr, dir + "hc32.bmp"));
    const auto w = readFile(dir + "hc32.bmp");
    EXPECT_EQ(getPixel(*wide, 2, 0), 0u);  // outside reads 0
    ASSERT_EQ(w.size(), 54u + 16u);  // no palette
    EXPECT_EQ(std::tuple(le(w, 10, 4), le(w, 28, 2)), std::tuple(54u, 32u));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(le(w, 54 + 4 * i, 4), words[(i + 2) % 4]) << i;
    // A missing folder, an 8-bit image without a palette, an existing file kept.
    std::string error, kept;
    EXPECT_EQ((std::tuple{writeBmp(*narrow, palette, dir + "missing/x.bmp", &error), error.empty()}), std::tuple(false, false));
    EXPECT_EQ((std::tuple{writeBmp(*narrow, nullptr, dir + "hcnopal.bmp", &error), std::filesystem::exists(dir + "hcnopal.bmp")}), std::tuple(false, false));
    EXPECT_EQ((std::tuple{writeBmp(*narrow, palette, dir + "hc8.bmp", &kept, true), kept.empty(), readFile(dir + "hc8.bmp") == b}), std::tuple(false, false, true));
    EXPECT_EQ((std::tuple{writeBmp(*wide, nullptr, dir + "hc8.bmp", &error, false), readFile(dir + "hc8.bmp") == w}), std::tuple(true, true));
    for (const char* name : {"hc8.bmp", "hc32.bmp"}) std::filesystem::remove(dir + name);
    destroyImage(narrow), destroyImage(wide);
}

}  // namespace
}  // namespace hc
