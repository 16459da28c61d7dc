#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hc {

// Off-screen images of palette indices (1 byte per pixel) or 32-bit colour words (4
// bytes per pixel), and the drawing primitives. Every primitive takes its target
// explicitly and clips to it, except putPixel.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 1;
    int32_t pitch = 0;          // bytes per row
    uint8_t* pixels = nullptr;  // owned by the image
};

// Returns null when the size is not positive or memory runs out.
Image* createImage(int width, int height, int bytesPerPixel = 1);
void destroyImage(Image* image);

inline uint8_t* pixelAddress(const Image& image, int x, int y) {
    return image.pixels + static_cast<std::ptrdiff_t>(image.pitch) * y +
           static_cast<std::ptrdiff_t>(image.bytesPerPixel) * x;
}

// Stores colour c at (x, y) without any clipping: callers keep the point inside.
// On a 4-byte image the value is stored as a 32-bit word.
void putPixel(Image& target, int x, int y, uint32_t c);
// The clipped pixel write every drawing routine uses: a point outside the image is
// skipped.
inline void plotPixel(Image& target, int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < target.width && y < target.height) putPixel(target, x, y, c);
}
// Reads a pixel, or 0 outside the image.
uint32_t getPixel(const Image& image, int x, int y);

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, opaque. Both
// images must share their bytes per pixel; the rectangle is clipped to both.
void copyRect(const Image& src, int sx, int sy, int w, int h, Image& dst, int dx, int dy);
// Draws the whole of src at (x, y) of dst; with skipZero, pixels of value 0 are
// transparent.
void blitImage(const Image& src, Image& dst, int x, int y, bool skipZero);
void fillImage(Image& target, uint32_t c);

// Lines, box outlines and filled boxes take inclusive corner points in any order.
void drawLine(Image& target, int x1, int y1, int x2, int y2, uint32_t c);
void drawBox(Image& target, int x1, int y1, int x2, int y2, uint32_t c);
void fillBox(Image& target, int x1, int y1, int x2, int y2, uint32_t c);
void fillCircle(Image& target, int cx, int cy, int radius, uint32_t c);

}  // namespace hc
