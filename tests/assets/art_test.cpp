// The generated art read as the game shows it.
#include <gtest/gtest.h>
#include <cmath>
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
        static Rgb palette[256];
        for (int i = 0; i < 256; ++i) palette[i] = basePaletteEntry(i);
        testing_assets::ConsoleCapture quiet;
        ASSERT_TRUE(loadGraphicsPack(*state, font, palette, 1, path)) << path << " (the game_data target builds it)";
    }
    void TearDown() override { releaseGraphicsPack(*state, font); }
};

// Faces seen from +x and -y run a texture's columns the other way, so every wall must be
// its own mirror image; the post shows one 16-texel stripe, so it repeats every 16.
TEST_F(GeneratedArt, WallTexturesReadTheSameMirrored) {
    for (int kind = 1; kind <= WallTextureCount; ++kind) {
        const int period = kind == 19 ? 16 : WallTextureSize;
        int wrong = 0;
        for (int row = 0; row < WallTextureSize; ++row) {
            const uint8_t* texels = state->wallTextures[kind].data() + row * WallTextureSize;
            for (int c = 0; c < WallTextureSize; ++c)
                wrong += texels[c] != texels[WallTextureSize - 1 - c] || texels[c] != texels[c % period];
        }
        EXPECT_EQ(wrong, 0) << "wall texture " << kind;
    }
}

// A car's side view is seen from both of its sides, from one of them mirrored, so what is
// painted on it must read the same either way: the van's emblem and the rival cab's roof
// sign are each their own mirror image about their middle column.
TEST_F(GeneratedArt, VehicleSideSignsReadTheSameMirrored) {
    const struct { int model, centre, halfWidth, firstRow, lastRow; } signs[] = {{5, 104, 30, 2, 18}, {4, 130, 9, 7, 11}};
    for (const auto& sign : signs) {
        const VehicleSheet& sheet = state->vehicleSheets[sign.model];
        int wrong = 0, painted = 0;
        for (int row = sign.firstRow; row <= sign.lastRow; ++row) {
            const uint8_t* texels = sheet.data() + row * VehicleSheetWidth;
            painted += texels[sign.centre] != texels[sign.centre - sign.halfWidth];
            for (int d = 1; d <= sign.halfWidth; ++d) wrong += texels[sign.centre - d] != texels[sign.centre + d];
        }
        EXPECT_EQ(wrong, 0) << "vehicle " << sign.model;
        EXPECT_GT(painted, 0) << "vehicle " << sign.model << ": nothing painted in the middle";
    }
}

// The dial agrees with the needle, which turns 3/4 of a turn for read-outs 0 to 270: a
// long tick and a label where it points at 0, 45, ... 270, neither half-way between.
TEST_F(GeneratedArt, SpeedometerIsLabelledOnTheNeedlesScale) {
    auto bright = [&](double v, double r) {  // a light pixel within 1 of radius r at v
        const double a = 2.44159 + v / 270.0 * 4.712385;
        const int x = int(std::lround(233 + r * std::cos(a))), y = int(std::lround(141 + r * std::sin(a)));
        int lit = 0;
        for (int d = 0; d < 9; ++d)
            lit += basePaletteEntry(getPixel(*state->cockpitImage, x + d % 3 - 1, y + d / 3 - 1)).green > 110;
        return lit > 0;
    };
    for (int k = 0; k <= 12; ++k)
        for (const double r : {32.0, 23.0})  // the long ticks, the labels
            EXPECT_EQ(bright(22.5 * k, r), k % 2 == 0) << "radius " << r << " at " << 22.5 * k;
}

}  // namespace
}  // namespace hc
