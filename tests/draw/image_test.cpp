#include "draw/bmp.h"
#include "draw/builtin_font.h"
#include "draw/image.h"

#include <gtest/gtest.h>

#include <cstdio>
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

// A w x h image that is a window into a larger buffer: everything around the window
// holds Guard, so a write outside the target shows up.
struct GuardedImage {
    std::vector<uint8_t> memory;
    Image view;
    int bufferWidth;
    GuardedImage(int w, int h, int bytesPerPixel = 1) : bufferWidth(w + 2 * Margin) {
        memory.assign(static_cast<size_t>(bufferWidth) * (h + 2 * Margin) * bytesPerPixel, Guard);
        view.width = w;
        view.height = h;
        view.bytesPerPixel = bytesPerPixel;
        view.pitch = bufferWidth * bytesPerPixel;
        view.pixels = memory.data() + (static_cast<size_t>(Margin) * bufferWidth + Margin) * bytesPerPixel;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) putPixel(view, x, y, 0);
        }
    }
    bool guardIntact() const {
        const int bpp = view.bytesPerPixel;
        for (size_t i = 0; i < memory.size(); ++i) {
            const auto px = static_cast<int>((i / bpp) % bufferWidth) - Margin;
            const auto py = static_cast<int>((i / bpp) / bufferWidth) - Margin;
            const bool inside = px >= 0 && py >= 0 && px < view.width && py < view.height;
            if (!inside && memory[i] != Guard) return false;
        }
        return true;
    }
};

using Draw = std::function<void(Image& target, int offset)>;

// Draws into a small target, where the shape crosses the edges, and into a target
// large enough for all of it, shifted by Margin; the small one must equal the
// matching window of the large one and nothing may land outside it.
void expectClippedLikeUnclipped(const Draw& draw, int w = 20, int h = 12, int bpp = 1) {
    GuardedImage small(w, h, bpp);
    draw(small.view, 0);
    EXPECT_TRUE(small.guardIntact()) << "wrote outside the target";
    Image* big = createImage(w + 2 * Margin, h + 2 * Margin, bpp);
    ASSERT_NE(big, nullptr);
    draw(*big, Margin);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(getPixel(small.view, x, y), getPixel(*big, x + Margin, y + Margin))
                << "at " << x << "," << y;
        }
    }
    destroyImage(big);
}

// Corner points around a 20 x 12 target that put shapes across every edge and corner.
const std::vector<std::pair<int, int>> EdgePoints = {
    {-5, -4}, {6, -3}, {25, -4}, {-6, 5}, {10, 6}, {24, 7}, {-3, 15}, {9, 14}, {23, 16}, {0, 0}, {19, 11},
};

TEST(ImageClipping, LinesAcrossEveryEdge) {
    for (auto [x1, y1] : EdgePoints) {
        for (auto [x2, y2] : EdgePoints) {
            expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, x2 + o, y2 + o, 7); });
        }
    }
}

TEST(ImageClipping, BoxesAndFilledBoxesAcrossEveryEdge) {
    for (auto [x1, y1] : EdgePoints) {
        for (auto [x2, y2] : EdgePoints) {
            expectClippedLikeUnclipped([&](Image& t, int o) { drawBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
            expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, x2 + o, y2 + o, 9); });
        }
    }
}

TEST(ImageClipping, CirclesAcrossEveryEdge) {
    for (auto [cx, cy] : EdgePoints) {
        for (int r : {0, 1, 3, 8, 30}) {
            expectClippedLikeUnclipped([&](Image& t, int o) { fillCircle(t, cx + o, cy + o, r, 5); });
        }
    }
}

TEST(ImageClipping, CopiesAndBlitsAcrossEveryEdge) {
    Image* src = createImage(9, 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) putPixel(*src, x, y, static_cast<uint32_t>((x * 3 + y) % 4));  // zeros too
    }
    for (auto [x, y] : EdgePoints) {
        expectClippedLikeUnclipped([&](Image& t, int o) { blitImage(*src, t, x + o, y + o, false); });
        expectClippedLikeUnclipped([&](Image& t, int o) { blitImage(*src, t, x + o, y + o, true); });
        // Source rectangles that stick out of the source image are clipped as well.
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, -2, -3, 14, 12, t, x + o, y + o); });
        expectClippedLikeUnclipped([&](Image& t, int o) { copyRect(*src, 4, 2, 30, 30, t, x + o, y + o); });
    }
    destroyImage(src);
}

