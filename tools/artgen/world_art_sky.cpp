// The dusk sky, 640 x 240: deep navy at the top, violet in the middle, a magenta-red
// glow at the horizon (row 202), a distant skyline against the glow, thin clouds and a
// few stars. Everything repeats every 640 columns, so the right edge joins the left.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "world_art.h"

namespace artgen {

namespace {

using world::bayer;
using world::hashPixel;
using world::Rng;
using world::tiledFbm;

constexpr int SkyWidth = 640, SkyHeight = 240, Horizon = 202;

// Sky colours from the zenith down to the horizon glow.
constexpr uint8_t SkyRamp[] = {209, 205, 211, 207, 208, 206, 192, 191, 190, 189, 188, 187, 186,
                               58,  59,  60,  61,  62,  63,  162, 175, 176, 177, 178, 180, 166};
constexpr int SkyRampSize = int(sizeof(SkyRamp));

uint8_t skyColour(int x, int y, float glow) {
    // Position along the ramp: slow at the top, faster towards the horizon.
    const float f = std::clamp(float(y) / float(Horizon), 0.0f, 1.0f);
    float t = std::pow(f, 1.6f) * 0.92f + glow;
    t = std::clamp(t, 0.0f, 0.999f);
    const float v = t * float(SkyRampSize - 1) + 1.6f * (bayer(x, y) - 0.5f);
    return SkyRamp[std::clamp(int(std::lround(v)), 0, SkyRampSize - 1)];
}

}  // namespace

void drawSky(Picture& sky) {
    if (sky.width < SkyWidth || sky.height < SkyHeight) {
        std::fprintf(stderr, "drawSky: picture too small (%dx%d)\n", sky.width, sky.height);
        return;
    }
    Rng r(7700);
    // Gradient with soft cloud bands that catch the glow from below.
    for (int y = 0; y < SkyHeight; ++y)
        for (int x = 0; x < SkyWidth; ++x) {
            const float cloud = tiledFbm(float(x), float(y) * 5.0f, 80, SkyWidth, 31u);
            float glow = 0.0f;
            if (y > 70 && y < Horizon) glow = std::max(0.0f, cloud - 0.52f) * 0.7f * float(y - 70) / 132.0f;
            sky.at(x, y) = skyColour(x, std::min(y, Horizon), glow);
        }
    // Stars in the dark upper part.
    for (int i = 0; i < 70; ++i) {
        const int x = r.below(SkyWidth), y = r.below(110);
        static constexpr uint8_t Stars[] = {37, 82, 204, 14, 203};
        sky.at(x, y) = Stars[r.below(5)];
        if (r.chance(0.15f)) {
            sky.at((x + 1) % SkyWidth, y) = 81;
            sky.at((x + SkyWidth - 1) % SkyWidth, y) = 81;
            if (y > 0) sky.at(x, y - 1) = 81;
            sky.at(x, y + 1) = 81;
        }
    }
    // The distant skyline: towers of varied height, dark against the glow, with a few
    // lit windows and red beacons on the tallest.
    // The first tower straddles the seam, so the picture joins without a break.
    const int start = -12;
    int x = start;
    while (x < SkyWidth + start) {
        int w = r.range(8, 26);
        if (SkyWidth + start - (x + w) < 8) w = SkyWidth + start - x;
        const int h = r.chance(0.15f) ? r.range(22, 38) : r.range(4, 18);
        const int top = Horizon - h;
        for (int i = 0; i < w; ++i) {
            const int bx = (x + i + SkyWidth) % SkyWidth;
            for (int y = top; y < SkyHeight; ++y) {
                uint8_t c = y > Horizon + 6 ? 194 : 193;
                if (y > top + 2 && y < Horizon && i % 3 == 1 && (y - top) % 4 == 2 && hashPixel(bx, y, 77u) < 0.12f)
                    c = hashPixel(bx, y, 78u) < 0.7f ? 231 : 201;
                sky.at(bx, y) = c;
            }
        }
        if (h > 28) sky.at((x + w / 2 + SkyWidth) % SkyWidth, top - 1) = 178;
        x += w;
    }
    // Below the skyline: the dark haze of the far city floor.
    for (int y = Horizon + 1; y < SkyHeight; ++y)
        for (int x2 = 0; x2 < SkyWidth; ++x2)
            if (sky.at(x2, y) != 194 && sky.at(x2, y) != 193) sky.at(x2, y) = (bayer(x2, y) < 0.5f) ? 194 : 197;
}

}  // namespace artgen
