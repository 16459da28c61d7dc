#include "interface_art_canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "draw/palette.h"

namespace artgen::ui {

Rgb mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb a, float k) { return Rgb{a.r * k, a.g * k, a.b * k}; }
Rgb add(Rgb a, Rgb b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }

Rgb paletteRgb(int index) {
    const uint8_t* p = hc::BasePalette[index & 255];
    return Rgb{float(p[0]), float(p[1]), float(p[2])};
}

namespace {

// Nearest-index lookup on a 32 x 32 x 32 grid of colours, built on first use.
struct NearestTable {
    std::array<uint8_t, 32 * 32 * 32> entry{};
    NearestTable() {
        for (int ri = 0; ri < 32; ++ri)
            for (int gi = 0; gi < 32; ++gi)
                for (int bi = 0; bi < 32; ++bi) {
                    float r = ri * 8.0f + 4.0f, g = gi * 8.0f + 4.0f, b = bi * 8.0f + 4.0f;
                    float best = 1e30f;
                    uint8_t bestIndex = 255;
                    for (int i = 1; i < 256; ++i) {
                        if (i >= 23 && i <= 27) continue;
                        const uint8_t* p = hc::BasePalette[i];
                        // Weighted distance: the eye is most sensitive to green.
                        float dr = r - p[0], dg = g - p[1], db = b - p[2];
                        float d = 3.0f * dr * dr + 4.0f * dg * dg + 2.0f * db * db;
                        if (d < best) {
                            best = d;
                            bestIndex = uint8_t(i);
                        }
                    }
                    entry[size_t(ri) * 1024 + gi * 32 + bi] = bestIndex;
                }
    }
};

const NearestTable& nearestTable() {
    static const NearestTable table;
    return table;
}

int clampChannel(float v) { return std::clamp(int(v), 0, 255); }

// 4 x 4 ordered dither thresholds in [-0.5, 0.5).
float bayer(int x, int y) {
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f;
}

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

}  // namespace

uint8_t nearestIndex(Rgb c) {
    int r = clampChannel(c.r) >> 3, g = clampChannel(c.g) >> 3, b = clampChannel(c.b) >> 3;
    return nearestTable().entry[size_t(r) * 1024 + g * 32 + b];
}

uint32_t Rng::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}
float Rng::unit() { return float(next() >> 8) / 16777216.0f; }
float Rng::range(float a, float b) { return a + (b - a) * unit(); }
int Rng::below(int n) { return n <= 0 ? 0 : int(next() % uint32_t(n)); }

float valueNoise(float x, float y, float cell, uint32_t seed) {
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto v = [&](int a, int b) { return float(hash(a, b, seed) & 0xFFFF) / 65535.0f; };
    float top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
    float bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

Canvas::Canvas(int w, int h) : width(w), height(h), colour(size_t(w) * h), alpha(size_t(w) * h, 0.0f) {}

void Canvas::blend(int x, int y, Rgb c, float a) {
    if (!inside(x, y) || a <= 0.0f) return;
    a = std::min(a, 1.0f);
    size_t i = size_t(y) * width + x;
    colour[i] = mix(colour[i], c, alpha[i] > 0.0f ? a : 1.0f);
    alpha[i] = alpha[i] + (1.0f - alpha[i]) * a;
}

void Canvas::darken(int x, int y, float k) {
    if (!inside(x, y)) return;
    size_t i = size_t(y) * width + x;
    colour[i] = scale(colour[i], k);
}

void fillRect(Canvas& cv, int x0, int y0, int x1, int y1, Rgb c, float a) {
    for (int y = std::max(y0, 0); y <= std::min(y1, cv.height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, cv.width - 1); ++x) cv.blend(x, y, c, a);
}

void fillRectVertical(Canvas& cv, int x0, int y0, int x1, int y1, Rgb top, Rgb bottom) {
    for (int y = std::max(y0, 0); y <= std::min(y1, cv.height - 1); ++y) {
        Rgb c = mix(top, bottom, y1 > y0 ? float(y - y0) / float(y1 - y0) : 0.0f);
        for (int x = std::max(x0, 0); x <= std::min(x1, cv.width - 1); ++x) cv.put(x, y, c);
    }
}

void fillRing(Canvas& cv, float cx, float cy, float r0, float r1, Rgb c, float a) {
    int xa = int(std::floor(cx - r1 - 1)), xb = int(std::ceil(cx + r1 + 1));
    int ya = int(std::floor(cy - r1 - 1)), yb = int(std::ceil(cy + r1 + 1));
    for (int y = std::max(ya, 0); y <= std::min(yb, cv.height - 1); ++y)
        for (int x = std::max(xa, 0); x <= std::min(xb, cv.width - 1); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float cover = std::clamp(r1 - d + 0.5f, 0.0f, 1.0f);
            if (r0 > 0) cover = std::min(cover, std::clamp(d - r0 + 0.5f, 0.0f, 1.0f));
            if (cover > 0) cv.blend(x, y, c, cover * a);
        }
}

void fillCircle(Canvas& cv, float cx, float cy, float r, Rgb c, float a) { fillRing(cv, cx, cy, 0, r, c, a); }

void stroke(Canvas& cv, float x0, float y0, float x1, float y1, float hw, Rgb c, float a) {
    int xa = int(std::floor(std::min(x0, x1) - hw - 1)), xb = int(std::ceil(std::max(x0, x1) + hw + 1));
    int ya = int(std::floor(std::min(y0, y1) - hw - 1)), yb = int(std::ceil(std::max(y0, y1) + hw + 1));
    float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = std::max(ya, 0); y <= std::min(yb, cv.height - 1); ++y)
        for (int x = std::max(xa, 0); x <= std::min(xb, cv.width - 1); ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            float d = std::hypot(px - t * dx, py - t * dy);
            float cover = std::clamp(hw - d + 0.5f, 0.0f, 1.0f);
            if (cover > 0) cv.blend(x, y, c, cover * a);
        }
}