TEST(ImageClipping, TextAcrossEveryEdge) {
    for (auto [x, y] : EdgePoints) {
        expectClippedLikeUnclipped([&](Image& t, int o) { drawBuiltinText(t, x + o, y + o, "Hg@#", 3); });
    }
}

TEST(ImageClipping, FourBytePixelsClipToo) {
    for (auto [x1, y1] : EdgePoints) {
        expectClippedLikeUnclipped([&](Image& t, int o) { fillBox(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x11223344); },
                                   20, 12, 4);
        expectClippedLikeUnclipped([&](Image& t, int o) { drawLine(t, x1 + o, y1 + o, 12 + o, 8 + o, 0x55667788); },
                                   20, 12, 4);
    }
}

TEST(ImageClipping, ExtremeCoordinatesStayInside) {
    GuardedImage g(20, 12);
    const int big = 2000000000;
    drawLine(g.view, -big, 5, big, 5, 1);
    drawLine(g.view, -big, -big, big, big, 2);
    drawLine(g.view, 3, -big, 3, big, 3);
    fillBox(g.view, -big, -big, big, big, 4);
    drawBox(g.view, -big, -big, big, big, 5);
    fillCircle(g.view, 10, 6, 1000000, 6);
    fillCircle(g.view, -big, -big, 10, 7);
    copyRect(g.view, 0, 0, big, big, g.view, -big, big);
    drawBuiltinText(g.view, -big, -big, "far away", 8);
    EXPECT_TRUE(g.guardIntact());
    // The huge circle covers the whole image.
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) ASSERT_EQ(getPixel(g.view, x, y), 6u);
    }
}

TEST(ImageClipping, FarLinesKeepTheirVisiblePart) {
    GuardedImage g(20, 12);
    drawLine(g.view, -1000000, 4, 1000000, 4, 1);  // a whole row
    drawLine(g.view, 7, -1000000, 7, 1000000, 2);  // a whole column
    drawLine(g.view, -1000000, -1000000, 1000000, 1000000, 3);  // the diagonal
    EXPECT_TRUE(g.guardIntact());
    for (int x = 0; x < 20; ++x) {
        if (x != 4 && x != 7) {
            EXPECT_EQ(getPixel(g.view, x, 4), 1u) << x;
        }
    }
    for (int y = 0; y < 12; ++y) {
        if (y != 4 && y != 7) {
            EXPECT_EQ(getPixel(g.view, 7, y), 2u) << y;
        }
    }
    for (int i = 0; i < 12; ++i) EXPECT_EQ(getPixel(g.view, i, i), 3u) << i;
}

TEST(ImageBasics, CreateRefusesBadSizes) {
    EXPECT_EQ(createImage(0, 5), nullptr);
    EXPECT_EQ(createImage(5, -1), nullptr);
    EXPECT_EQ(createImage(5, 5, 3), nullptr);
    destroyImage(nullptr);  // allowed
    Image* image = createImage(3, 2, 4);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pitch, 12);
    putPixel(*image, 2, 1, 0xDEADBEEF);
    EXPECT_EQ(getPixel(*image, 2, 1), 0xDEADBEEFu);
    EXPECT_EQ(getPixel(*image, 3, 1), 0u);
    destroyImage(image);
}

TEST(BuiltinFont, PrintableGlyphsAreDistinctAndOthersBlank) {
    std::set<std::vector<uint8_t>> seen;
    for (int c = 33; c <= 126; ++c) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>(c));
        std::vector<uint8_t> rows(g, g + 8);
        EXPECT_NE(rows, std::vector<uint8_t>(8, 0)) << "glyph " << c << " is empty";
        EXPECT_TRUE(seen.insert(rows).second) << "glyph " << c << " repeats another";
    }
    for (int c : {0, 10, 31, 32, 127, 200, 255}) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>(c));
        for (int row = 0; row < 8; ++row) EXPECT_EQ(g[row], 0) << c;
    }
}

