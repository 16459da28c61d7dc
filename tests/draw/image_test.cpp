#include "draw/bmp.h"
#include "draw/builtin_font.h"
#include "draw/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace hc {
namespace {

constexpr uint8_t Guard = 0xAA;
constexpr int Margin = 64;

// A w x h image that is a window into a larger buffer filled with Guard, so that a
// write outside the target shows up.
struct GuardedImage {
    std::vector<uint8_t> memory;
    Image view;
    int bufferWidth;
    GuardedImage(int w, int h, int bpp = 1) : bufferWidth(w + 2 * Margin) {
        memory.assign(static_cast<size_t>(bufferWidth) * (h + 2 * Margin) * bpp, Guard);
        view = Image{w, h, bpp, bufferWidth * bpp,
                     memory.data() + (static_cast<size_t>(Margin) * bufferWidth + Margin) * bpp};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) putPixel(view, x, y, 0);
    }
    bool guardIntact() const {
        const int bpp = view.bytesPerPixel;
        for (size_t i = 0; i < memory.size(); ++i) {
            const int px = static_cast<int>((i / bpp) % bufferWidth) - Margin;
            const int py = static_cast<int>((i / bpp) / bufferWidth) - Margin;
            const bool inside = px >= 0 && py >= 0 && px < view.width && py < view.height;
            if (!inside && memory[i] != Guard) return false;
        }
        return true;
    }
};

using Draw = std::function<void(Image& target, int offset)>;

// Draws into a small target, where the shape crosses the edges, and into one large
// enough for all of it, shifted by Margin: the small one must equal the matching window
// of the large one, and nothing may land outside it.
void expectClippedLikeUnclipped(const Draw& draw, int bpp = 1) {
    const int w = 20, h = 12;
    GuardedImage small(w, h, bpp);
    draw(small.view, 0);
    EXPECT_TRUE(small.guardIntact()) << "wrote outside the target";
    Image* big = createImage(w + 2 * Margin, h + 2 * Margin, bpp);
    draw(*big, Margin);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(getPixel(small.view, x, y), getPixel(*big, x + Margin, y + Margin)) << x << "," << y;
    destroyImage(big);
}

// Points around a 20 x 12 target that put shapes across every edge and corner.
const std::vector<std::pair<int, int>> EdgePoints = {
    {-5, -4}, {6, -3}, {25, -4}, {-6, 5}, {10, 6}, {24, 7}, {-3, 15}, {9, 14}, {23, 16}, {0, 0}, {19, 11},
};

TEST(ImageClipping, ShapesAcrossEveryEdge) {
    for (auto [x1, y1] : EdgePoints) {
        for (auto [x2, y2] : EdgePoints) {
            expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, x2 + o, y2 + o, 7); });
            expectClippedLikeUnclipped([&](Image& t, int o) { drawBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
            expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
        }
        expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x11223344); }, 4);
        expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x55667788); }, 4);
        expectClippedLikeUnclipped([&](Image& t, int o) { drawBuiltinText(t, x1 + o, y1 + o, "Hg@#", 3); });
        for (int r : {0, 1, 3, 8, 30})
            expectClippedLikeUnclipped([&](Image& t, int o) { fillCircle(t, x1 + o, y1 + o, r, 5); });
    }
}

TEST(ImageClipping, CopiesAndBlitsAcrossEveryEdge) {
    Image* src = createImage(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) putPixel(*src, x, y, static_cast<uint32_t>((x * 3 + y) % 4));  // zeros too
    for (auto [x, y] : EdgePoints) {
        expectClippedLikeUnclipped([&](Image& t, int o) { blitImage(*src, t, x + o, y + o, false); });
        expectClippedLikeUnclipped([&](Image& t, int o) { blitImage(*src, t, x + o, y + o, true); });
        // Source rectangles that stick out of the source image are clipped as well.
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, -2, -3, 14, 12, t, x + o, y + o); });
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, 4, 2, 30, 30, t, x + o, y + o); });
    }
    // Transparent pixels keep what was there; opaque copies overwrite it.
    Image* dst = createImage(9, 7);
    fillImage(*dst, 8);
    blitImage(*src, *dst, 0, 0, true);
    EXPECT_EQ(getPixel(*dst, 0, 0), 8u);
    EXPECT_EQ(getPixel(*dst, 1, 0), 3u);
    blitImage(*src, *dst, 0, 0, false);
    EXPECT_EQ(getPixel(*dst, 0, 0), 0u);
    destroyImage(dst);
    destroyImage(src);
}