void fillPolygon(Canvas& cv, const std::vector<float>& xy, Rgb c, float a) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    float ymin = 1e9f, ymax = -1e9f;
    for (size_t i = 0; i < n; ++i) {
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    // Four sub-rows per pixel row give a soft vertical edge; columns are exact.
    for (int y = std::max(int(std::floor(ymin)), 0); y <= std::min(int(std::ceil(ymax)), cv.height - 1); ++y) {
        std::vector<float> cover(size_t(cv.width), 0.0f);
        for (int s = 0; s < 4; ++s) {
            float sy = y + (s + 0.5f) / 4.0f;
            std::vector<float> xs;
            for (size_t i = 0; i < n; ++i) {
                float ax = xy[2 * i], ay = xy[2 * i + 1];
                float bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
                if ((ay <= sy && by > sy) || (by <= sy && ay > sy)) xs.push_back(ax + (sy - ay) / (by - ay) * (bx - ax));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                int xa = std::max(int(std::lround(xs[k])), 0), xb = std::min(int(std::lround(xs[k + 1])) - 1, cv.width - 1);
                for (int x = xa; x <= xb; ++x) cover[size_t(x)] += 0.25f;
            }
        }
        for (int x = 0; x < cv.width; ++x)
            if (cover[size_t(x)] > 0) cv.blend(x, y, c, cover[size_t(x)] * a);
    }
}

void glow(Canvas& cv, float cx, float cy, float r, Rgb c, float a) {
    for (int y = std::max(int(cy - r), 0); y <= std::min(int(cy + r), cv.height - 1); ++y)
        for (int x = std::max(int(cx - r), 0); x <= std::min(int(cx + r), cv.width - 1); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
            if (d < 1.0f) {
                size_t i = size_t(y) * cv.width + x;
                if (cv.alpha[i] <= 0.0f) continue;  // glow lights what is there, it adds no shape
                float k = a * (1.0f - d) * (1.0f - d);
                cv.colour[i] = add(cv.colour[i], scale(c, k));
            }
        }
}

namespace {

// 3 x 5 glyphs, one row per 3 bits, top row first.
uint16_t tinyGlyph(char ch) {
    switch (ch) {
        case 'A': return 0b010101111101101;
        case 'B': return 0b110101110101110;
        case 'C': return 0b011100100100011;
        case 'D': return 0b110101101101110;
        case 'E': return 0b111100110100111;
        case 'F': return 0b111100110100100;
        case 'G': return 0b011100101101011;
        case 'H': return 0b101101111101101;
        case 'I': return 0b111010010010111;
        case 'K': return 0b101101110101101;
        case 'L': return 0b100100100100111;
        case 'M': return 0b101111111101101;
        case 'N': return 0b110101101101101;
        case 'O': return 0b010101101101010;
        case 'P': return 0b110101110100100;
        case 'R': return 0b110101110101101;
        case 'S': return 0b011100010001110;
        case 'T': return 0b111010010010010;
        case 'U': return 0b101101101101111;
        case 'V': return 0b101101101101010;
        case 'W': return 0b101101111111101;
        case 'X': return 0b101101010101101;
        case 'Y': return 0b101101010010010;
        case 'Z': return 0b111001010100111;
        case '0': return 0b111101101101111;
        case '1': return 0b010110010010111;
        case '2': return 0b110001010100111;
        case '3': return 0b110001010001110;
        case '4': return 0b101101111001001;
        case '5': return 0b111100110001110;
        case '6': return 0b011100111101111;
        case '7': return 0b111001010010010;
        case '8': return 0b111101111101111;
        case '9': return 0b111101111001110;
        case '$': return 0b011110010011110;
        case '-': return 0b000000111000000;
        case '.': return 0b000000000000010;
        case '/': return 0b001001010100100;
        case '+': return 0b000010111010000;
        default: return 0;
    }
}

}  // namespace

int tinyTextWidth(const char* text, int scale) { return int(std::strlen(text)) * 4 * scale - scale; }

void tinyText(Canvas& cv, int x, int y, const char* text, Rgb c, int scale) {
    for (const char* p = text; *p; ++p, x += 4 * scale) {
        uint16_t g = tinyGlyph(*p);
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (g & (1u << (14 - row * 3 - col))) fillRect(cv, x + col * scale, y + row * scale, x + col * scale + scale - 1, y + row * scale + scale - 1, c);
    }
}

void quantize(const Canvas& cv, Picture& pic, int ox, int oy, float dither) {
    for (int y = 0; y < cv.height; ++y)
        for (int x = 0; x < cv.width; ++x) {
            size_t i = size_t(y) * cv.width + x;
            if (cv.alpha[i] < 0.5f) {
                pic.set(ox + x, oy + y, 0);
                continue;
            }
            float d = bayer(x, y) * dither;
            Rgb c = cv.colour[i];
            pic.set(ox + x, oy + y, nearestIndex(Rgb{c.r + d, c.g + d, c.b + d}));
        }
}

void paste(const Picture& src, Picture& dst, int ox, int oy) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) dst.set(ox + x, oy + y, src.at(x, y));
}

}  // namespace artgen::ui