TEST(BuiltinFont, TextDrawsOnlySetBitsAndAdvancesEightPixels) {
    Image* image = createImage(40, 10);
    fillImage(*image, 9);
    drawBuiltinText(*image, 1, 1, "A\x01" "B", 4);  // a non-printable still advances
    for (int i = 0; i < 3; ++i) {
        const uint8_t* g = builtinGlyph(static_cast<unsigned char>("A\x01" "B"[i]));
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 8; ++col) {
                const bool set = (g[row] & (0x80 >> col)) != 0;
                ASSERT_EQ(getPixel(*image, 1 + i * 8 + col, 1 + row), set ? 4u : 9u);
            }
        }
    }
    destroyImage(image);
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

class BmpTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("hc_bmp_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(BmpTest, EightBitFileReadsBackByteForByte) {
    Image* image = createImage(3, 2);
    // Row 0: 1 2 3, row 1: 4 5 6.
    for (int i = 0; i < 6; ++i) putPixel(*image, i % 3, i / 3, static_cast<uint32_t>(i + 1));
    uint32_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = 0xFF000000u | static_cast<uint32_t>(i) << 16 | (255 - i) << 8 | (i ^ 0x5A);
    const std::string path = (dir / "eight.bmp").string();
    std::string error;
    ASSERT_TRUE(writeBmp(*image, palette, path, &error)) << error;
    const auto b = readFile(path);
    const size_t dataOffset = 14 + 40 + 1024;
    ASSERT_EQ(b.size(), dataOffset + 2 * 4);  // rows of 3 bytes padded to 4
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), dataOffset);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(le32(b, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(le16(b, 26), 1);
    EXPECT_EQ(le16(b, 28), 8);
    EXPECT_EQ(le32(b, 30), 0u);
    EXPECT_EQ(le32(b, 34), 8u);
    EXPECT_EQ(le32(b, 46), 256u);
    for (int i = 0; i < 256; ++i) {
        const size_t at = 54 + 4 * static_cast<size_t>(i);
        ASSERT_EQ(b[at], i ^ 0x5A);     // blue
        ASSERT_EQ(b[at + 1], 255 - i);  // green
        ASSERT_EQ(b[at + 2], i);        // red
        ASSERT_EQ(b[at + 3], 0);
    }
    const std::vector<uint8_t> pixels(b.begin() + dataOffset, b.end());
    EXPECT_EQ(pixels, (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));  // bottom row first
    destroyImage(image);
}

TEST_F(BmpTest, ThirtyTwoBitFileHasNoPaletteAndBottomUpRows) {
    Image* image = createImage(2, 2, 4);
    putPixel(*image, 0, 0, 0x00112233);
    putPixel(*image, 1, 0, 0x00445566);
    putPixel(*image, 0, 1, 0x00778899);
    putPixel(*image, 1, 1, 0x00AABBCC);
    const std::string path = (dir / "wide.bmp").string();
    ASSERT_TRUE(writeBmp(*image, nullptr, path));
    const auto b = readFile(path);
    ASSERT_EQ(b.size(), 54u + 16u);
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le16(b, 28), 32);
    EXPECT_EQ(le32(b, 46), 0u);
    EXPECT_EQ(le32(b, 54), 0x00778899u);
    EXPECT_EQ(le32(b, 58), 0x00AABBCCu);
    EXPECT_EQ(le32(b, 62), 0x00112233u);
    EXPECT_EQ(le32(b, 66), 0x00445566u);
    destroyImage(image);
}

TEST_F(BmpTest, FailuresAreReportedAndNothingIsReplaced) {
    Image* image = createImage(4, 4);
    uint32_t palette[256] = {};
    std::string error;
    EXPECT_FALSE(writeBmp(*image, palette, (dir / "missing" / "x.bmp").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writeBmp(*image, nullptr, (dir / "nopal.bmp").string(), &error));
    EXPECT_FALSE(std::filesystem::exists(dir / "nopal.bmp"));

    const auto existing = dir / "keep.bmp";
    std::ofstream(existing) << "precious";
    error.clear();
    EXPECT_FALSE(writeBmp(*image, palette, existing.string(), &error, true));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::filesystem::file_size(existing), 8u);
    EXPECT_TRUE(writeBmp(*image, palette, existing.string(), &error, false));  // replacing on purpose
    EXPECT_GT(std::filesystem::file_size(existing), 8u);
    destroyImage(image);
}

}  // namespace
}  // namespace hc