TEST(ImageClipping, FarAndExtremeCoordinatesKeepTheirVisiblePart) {
    GuardedImage g(20, 12);
    const int big = 2000000000;
    fillBox(g.view, -big, -big, big, big, 4);
    drawBox(g.view, -big, -big, big, big, 5);
    fillCircle(g.view, -big, -big, 10, 7);
    copyRect(g.view, 0, 0, big, big, g.view, -big, big);
    drawBuiltinText(g.view, -big, -big, "far away", 8);
    drawLine(g.view, -big, 4, big, 4, 1);            // a whole row
    drawLine(g.view, 7, -1000000, 7, 1000000, 2);    // a whole column
    drawLine(g.view, -1000000, -1000000, 1000000, 1000000, 3);  // the diagonal
    EXPECT_TRUE(g.guardIntact());
    for (int x = 0; x < 20; ++x) EXPECT_EQ(getPixel(g.view, x, 4), x == 4 ? 3u : x == 7 ? 2u : 1u) << x;
    for (int y = 0; y < 12; ++y) EXPECT_EQ(getPixel(g.view, 7, y), y == 7 ? 3u : 2u) << y;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(getPixel(g.view, i, i), 3u) << i;
    EXPECT_EQ(getPixel(g.view, 1, 0), 4u);  // the filled box, left where nothing else drew
    fillCircle(g.view, 10, 6, 1000000, 6);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(getPixel(g.view, x, y), 6u);
}

// Small shapes worked out by hand on a 7 x 5 image: '#' is the colour, '.' untouched.
TEST(ImageShapes, PixelsOfSmallShapes) {
    struct Case { const char* what; std::function<void(Image&)> draw; const char* rows; };
    const Case cases[] = {
        {"line 0,0 to 6,2: y = x / 3 rounded", [](Image& t) { drawLine(t, 0, 0, 6, 2, 1); },
         "##....." "..###.." ".....##" "......." "......."},
        {"line upwards, end points included", [](Image& t) { drawLine(t, 1, 4, 1, 0, 1); },
         ".#....." ".#....." ".#....." ".#....." ".#....."},
        {"single-point line", [](Image& t) { drawLine(t, 6, 4, 6, 4, 1); },
         "......." "......." "......." "......." "......#"},
        {"box outline from corners in any order", [](Image& t) { drawBox(t, 5, 3, 1, 1, 1); },
         "......." ".#####." ".#...#." ".#####." "......."},
        {"filled box", [](Image& t) { fillBox(t, 4, 3, 2, 1, 1); },
         "......." "..###.." "..###.." "..###.." "......."},
        {"circle: dx^2 + dy^2 <= r^2", [](Image& t) { fillCircle(t, 3, 2, 2, 1); },
         "...#..." "..###.." ".#####." "..###.." "...#..."},
        {"circle of radius 0", [](Image& t) { fillCircle(t, 0, 0, 0, 1); },
         "#......" "......." "......." "......." "......."},
    };
    for (const Case& c : cases) {
        Image* image = createImage(7, 5);
        c.draw(*image);
        std::string rows;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) rows += getPixel(*image, x, y) ? '#' : '.';
        EXPECT_EQ(rows, c.rows) << c.what;
        destroyImage(image);
    }
}

TEST(ImageBasics, CreateRefusesBadSizesAndWidePixelsHoldWords) {
    EXPECT_EQ(createImage(0, 5), nullptr);
    EXPECT_EQ(createImage(5, -1), nullptr);
    EXPECT_EQ(createImage(5, 5, 3), nullptr);
    destroyImage(nullptr);
    Image* image = createImage(3, 2, 4);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pitch, 12);
    putPixel(*image, 2, 1, 0xDEADBEEF);
    EXPECT_EQ(getPixel(*image, 2, 1), 0xDEADBEEFu);
    EXPECT_EQ(getPixel(*image, 3, 1), 0u);  // outside reads 0
    destroyImage(image);
}

