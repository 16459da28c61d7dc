// The generated art read as the game shows it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "assets/font.h"
#include "assets/graphics_pack.h"
#include "draw/palette.h"
#include "pack_test_support.h"

namespace hc {
namespace {

struct GeneratedArt : ::testing::Test {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    FontSet font;
    void SetUp() override {
        const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " has not been generated";
        static Rgb palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = basePaletteEntry(i);
        testing_assets::ConsoleCapture quiet;
        ASSERT_TRUE(loadGraphicsPack(*state, font, palette, 1, path));
    }
    void TearDown() override { releaseGraphicsPack(*state, font); }
};

// Faces seen from +x and -y run a texture's columns the other way, so every wall must be
// its own mirror image; the post shows one 16-texel stripe, so it repeats every 16.
TEST_F(GeneratedArt, WallTexturesReadTheSameMirrored) {
    for (int kind = 1; kind <= WallTextureCount; ++kind) {
        const int period = kind == 19 ? 16 : WallTextureSize;
        int wrong = 0;
        for (int row = 0; row < WallTextureSize; ++row)
            for (int c = 0; c < WallTextureSize; ++c) {
                const uint8_t* texels = state->wallTextures[kind].data() + row * WallTextureSize;
                wrong += texels[c] != texels[WallTextureSize - 1 - c] || texels[c] != texels[c % period];
            }
        EXPECT_EQ(wrong, 0) << "wall texture " << kind;
    }
}

// The dial agrees with the needle, which turns 3/4 of a turn for read-outs 0 to 270: a
// long tick and a label where it points at 0, 45, ... 270, neither half-way between.
TEST_F(GeneratedArt, SpeedometerIsLabelledOnTheNeedlesScale) {
    auto bright = [&](double v, double r, int box) {
        const double a = 2.44159 + v / 270.0 * 4.712385;
        const int x = int(std::lround(233 + r * std::cos(a))), y = int(std::lround(141 + r * std::sin(a)));
        int lit = 0;
        for (int dy = -box; dy <= box; ++dy)
            for (int dx = -box; dx <= box; ++dx) lit += basePaletteEntry(getPixel(*state->cockpitImage, x + dx, y + dy)).green > 110;
        return lit > 0;
    };
    for (int k = 0; k <= 12; ++k) {
        const double v = 22.5 * k;
        EXPECT_EQ(bright(v, 32, 1), k % 2 == 0) << "tick at " << v;
        EXPECT_EQ(bright(v, 23, 1), k % 2 == 0) << "label at " << v;
    }
}

}  // namespace
}  // namespace hc
