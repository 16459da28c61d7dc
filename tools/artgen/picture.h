#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

// A picture of palette indices, row-major with row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Picture() = default;
    Picture(int w, int h, uint8_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint8_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint8_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    void set(int x, int y, uint8_t c) {
        if (inside(x, y)) at(x, y) = c;
    }
};

// The three pictures that make up the pack, at their fixed sizes.
constexpr int VehiclePictureWidth = 640, VehiclePictureHeight = 126;
constexpr int WallPictureWidth = 640, WallPictureHeight = 512;
constexpr int AssetSheetWidth = 640, AssetSheetHeight = 1402;

// Draws the world's pictures: the six vehicle sheets into the 640 x 126 vehicle
// picture and the twenty wall textures into the 640 x 512 wall picture, at the places
// the pack layout gives. Deterministic.
void drawWorldArt(Picture& vehicles, Picture& walls);

// The 640 x 240 sky, seamless from its right edge to its left (it repeats twice round
// the horizon, which lies near its row 202).
void drawSky(Picture& sky);

// The game font: a 500 x 50 strip, five rows of 50 glyphs of 10 x 10 (style s in rows
// 10s..10s+9, glyph g in columns 10g..10g+9), colour 0 transparent.
void drawFontStyles(Picture& strip);
// Eight 64 x 64 portraits in a 128 x 256 strip: portrait k (1..8) at column
// 64 * ((k - 1) % 2), row 64 * ((k - 1) / 2).
void drawPortraits(Picture& strip);
// The 8 x 8 raindrop of the HUD and the 16 x 16 pointer of the garage (0 transparent).
void drawHudIcon(Picture& icon);
void drawGarageIcon(Picture& icon);

// Draws the interface pictures into the 640 x 1402 asset sheet: garage backdrop, sky,
// menu backdrop, cockpit, title, icons, portraits and the font's five styles, at the
// places the pack layout gives. Deterministic.
void drawInterfaceArt(Picture& sheet);

}  // namespace artgen
