// The world's pictures: placing the twenty wall textures and six vehicle sheets in their
// pictures, plus the helpers they share (noise, dither, sign lettering).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "world_art.h"

namespace artgen {
namespace world {

namespace {

uint32_t hash3(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float lattice(int x, int y, uint32_t seed) { return float(hash3(x, y, seed) & 0xFFFF) / 65536.0f; }

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Glyphs of the sign font, five rows of three columns each ('#' lit).
struct Glyph {
    char ch;
    const char* rows[5];
};

constexpr Glyph SignGlyphs[] = {
    {'A', {"###", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {"###", "#..", "#..", "#..", "###"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {"###", "#..", "#.#", "#.#", "###"}}, {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}}, {'M', {"#.#", "###", "###", "#.#", "#.#"}},
    {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}}, {'O', {"###", "#.#", "#.#", "#.#", "###"}},
    {'P', {"###", "#.#", "###", "#..", "#.."}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {"###", "#..", "###", "..#", "###"}}, {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}}, {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#.#", "#.#", "###", "###", "#.#"}}, {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}}, {'Z', {"###", "..#", ".#.", "#..", "###"}},
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}}, {'4', {"#.#", "#.#", "###", "..#", "..#"}},
    {'!', {".#.", ".#.", ".#.", "...", ".#."}}, {'-', {"...", "...", "###", "...", "..."}},
};

const Glyph* findGlyph(char ch) {
    for (const Glyph& g : SignGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

}  // namespace

float tiledNoise(float x, float y, int cell, int period, uint32_t seed) {
    const int cellsAcross = std::max(1, period / cell);
    const float fx = x / float(cell), fy = y / float(cell);
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const float tx = smooth(fx - float(ix)), ty = smooth(fy - float(iy));
    auto corner = [&](int cx, int cy) {
        const int wx = ((cx % cellsAcross) + cellsAcross) % cellsAcross;
        return lattice(wx, cy, seed);
    };
    const float a = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * tx;
    const float b = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

float tiledFbm(float x, float y, int cell, int period, uint32_t seed) {
    const int fine = std::max(1, cell / 2);
    return 0.65f * tiledNoise(x, y, cell, period, seed) +
           0.35f * tiledNoise(x, y, fine, period, seed + 17u);
}

float hashPixel(int x, int y, uint32_t seed) { return lattice(x, y, seed ^ 0x5BD1E995u); }

float bayer(int x, int y) {
    static constexpr int Matrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (float(Matrix[y & 3][x & 3]) + 0.5f) / 16.0f;
}

uint8_t rampAt(const uint8_t* ramp, int n, float t) {
    const int i = std::clamp(int(t * float(n)), 0, n - 1);
    return ramp[i];
}

int signTextWidth(std::string_view text, int scale) {
    return text.empty() ? 0 : int(text.size()) * 4 * scale - scale;
}

int drawSignText(Canvas& c, int x, int y, std::string_view text, int scale, uint8_t colour) {
    int cx = x;
    for (char ch : text) {
        if (const Glyph* g = findGlyph(ch)) {
            for (int r = 0; r < 5; ++r)
                for (int k = 0; k < 3; ++k)
                    if (g->rows[r][k] == '#')
                        c.fill(cx + k * scale, y + r * scale, cx + k * scale + scale - 1,
                               y + r * scale + scale - 1, colour);
        }
        cx += 4 * scale;
    }
    return cx - x - scale;
}

}  // namespace world

void drawWorldArt(Picture& vehicles, Picture& walls) {
    if (vehicles.width < VehiclePictureWidth || vehicles.height < VehiclePictureHeight ||
        walls.width < WallPictureWidth || walls.height < WallPictureHeight) {
        std::fprintf(stderr, "drawWorldArt: pictures too small (%dx%d, %dx%d)\n", vehicles.width,
                     vehicles.height, walls.width, walls.height);
        return;
    }
    for (int n = 1; n <= 20; ++n) {
        const int k = (n - 1) / 5, j = (n - 1) % 5 + 1;
        world::Canvas tex{&walls, 128 * (j - 1), 128 * k, 128, 128, true};
        tex.fill(0, 0, 127, 127, 0);
        world::drawWallTexture(n, tex);
    }
    for (int y = 0; y < VehiclePictureHeight; ++y)
        for (int x = 0; x < VehiclePictureWidth; ++x) vehicles.at(x, y) = 0;
    for (int m = 1; m <= 6; ++m) {
        const int k = (m - 1) / 2;
        world::Canvas sheet{&vehicles, 256 * ((m - 1) % 2), 42 * k, 256, 42, false};
        world::drawVehicleSheet(m, sheet);
    }
}

}  // namespace artgen
