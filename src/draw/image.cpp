#include "draw/image.h"

#include <algorithm>
#include <cmath>
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
    // Work in 64 bits so that rectangles far outside either image cannot overflow.
    int64_t x0 = sx, y0 = sy, x1 = dx, y1 = dy, cw = w, ch = h;
    // Clip the source rectangle to the source image, moving the destination with it.
    if (x0 < 0) { x1 -= x0; cw += x0; x0 = 0; }
    if (y0 < 0) { y1 -= y0; ch += y0; y0 = 0; }
    cw = std::min<int64_t>(cw, src.width - x0);
    ch = std::min<int64_t>(ch, src.height - y0);
    // Then to the destination.
    if (x1 < 0) { x0 -= x1; cw += x1; x1 = 0; }
    if (y1 < 0) { y0 -= y1; ch += y1; y1 = 0; }
    cw = std::min<int64_t>(cw, dst.width - x1);
    ch = std::min<int64_t>(ch, dst.height - y1);
    if (cw <= 0 || ch <= 0) return;
    const size_t rowBytes = static_cast<size_t>(cw) * static_cast<size_t>(src.bytesPerPixel);
    for (int64_t row = 0; row < ch; ++row) {
        std::memmove(pixelAddress(dst, static_cast<int>(x1), static_cast<int>(y1 + row)),
                     pixelAddress(src, static_cast<int>(x0), static_cast<int>(y0 + row)), rowBytes);
    }
}

void blitImage(const Image& src, Image& dst, int x, int y, bool skipZero) {
    if (!skipZero) {
        copyRect(src, 0, 0, src.width, src.height, dst, x, y);
        return;
    }
    if (src.bytesPerPixel != dst.bytesPerPixel) return;
    const int64_t x0 = std::max<int64_t>(0, -int64_t{x});
    const int64_t y0 = std::max<int64_t>(0, -int64_t{y});
    const int64_t x1 = std::min<int64_t>(src.width, int64_t{dst.width} - x);
    const int64_t y1 = std::min<int64_t>(src.height, int64_t{dst.height} - y);
    for (int64_t sy = y0; sy < y1; ++sy) {
        for (int64_t sx = x0; sx < x1; ++sx) {
            const uint32_t c = getPixel(src, static_cast<int>(sx), static_cast<int>(sy));
            if (c != 0) putPixel(dst, static_cast<int>(x + sx), static_cast<int>(y + sy), c);
        }
    }
}

void fillImage(Image& target, uint32_t c) {
    for (int y = 0; y < target.height; ++y) span(target, 0, target.width - 1, y, c);
}

namespace {

// Bresenham from (x1, y1) to (x2, y2), every point clipped on its own.
void bresenham(Image& target, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t c) {
    const int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2, sx = x1 < x2 ? 1 : -1;
    const int64_t dy = -(y2 > y1 ? y2 - y1 : y1 - y2), sy = y1 < y2 ? 1 : -1;
    int64_t err = dx + dy;
    for (;;) {
        if (x1 >= 0 && y1 >= 0 && x1 < target.width && y1 < target.height) {
            putPixel(target, static_cast<int>(x1), static_cast<int>(y1), c);
        }
        if (x1 == x2 && y1 == y2) break;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

}  // namespace

void drawLine(Image& target, int x1, int y1, int x2, int y2, uint32_t c) {
    // Nothing to draw when the line's bounding box misses the image.
    if (std::max(x1, x2) < 0 || std::max(y1, y2) < 0 || std::min(x1, x2) >= target.width ||
        std::min(y1, y2) >= target.height) {
        return;
    }
    if (y1 == y2) {
        span(target, x1, x2, y1, c);
        return;
    }
    // Lines of ordinary length are stepped whole, so the pixels of the visible part
    // are exactly those of the unclipped line.
    constexpr int64_t Far = 1 << 15;
    const int64_t length = std::max(std::abs(int64_t{x2} - x1), std::abs(int64_t{y2} - y1));
    if (length <= Far) {
        bresenham(target, x1, y1, x2, y2, c);
        return;
    }
    // Very long lines are first cut to a margin around the image (Liang-Barsky), so
    // that a line from far away does not cost millions of steps.
    const double ax = x1, ay = y1, bx = x2, by = y2;
    const double lo = -2.0, hiX = target.width + 1.0, hiY = target.height + 1.0;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-(bx - ax), bx - ax, -(by - ay), by - ay};
    const double q[4] = {ax - lo, hiX - ax, ay - lo, hiY - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
    }
    if (t0 > t1) return;
    bresenham(target, std::llround(ax + t0 * (bx - ax)), std::llround(ay + t0 * (by - ay)),
              std::llround(ax + t1 * (bx - ax)), std::llround(ay + t1 * (by - ay)), c);
}

void drawBox(Image& target, int x1, int y1, int x2, int y2, uint32_t c) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    span(target, x1, x2, y1, c);
    span(target, x1, x2, y2, c);
    const int top = std::max(y1 + 1, 0), bottom = std::min(y2 - 1, target.height - 1);
    for (int y = top; y <= bottom; ++y) {
        plotPixel(target, x1, y, c);
        plotPixel(target, x2, y, c);
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
    const int64_t r2 = int64_t{radius} * radius;
    // Only the rows that fall inside the image are visited.
    const int64_t top = std::max<int64_t>(-int64_t{radius}, -int64_t{cy});
    const int64_t bottom = std::min<int64_t>(radius, int64_t{target.height} - 1 - cy);
    for (int64_t dy = top; dy <= bottom; ++dy) {
        // The widest dx with dx * dx + dy * dy <= r * r.
        const int64_t rest = r2 - dy * dy;
        auto dx = static_cast<int64_t>(std::sqrt(static_cast<double>(rest)));
        while (dx * dx > rest) --dx;
        while ((dx + 1) * (dx + 1) <= rest) ++dx;
        const int64_t left = std::max<int64_t>(cx - dx, -1);
        const int64_t right = std::min<int64_t>(cx + dx, target.width);
        span(target, static_cast<int>(left), static_cast<int>(right), static_cast<int>(cy + dy), c);
    }
}

}  // namespace hc
