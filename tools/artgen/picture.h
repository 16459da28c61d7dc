#pragma once
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

// Draws the interface pictures into the 640 x 1402 asset sheet: garage backdrop, sky,
// menu backdrop, cockpit, title, icons, portraits and the font's five styles, at the
// places the pack layout gives. Deterministic.
void drawInterfaceArt(Picture& sheet);

}  // namespace artgen
