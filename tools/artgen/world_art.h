#pragma once
// Shared helpers of the world artwork (wall textures, vehicle sheets, sky): a fixed-seed
// random source, a drawing window onto part of a picture, value noise and a tiny sign font.
#include <cstdint>
#include <string_view>

#include "picture.h"

namespace artgen::world {

// xorshift32: small, fast and the same on every platform, so the art never changes
// between builds.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed * 2654435761u + 0x6D2B79F5u) {
        if (state == 0) state = 1;
        for (int i = 0; i < 4; ++i) next();
    }
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return n <= 1 ? 0 : int(next() % uint32_t(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    float unit() { return float(next() >> 8) * (1.0f / 16777216.0f); }
    bool chance(float p) { return unit() < p; }
    template <size_t N>
    uint8_t pick(const uint8_t (&choices)[N]) { return choices[below(int(N))]; }
};

// A rectangle of a picture that drawing is confined to. With wrapX set, x wraps round
// the width, so that whatever crosses the right edge continues at the left and a texture
// tiles without a seam; y is clipped.
struct Canvas {
    Picture* pic;
    int ox, oy, w, h;
    bool wrapX;

    int wrap(int x) const { return ((x % w) + w) % w; }
    bool inside(int x, int y) const {
        return y >= 0 && y < h && (wrapX || (x >= 0 && x < w));
    }
    void put(int x, int y, uint8_t c) {
        if (!inside(x, y)) return;
        if (wrapX) x = wrap(x);
        pic->at(ox + x, oy + y) = c;
    }
    uint8_t get(int x, int y) const {
        if (!inside(x, y)) return 0;
        if (wrapX) x = wrap(x);
        return pic->at(ox + x, oy + y);
    }
    // Inclusive rectangle.
    void fill(int x0, int y0, int x1, int y1, uint8_t c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) put(x, y, c);
    }
    void hline(int x0, int x1, int y, uint8_t c) { fill(x0, y, x1, y, c); }
    void vline(int x, int y0, int y1, uint8_t c) { fill(x, y0, x, y1, c); }
};

// Smooth value noise in [0, 1) that repeats every `period` units along x (period a
// multiple of cell), so stains and clouds tile seamlessly.
float tiledNoise(float x, float y, int cell, int period, uint32_t seed);
// Two octaves of tiledNoise.
float tiledFbm(float x, float y, int cell, int period, uint32_t seed);

// A repeatable pseudo-random value in [0, 1) for integer coordinates.
float hashPixel(int x, int y, uint32_t seed);

// 4 x 4 ordered dither threshold in [0, 1) for pixel (x, y).
float bayer(int x, int y);

// Pick from a ramp by a value in [0, 1], clamped.
uint8_t rampAt(const uint8_t* ramp, int n, float t);

// A 3 x 5 pixel capital font for painted and neon signs; each lit pixel is a
// scale x scale block. Returns the width drawn. Unknown characters draw as spaces.
int drawSignText(Canvas& c, int x, int y, std::string_view text, int scale, uint8_t colour);
int signTextWidth(std::string_view text, int scale);

// The parts of the world art, each drawn into the picture it belongs to.
void drawWallTexture(int kind, Canvas& tex);
void drawVehicleSheet(int model, Canvas& sheet);

}  // namespace artgen::world