TEST(BuiltinFont, GlyphsAreDistinctAndTextDrawsOnlySetBits) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 33; c <= 126; ++c) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>(c));
        std::vector<uint8_t> rows(g, g + 8);
        EXPECT_NE(rows, std::vector<uint8_t>(8, 0)) << c;
        EXPECT_TRUE(seen.insert(rows).second) << c;
    }
    for (int c : {0, 31, 32, 127, 255})
        EXPECT_EQ(std::vector<uint8_t>(builtinGlyph(static_cast<unsigned char>(c)), builtinGlyph(c) + 8),
                  std::vector<uint8_t>(8, 0)) << c;
    Image* image = createImage(40, 10);
    fillImage(*image, 9);
    const char text[] = "A\x01" "B";  // a non-printable draws nothing but still advances
    drawBuiltinText(*image, 1, 1, text, 4);
    for (int i = 0; i < 3; ++i) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>(text[i]));
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 8; ++col)
                ASSERT_EQ(getPixel(*image, 1 + i * 8 + col, 1 + row), (g[row] & (0x80 >> col)) ? 4u : 9u);
    }
    destroyImage(image);
}

class BmpTest : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("hc_bmp_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::vector<uint8_t> read(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
};

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}

TEST_F(BmpTest, EightAndThirtyTwoBitFilesStoreRowsBottomUpAndPadded) {
    Image* narrow = createImage(5, 2);
    for (int i = 0; i < 10; ++i) putPixel(*narrow, i % 5, i / 5, static_cast<uint32_t>(i + 1));
    uint32_t palette[256];
    for (uint32_t i = 0; i < 256; ++i) palette[i] = 0xFF000000u | i << 16 | (255 - i) << 8 | (i ^ 0x5A);
    ASSERT_TRUE(writeBmp(*narrow, palette, (dir / "8.bmp").string()));
    const auto b = read("8.bmp");
    ASSERT_EQ(b.size(), 14u + 40u + 1024u + 2u * 8u);  // rows of 5 bytes padded to 8
    // Offset, size and value of the header fields: signature, file size, data offset,
    // header size, width, height (positive: bottom-up), planes, bits, no compression,
    // data size, colours used.
    const uint32_t fields[][3] = {{0, 2, 0x4D42}, {2, 4, 1094}, {10, 4, 1078}, {14, 4, 40}, {18, 4, 5}, {22, 4, 2},
                                  {26, 2, 1},     {28, 2, 8},    {30, 4, 0},     {34, 4, 16}, {46, 4, 256}};
    for (const auto& f : fields) EXPECT_EQ(le(b, f[0], static_cast<int>(f[1])), f[2]) << "at " << f[0];
    EXPECT_EQ(le(b, 54 + 4 * 200, 4), 0x00C83792u);  // entry 200: blue, green, red, 0
    EXPECT_EQ(std::vector<uint8_t>(b.end() - 16, b.end()),
              (std::vector<uint8_t>{6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
    Image* wide = createImage(2, 2, 4);
    const uint32_t words[] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    for (int i = 0; i < 4; ++i) putPixel(*wide, i % 2, i / 2, words[i]);
    ASSERT_TRUE(writeBmp(*wide, nullptr, (dir / "32.bmp").string()));
    const auto w = read("32.bmp");
    ASSERT_EQ(w.size(), 54u + 16u);  // no palette
    EXPECT_TRUE(le(w, 10, 4) == 54u && le(w, 28, 2) == 32u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(le(w, 54 + 4 * i, 4), words[(i + 2) % 4]) << i;
    destroyImage(narrow);
    destroyImage(wide);
}

TEST_F(BmpTest, FailuresAreReportedAndNothingIsReplaced) {
    Image* image = createImage(4, 4);
    uint32_t palette[256] = {};
    std::string error;
    EXPECT_FALSE(writeBmp(*image, palette, (dir / "missing" / "x.bmp").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writeBmp(*image, nullptr, (dir / "nopal.bmp").string(), &error));
    EXPECT_FALSE(std::filesystem::exists(dir / "nopal.bmp"));
    std::ofstream(dir / "keep.bmp") << "precious";
    error.clear();
    EXPECT_FALSE(writeBmp(*image, palette, (dir / "keep.bmp").string(), &error, true));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::filesystem::file_size(dir / "keep.bmp"), 8u);
    EXPECT_TRUE(writeBmp(*image, palette, (dir / "keep.bmp").string(), &error, false));
    EXPECT_GT(std::filesystem::file_size(dir / "keep.bmp"), 8u);
    destroyImage(image);
}

}  // namespace
}  // namespace hc
