#include "platform/image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace hc {

Image* createImage(int width, int height, int bytesPerPixel) {
    if (width <= 0 || height <= 0 || (bytesPerPixel != 1 && bytesPerPixel != 4)) return nullptr;
    auto* image = new (std::nothrow) Image;
    if (!image) return nullptr;
    image->width = width;
    image->height = height;
    image->bytesPerPixel = bytesPerPixel;
    image->pitch = width * bytesPerPixel;
    image->pixels = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>(image->pitch) * static_cast<size_t>(height), 1));
    if (!image->pixels) {
        delete image;
        return nullptr;
    }
    return image;
}

void destroyImage(Image* image) {
    if (!image) return;
    std::free(image->pixels);
    delete image;
}

void putPixel(Image& target, int x, int y, uint32_t c) {
    uint8_t* p = pixelAddress(target, x, y);
    if (target.bytesPerPixel == 1) {
        *p = static_cast<uint8_t>(c);
    } else {
        std::memcpy(p, &c, 4);
    }
}

uint32_t getPixel(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
    const uint8_t* p = pixelAddress(image, x, y);
    if (image.bytesPerPixel == 1) return *p;
    uint32_t c;
    std::memcpy(&c, p, 4);
    return c;
}

namespace {

inline bool inside(const Image& t, int x, int y) {
    return x >= 0 && y >= 0 && x < t.width && y < t.height;
}

inline void plot(Image& t, int x, int y, uint32_t c) {
    if (inside(t, x, y)) putPixel(t, x, y, c);
}

// Fills the clipped horizontal span x1..x2 of row y.
void span(Image& t, int x1, int x2, int y, uint32_t c) {
    if (y < 0 || y >= t.height) return;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::max(x1, 0);
    x2 = std::min(x2, t.width - 1);
    if (x1 > x2) return;
    if (t.bytesPerPixel == 1) {
        std::memset(pixelAddress(t, x1, y), static_cast<uint8_t>(c), static_cast<size_t>(x2 - x1 + 1));
    } else {
        for (int x = x1; x <= x2; ++x) putPixel(t, x, y, c);
    }
}

}  // namespace

void copyRect(const Image& src, int sx, int sy, int w, int h, Image& dst, int dx, int dy) {
    if (src.bytesPerPixel != dst.bytesPerPixel) return;
    // Clip the source rectangle to the source image, moving the destination with it.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    w = std::min(w, src.width - sx);
    h = std::min(h, src.height - sy);
    // Then to the destination.
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min(w, dst.width - dx);
    h = std::min(h, dst.height - dy);
    if (w <= 0 || h <= 0) return;
    const size_t rowBytes = static_cast<size_t>(w) * src.bytesPerPixel;
    for (int row = 0; row < h; ++row) {
        std::memmove(pixelAddress(dst, dx, dy + row), pixelAddress(src, sx, sy + row), rowBytes);
    }
}

void blitImage(const Image& src, Image& dst, int x, int y, bool skipZero) {
    if (!skipZero) {
        copyRect(src, 0, 0, src.width, src.height, dst, x, y);
        return;
    }
    if (src.bytesPerPixel != dst.bytesPerPixel) return;
    const int x0 = std::max(0, -x), y0 = std::max(0, -y);
    const int x1 = std::min(src.width, dst.width - x), y1 = std::min(src.height, dst.height - y);
    for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
            const uint32_t c = getPixel(src, sx, sy);
            if (c != 0) putPixel(dst, x + sx, y + sy, c);
        }
    }
}

void fillImage(Image& target, uint32_t c) {
    for (int y = 0; y < target.height; ++y) span(target, 0, target.width - 1, y, c);
}

void drawLine(Image& target, int x1, int y1, int x2, int y2, uint32_t c) {
    // Bresenham, every point clipped on its own so lines may start and end anywhere.
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    // Lines far outside the image still end: the loop runs max(dx, -dy) + 1 times.
    for (;;) {
        plot(target, x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

void drawBox(Image& target, int x1, int y1, int x2, int y2, uint32_t c) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    span(target, x1, x2, y1, c);
    span(target, x1, x2, y2, c);
    for (int y = y1 + 1; y < y2; ++y) {
        plot(target, x1, y, c);
        plot(target, x2, y, c);
    }
}

void fillBox(Image& target, int x1, int y1, int x2, int y2, uint32_t c) {
    if (y1 > y2) std::swap(y1, y2);
    y1 = std::max(y1, 0);
    y2 = std::min(y2, target.height - 1);
    for (int y = y1; y <= y2; ++y) span(target, x1, x2, y, c);
}

void fillCircle(Image& target, int cx, int cy, int radius, uint32_t c) {
    if (radius < 0) return;
    for (int dy = -radius; dy <= radius; ++dy) {
        int dx = 0;
        while ((dx + 1) * (dx + 1) + dy * dy <= radius * radius) ++dx;
        span(target, cx - dx, cx + dx, cy + dy, c);
    }
}

}  // namespace hc
