// The twenty wall textures, 128 x 128 each. A texture spans 16 cells along a face and
// repeats, so every texture tiles horizontally (the canvas wraps x). Rows 0..127 run from
// the top of a face to its foot; the eye of the driver is at about row 109. Colours are the
// mid and bright ends of the palette's material ramps: the world view darkens them with
// distance through the shade table.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "world_art.h"

namespace artgen::world {

namespace {

// Material ramps, dark to light.
constexpr uint8_t BrickRed[] = {123, 124, 138, 127, 128, 139, 129, 140, 130};
constexpr uint8_t BrickBrown[] = {98, 99, 133, 105, 100, 134, 107, 96};
constexpr uint8_t BrickGrime[] = {64, 66, 67, 68, 69, 70, 71};
constexpr uint8_t StonePale[] = {69, 70, 71, 73, 74, 90, 91};
constexpr uint8_t ConcreteBlue[] = {77, 78, 79, 80, 81, 82};
constexpr uint8_t ConcreteGrey[] = {31, 32, 33, 34, 35, 36};
constexpr uint8_t ConcreteWarm[] = {68, 69, 70, 71, 72, 73, 74};
constexpr uint8_t StuccoMauve[] = {83, 84, 85, 88, 86, 89, 90, 91};
constexpr uint8_t Sandstone[] = {104, 105, 106, 107, 108, 109};
constexpr uint8_t TileGreen[] = {216, 217, 218, 220, 221, 222};
constexpr uint8_t GlassDark[] = {209, 205, 211, 207, 212, 213, 208, 214};
constexpr uint8_t MetalGrey[] = {30, 31, 32, 33, 34, 35};
constexpr uint8_t Boards[] = {98, 99, 105, 87};
constexpr uint8_t WoodDark[] = {131, 132, 133, 137, 138};
constexpr uint8_t Granite[] = {76, 77, 78, 83, 84, 79, 80};
constexpr uint8_t Foliage[] = {216, 217, 218, 219, 220, 221};

template <size_t N>
uint8_t ramp(const uint8_t (&r)[N], float t) {
    return rampAt(r, int(N), t);
}

// Ramp lookup with an ordered dither between neighbouring entries.
template <size_t N>
uint8_t rampDither(const uint8_t (&r)[N], float t, int x, int y) {
    const float f = t * float(N) + (bayer(x, y) - 0.5f);
    return r[std::clamp(int(std::floor(f)), 0, int(N) - 1)];
}

// Light falling on a wall: pixels of the ramp step up by up to `amount` entries, dithered,
// fading from the centre (cx, cy) out to radii (rx, ry).
template <size_t N>
void pool(Canvas& t, int cx, int cy, int rx, int ry, const uint8_t (&r)[N], float amount) {
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x) {
            const float dx = float(x - cx) / float(rx), dy = float(y - cy) / float(ry);
            const float f = 1.0f - std::sqrt(dx * dx + dy * dy);
            if (f <= 0) continue;
            const uint8_t c = t.get(x, y);
            const uint8_t* at = std::find(r, r + N, c);
            if (at == r + N) continue;
            const int step = int(f * amount + bayer(x, y));
            t.put(x, y, r[std::min(int(N) - 1, int(at - r) + step)]);
        }
}

// Fills a rectangle with a noisy material: base shade t0, stains from tiled noise,
// optional darkening towards the foot of the face.
template <size_t N>
void material(Canvas& t, int x0, int y0, int x1, int y1, const uint8_t (&r)[N], float t0, float stain,
              uint32_t seed, float footGrime = 0.0f) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float v = t0 + stain * (tiledFbm(float(x), float(y), 16, 128, seed) - 0.5f);
            v += 0.07f * (hashPixel(x, y, seed) - 0.5f);
            if (footGrime > 0 && y > 100) v -= footGrime * float(y - 100) / 27.0f;
            t.put(x, y, rampDither(r, v, x, y));
        }
}

// Brickwork in running bond: bricks bw texels long and bh high including the mortar joint.
template <size_t N>
void bricks(Canvas& t, int x0, int y0, int x1, int y1, const uint8_t (&r)[N], uint8_t mortar,
            uint32_t seed, float t0 = 0.55f, float footGrime = 0.25f, int bw = 8, int bh = 3) {
    const int perRow = 128 / bw;
    for (int y = y0; y <= y1; ++y) {
        const int course = y / bh, inCourse = y % bh;
        const int offset = (course & 1) * (bw / 2);
        for (int x = x0; x <= x1; ++x) {
            const int wx = t.wrap(x);
            const int bx = (wx + offset) % 128;
            if (inCourse == bh - 1 || bx % bw == bw - 1) {
                t.put(x, y, mortar);
                continue;
            }
            const int brick = (bx / bw) % perRow;
            float v = t0 + 0.5f * (hashPixel(brick, course, seed) - 0.5f);
            v += 0.5f * (tiledFbm(float(wx), float(y), 32, 128, seed + 5u) - 0.5f);
            v += 0.08f * (hashPixel(wx, y, seed + 9u) - 0.5f);
            if (y > 96) v -= footGrime * float(y - 96) / 31.0f;
            t.put(x, y, rampDither(r, v, wx, y));
        }
    }
}

// A horizontal moulding: a lit top edge, a face, and a shadow line under it.
void band(Canvas& t, int y0, int y1, uint8_t light, uint8_t face, uint8_t shadow, int x0 = 0, int x1 = 127) {
    t.hline(x0, x1, y0, light);
    if (y1 - 1 > y0) t.fill(x0, y0 + 1, x1, y1 - 1, face);
    if (y1 > y0) t.hline(x0, x1, y1, shadow);
}

// A small picture painted on a wall, given as rows of characters: '#' in ink, '+' in
// fill, anything else leaves the wall showing. Each row is drawn centred on the column
// pair (cx - 1, cx), so rows of even length that read the same backwards stay
// symmetric about that seam.
void pictogram(Canvas& t, int cx, int y, std::initializer_list<std::string_view> rows, uint8_t ink,
               uint8_t fill = 0) {
    for (std::string_view row : rows) {
        const int x0 = cx - int(row.size()) / 2;
        for (int i = 0; i < int(row.size()); ++i) {
            if (row[i] == '#') t.put(x0 + i, y, ink);
            if (row[i] == '+' && fill) t.put(x0 + i, y, fill);
        }
        ++y;
    }
}

// A car seen from the front, lamps lit: the parking sign and the taxi sign.
void carFront(Canvas& t, int cx, int y, uint8_t ink, uint8_t lamps) {
    pictogram(t, cx, y,
              {"..########..", ".#........#.", "#..........#", "############", "#++######++#", "############",
               ".##......##.", ".##......##."},
              ink, lamps);
}

enum class Pane { Dark, Warm, Dim, Cool, Boarded, Broken };

Pane randomPane(Rng& r, float lit) {
    const float u = r.unit();
    if (u < lit * 0.62f) return Pane::Warm;
    if (u < lit * 0.82f) return Pane::Dim;
    if (u < lit) return Pane::Cool;
    return Pane::Dark;
}

// The glass of one pane area (no frame): unlit glass mirrors the violet dusk at its top;
// lit rooms glow gold or TV blue, with curtains at the sides.
void glass(Canvas& t, int x0, int y0, int x1, int y1, Pane s, Rng& r, bool rooms = true) {
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    static constexpr uint8_t Reflect[] = {186, 188, 190, 206, 208, 212, 207, 211, 205};
    static constexpr uint8_t WarmGlow[] = {231, 232, 233, 234, 235, 235, 109};
    static constexpr uint8_t DimGlow[] = {228, 229, 230, 231, 232};
    static constexpr uint8_t CoolGlow[] = {200, 201, 202, 203, 204, 37};
    const bool curtains = r.chance(0.5f);
    const int streak = r.range(-4, 8);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float fy = h > 1 ? float(y - y0) / float(h - 1) : 0.0f;
            const float fx = w > 1 ? float(x - x0) / float(w - 1) : 0.0f;
            uint8_t c = 0;
            switch (s) {
            case Pane::Dark: {
                c = rampDither(Reflect, fy * 0.9f + 0.05f, x, y);
                const int d = (x - x0) + (y - y0) / 2 - streak;
                if (w >= 6 && d >= 0 && d < 2 && fy > 0.2f) c = (d == 0) ? 201 : 199;
                break;
            }
            case Pane::Warm:
                c = rampDither(WarmGlow, 0.95f - 0.45f * fy - 0.25f * std::fabs(fx - 0.5f), x, y);
                if (curtains && (x - x0 < w / 5 || x1 - x < w / 5)) c = (y & 1) ? 227 : 226;
                break;
            case Pane::Dim:
                c = rampDither(DimGlow, 0.9f - 0.6f * fy, x, y);
                break;
            case Pane::Cool:
                c = rampDither(CoolGlow, 0.95f - 0.5f * fy - 0.2f * std::fabs(fx - 0.5f), x, y);
                break;
            case Pane::Boarded:
                c = ((y - y0) % 4 == 3) ? 93 : ramp(Boards, 0.5f + 0.6f * (hashPixel(x / 5, (y - y0) / 4, 7u) - 0.5f));
                break;
            case Pane::Broken: {
                c = (y & 1) ? 205 : 209;
                const int dx = std::min(x - x0, x1 - x), dy = y - y0;
                if (dx + dy < 4 || (x - x0) + (y1 - y) < 3) c = (dx + dy) & 1 ? 82 : 37;
                break;
            }
            }
            t.put(x, y, c);
        }
    // Someone at a lit window now and then: head and shoulders against the light.
    if (rooms && (s == Pane::Warm || s == Pane::Cool) && w >= 8 && h >= 10 && r.chance(0.3f)) {
        const int fx = x0 + r.range(1, w - 6);
        const uint8_t dark = s == Pane::Warm ? 226 : 200;
        const int sy = y1 - h / 3;
        t.fill(fx + 1, sy - 3, fx + 3, sy - 1, dark);
        t.fill(fx, sy, fx + 4, y1, dark);
    }
}

enum class Mullion { None, Vertical, Cross, Grid };

// A framed window: frame colour all round, glass inside, glazing bars.
void window(Canvas& t, int x0, int y0, int x1, int y1, Pane s, uint8_t frame, Mullion m, Rng& r,
            int paneW = 4, int paneH = 4) {
    t.fill(x0, y0, x1, y1, frame);
    glass(t, x0 + 1, y0 + 1, x1 - 1, y1 - 1, s, r, m != Mullion::Grid);
    if (s == Pane::Boarded) return;
    const int mx = (x0 + x1) / 2, my = y0 + (y1 - y0) * 2 / 5;
    switch (m) {
    case Mullion::None: break;
    case Mullion::Vertical: t.vline(mx, y0, y1, frame); break;
    case Mullion::Cross:
        t.vline(mx, y0, y1, frame);
        t.hline(x0, x1, my, frame);
        break;
    case Mullion::Grid:
        for (int x = x0 + paneW; x < x1; x += paneW) t.vline(x, y0, y1, frame);
        for (int y = y0 + paneH; y < y1; y += paneH) t.hline(x0, x1, y, frame);
        break;
    }
}

// Vertical rain and soot streaks under sills and along the face.
void streaks(Canvas& t, int x0, int x1, int y0, int y1, const uint8_t* darker, int n, Rng& r, int count) {
    for (int i = 0; i < count; ++i) {
        const int x = r.range(x0, x1), len = r.range((y1 - y0) / 3, y1 - y0);
        const uint8_t c = darker[r.below(n)];
        for (int y = y0; y < y0 + len && y <= y1; ++y)
            if (r.chance(0.7f)) t.put(x, y, c);
    }
}

// Diagonal warning stripes.
void hazardStripes(Canvas& t, int x0, int y0, int x1, int y1, uint8_t a, uint8_t b, int width = 4) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) t.put(x, y, ((t.wrap(x) + y) / width) % 2 ? a : b);
}

// A striped shop awning seen from the front, with a scalloped valance and its shadow.
void awning(Canvas& t, int x0, int x1, int y0, int y1, uint8_t stripeA, uint8_t stripeB, uint8_t shade) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const bool a = ((x - x0) / 4) % 2 == 0;
            uint8_t c = a ? stripeA : stripeB;
            if (y == y0) c = shade;
            // The lower rows are the valance: darker, with a wavy edge.
            if (y >= y1 - 2) {
                const int phase = (x - x0) % 4;
                if (y == y1 && (phase == 0 || phase == 3)) continue;
                c = a ? shade : stripeA;
            }
            t.put(x, y, c);
        }
}

// Goods on lit shelves behind a shop window.
void shopDisplay(Canvas& t, int x0, int y0, int x1, int y1, Rng& r, bool warm) {
    static constexpr uint8_t Goods[] = {172, 176, 202, 219, 234, 130, 166, 118, 13};
    glass(t, x0, y0, x1, y1, warm ? Pane::Warm : Pane::Cool, r);
    for (int shelf = y0 + 6; shelf < y1 - 1; shelf += 7) {
        t.hline(x0, x1, shelf, 224);
        for (int x = x0 + 1; x < x1 - 1;) {
            const int w = r.range(1, 3), hgt = r.range(2, 5);
            const uint8_t c = r.pick(Goods);
            t.fill(x, shelf - hgt, x + w - 1, shelf - 1, c);
            x += w + r.range(0, 2);
        }
    }
}

// A panelled door with a lit fanlight.
void door(Canvas& t, int x0, int y0, int x1, int y1, uint8_t surround, Rng& r) {
    t.fill(x0, y0, x1, y1, surround);
    glass(t, x0 + 2, y0 + 2, x1 - 2, y0 + 5, Pane::Warm, r);
    t.fill(x0 + 2, y0 + 7, x1 - 2, y1, 137);
    for (int y = y0 + 9; y < y1 - 2; y += 8) {
        t.fill(x0 + 4, y, x1 - 4, y + 5, 138);
        t.hline(x0 + 4, x1 - 4, y, 139);
    }
    t.put(x1 - 4, (y0 + y1) / 2 + 3, 235);
}

// ---------------------------------------------------------------- building facades

// Standard storeys of the four-storey facades: a parapet, three upper floors and a tall
// ground floor from row 90.
constexpr int FloorTop[3] = {6, 33, 60};

// 1: red-brick tenement with stone lintels, a front door and barred ground-floor windows.
void brickTenement(Canvas& t) {
    Rng r(101);
    bricks(t, 0, 0, 127, 127, BrickRed, 70, 11u);
    band(t, 0, 5, 91, 73, 122);
    for (int fy : FloorTop)
        for (int bx = 0; bx < 128; bx += 32) {
            band(t, fy + 4, fy + 5, 74, 73, 73, bx + 8, bx + 23);
            window(t, bx + 9, fy + 6, bx + 22, fy + 21, randomPane(r, 0.45f), 14, Mullion::Cross, r);
            band(t, fy + 22, fy + 23, 91, 74, 122, bx + 8, bx + 23);
        }
    band(t, 86, 89, 91, 73, 122);
    door(t, 6, 95, 25, 127, 73, r);
    t.fill(4, 124, 27, 127, 70);
    t.hline(4, 27, 124, 74);
    for (int bx = 32; bx < 128; bx += 32) {
        window(t, bx + 9, 97, bx + 22, 116, randomPane(r, 0.35f), 14, Mullion::Vertical, r);
        for (int x = bx + 10; x <= bx + 21; x += 3) t.vline(x, 97, 116, 255);
        band(t, 117, 118, 74, 73, 122, bx + 8, bx + 23);
    }
    // An iron fire escape over the second bay: landings with railings and the ladders
    // between them.
    for (int fy : FloorTop) {
        const int deck = fy + 24;
        t.hline(35, 60, deck, 255);
        t.hline(35, 60, deck + 1, 29);
        t.hline(35, 60, deck - 7, 30);
        for (int x = 35; x <= 60; x += 3) t.vline(x, deck - 7, deck - 1, 29);
        if (fy < 60)
            for (int i = 0; i < 26; ++i) {
                const int x = 58 - i * 14 / 26, y = deck + 2 + i;
                t.put(x, y, 29);
                t.put(x - 4, y, 30);
                if (i % 3 == 0) t.hline(x - 4, x, y, 30);
            }
    }
    band(t, 120, 127, 70, 69, 66);
}

// 2: office block: bands of dark curtain glass between spandrel panels, a lit lobby.
void officeGlass(Canvas& t) {
    Rng r(201);
    material(t, 0, 0, 127, 127, ConcreteBlue, 0.6f, 0.3f, 21u);
    band(t, 0, 7, 82, 81, 76);
    for (int f = 0; f < 4; ++f) {
        const int gy = 8 + f * 22;
        // A lit office floor runs in stretches; the rest mirrors the sky.
        int x = 0;
        while (x < 128) {
            const int run = 16 * r.range(1, 3);
            const Pane p = r.chance(0.45f) ? (r.chance(0.7f) ? Pane::Cool : Pane::Warm) : Pane::Dark;
            for (int px = x; px < std::min(128, x + run); px += 16) {
                Rng pr(uint32_t(2000 + f * 16 + px));
                glass(t, px + 1, gy + 1, px + 14, gy + 15, p, pr, false);
                if (p != Pane::Dark) t.hline(px + 1, px + 14, gy + 1, p == Pane::Cool ? 37 : 235);
            }
            x += run;
        }
        for (int px = 0; px < 128; px += 16) {
            t.vline(px, gy, gy + 16, 82);
            t.vline(px + 15, gy, gy + 16, 80);
        }
        t.hline(0, 127, gy, 81);
        band(t, gy + 16, gy + 21, 82, 79, 76);
    }
    // Lobby: canopy, lit glass and columns.
    band(t, 96, 99, 82, 77, 75);
    glass(t, 0, 100, 127, 123, Pane::Warm, r);
    for (int x = 0; x < 128; x += 8) t.vline(x, 100, 123, 33);
    for (int x = 12; x < 128; x += 32) t.fill(x, 100, x + 3, 123, 81);
    t.fill(56, 104, 71, 123, 210);
    t.vline(63, 104, 123, 33);
    t.fill(0, 124, 127, 127, 78);
    t.hline(0, 127, 124, 81);
}

// 3: two floors of flats over shops with striped awnings and lit displays.
void shopsWithAwnings(Canvas& t) {
    Rng r(301);
    material(t, 0, 0, 127, 127, StuccoMauve, 0.55f, 0.5f, 31u);
    band(t, 0, 6, 91, 90, 83);
    for (int fy : {10, 40})
        for (int bx = 0; bx < 128; bx += 32) {
            window(t, bx + 10, fy, bx + 21, fy + 17, randomPane(r, 0.5f), 13, Mullion::Vertical, r);
            // Open shutters either side.
            for (int sx : {bx + 5, bx + 22})
                for (int y = fy; y <= fy + 17; ++y) t.hline(sx, sx + 3, y, (y & 1) ? 118 : 117);
            band(t, fy + 18, fy + 19, 91, 90, 84);
        }
    band(t, 64, 67, 91, 86, 83);
    // Two shops, each 64 wide, one centred on the texture and one on its seam: a sign
    // fascia with a picture of the trade, an awning, a door between two windows.
    struct Shop {
        int x0;
        uint8_t sign, ink, a, b, shade;
    };
    const Shop shops[2] = {{32, 255, 22, 176, 21, 162}, {96, 255, 219, 218, 20, 217}};
    for (int s = 0; s < 2; ++s) {
        const Shop& sh = shops[s];
        const int x0 = sh.x0, x1 = x0 + 63, cx = x0 + 32;
        t.fill(x0 + 2, 69, x1 - 2, 81, sh.sign);
        t.hline(x0 + 2, x1 - 2, 69, 33);
        if (s == 0) {
            // A steaming cup on its saucer: the cafe.
            pictogram(t, cx, 70, {"...#..#...", "..#....#..", "...#..#..."}, 16);
            pictogram(t, cx, 73, {"##############", "#++++++++++++#", ".#++++++++++#.", ".#++++++++++#.",
                                  "..#++++++++#..", "...########...", "################"},
                      sh.ink, 166);
        } else {
            // A red apple between two green pears: the grocer's.
            pictogram(t, cx, 70,
                      {"....++....", "..+.++.+..", ".###..###.", "##########", "##########", "##########",
                       "##########", ".########.", "..######.."},
                      172, sh.ink);
            for (int side : {-16, 16})
                pictogram(t, cx + side, 72, {"..++..", "..##..", ".####.", ".####.", "######", "######", ".####."},
                          sh.ink, 150);
        }
        awning(t, x0, x1, 83, 95, sh.a, sh.b, sh.shade);
        t.fill(x0, 96, x1, 98, 75);
        shopDisplay(t, x0 + 3, 99, x0 + 24, 118, r, s == 0);
        shopDisplay(t, x0 + 39, 99, x0 + 60, 118, r, s == 0);
        t.fill(x0 + 26, 99, x0 + 37, 127, 33);
        glass(t, x0 + 28, 101, x0 + 35, 125, Pane::Warm, r);
        t.fill(x0, 119, x0 + 25, 127, 78);
        t.fill(x0 + 38, 119, x1, 127, 78);
        t.hline(x0, x0 + 25, 119, 81);
        t.hline(x0 + 38, x1, 119, 81);
        t.vline(x0, 96, 127, 83);
        t.vline(x0 + 1, 96, 127, 85);
    }
}

// 4: prefabricated concrete flats with balconies, five low storeys.
void concreteFlats(Canvas& t) {
    Rng r(401);
    material(t, 0, 0, 127, 127, ConcreteGrey, 0.6f, 0.5f, 41u, 0.2f);
    for (int f = 0; f < 5; ++f) {
        const int fy = 4 + f * 20;
        t.hline(0, 127, fy - 1, 31);
        for (int px = 0; px < 128; px += 32) t.vline(px, fy, fy + 18, 31);
        for (int bx = 0; bx < 128; bx += 32) {
            const bool balcony = ((bx / 32) + f) % 2 == 0;
            window(t, bx + 4, fy + 4, bx + 15, fy + 14, randomPane(r, 0.5f), 35, Mullion::Vertical, r);
            if (balcony) {
                // Balcony door and slab with railing.
                window(t, bx + 18, fy + 3, bx + 26, fy + 17, randomPane(r, 0.4f), 35, Mullion::None, r);
                t.fill(bx + 17, fy + 11, bx + 28, fy + 17, 33);
                for (int x = bx + 18; x <= bx + 27; x += 2) t.vline(x, fy + 12, fy + 16, 31);
                t.hline(bx + 17, bx + 28, fy + 11, 36);
                t.hline(bx + 17, bx + 28, fy + 18, 30);
                if (r.chance(0.5f)) {
                    static constexpr uint8_t Laundry[] = {13, 166, 202, 234, 118};
                    for (int x = bx + 19; x <= bx + 26; x += r.range(2, 3)) t.fill(x, fy + 9, x + 1, fy + 12, r.pick(Laundry));
                }
            } else {
                window(t, bx + 19, fy + 4, bx + 27, fy + 14, randomPane(r, 0.5f), 35, Mullion::None, r);
            }
        }
    }
    // Entrance under a concrete canopy.
    t.fill(0, 103, 127, 105, 36);
    t.hline(0, 127, 106, 30);
    for (int bx = 0; bx < 128; bx += 64) {
        t.fill(bx + 8, 107, bx + 27, 127, 32);
        glass(t, bx + 10, 108, bx + 25, 127, Pane::Cool, r);
        t.vline(bx + 17, 108, 127, 32);
        window(t, bx + 36, 110, bx + 55, 120, Pane::Dark, 35, Mullion::Vertical, r);
    }
    t.fill(0, 122, 127, 127, 31);
    t.hline(0, 127, 122, 34);
}

// 5: warehouse: corrugated siding, a faded name band, high windows and a loading door.
void warehouse(Canvas& t) {
    Rng r(501);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int rib = x % 6;
            float v = rib == 0 ? 0.15f : rib == 1 ? 0.85f : rib < 4 ? 0.6f : 0.45f;
            v += 0.4f * (tiledFbm(float(x), float(y), 32, 128, 51u) - 0.5f);
            t.put(x, y, rampDither(MetalGrey, v, x, y));
        }
    // Rust running down from the roof and the windows.
    for (int i = 0; i < 22; ++i) {
        const int x = r.below(128), y0 = r.chance(0.5f) ? 6 : 32, len = r.range(8, 40);
        for (int y = y0; y < y0 + len; ++y)
            if (r.chance(0.8f)) t.put(x, y, r.chance(0.5f) ? 125 : 139);
    }
    band(t, 0, 5, 34, 32, 28);
    // Faded painted band with crates, the firm's trade.
    t.fill(0, 8, 127, 20, 99);
    t.hline(0, 127, 8, 100);
    for (int cx : {16, 48, 80, 112})
        pictogram(t, cx, 10, {"##########", "##......##", "#.#....#.#", "#..#..#..#", "#...##...#", "#...##...#",
                              "#..#..#..#", "#.#....#.#", "##......##", "##########"},
                  102);
    for (int bx = 0; bx < 128; bx += 16) window(t, bx + 3, 25, bx + 12, 33, randomPane(r, 0.35f), 30, Mullion::Grid, r, 3, 3);
    // Loading door in the middle: a roller shutter with a warning-striped frame.
    hazardStripes(t, 34, 54, 93, 127, 234, 28);
    for (int y = 60; y <= 127; ++y)
        for (int x = 40; x <= 87; ++x) t.put(x, y, (y % 3 == 0) ? 78 : (y % 3 == 1 ? 81 : 80));
    t.fill(40, 60, 87, 62, 76);
    // A lamp over the door and a side door either side.
    t.fill(61, 48, 66, 50, 30);
    t.fill(62, 51, 65, 52, 235);
    t.fill(10, 92, 27, 127, 30);
    t.fill(12, 94, 25, 127, 199);
    t.fill(12, 94, 25, 99, 203);
    t.put(23, 110, 82);
    t.fill(8, 88, 29, 90, 33);
    t.fill(16, 86, 21, 87, 235);
    t.fill(0, 124, 127, 127, 78);
}

// 6: converted factory in dark brick with tall many-paned windows.
void loftFactory(Canvas& t) {
    Rng r(601);
    bricks(t, 0, 0, 127, 127, BrickBrown, 104, 61u, 0.5f, 0.3f);
    band(t, 0, 3, 74, 71, 98);
    for (int fy : {8, 58}) {
        for (int bx = 0; bx < 128; bx += 32) {
            // Segmental arch of headers over the window.
            for (int x = bx + 5; x <= bx + 26; ++x) {
                const float d = float(x - (bx + 15.5f)) / 11.0f;
                const int top = fy + int(3.0f * d * d);
                t.vline(x, top, fy + 4, (x & 1) ? 100 : 133);
            }
            // Individual panes lit or dark, as in a subdivided loft.
            // A lit loft shows most of its panes lit, a dark one few; the glazing bars
            // keep the big window readable from afar.
            const int x0 = bx + 6, x1 = bx + 25, y0 = fy + 5, y1 = fy + 40;
            const Pane room = randomPane(r, 0.5f);
            t.fill(x0, y0, x1, y1, 30);
            for (int py = y0 + 1; py < y1; py += 6)
                for (int px = x0 + 1; px < x1; px += 5) {
                    Pane p = room;
                    if (r.chance(0.15f)) p = room == Pane::Dark ? Pane::Dim : Pane::Dark;
                    if (r.chance(0.05f)) p = Pane::Broken;
                    glass(t, px, py, std::min(px + 3, x1 - 1), std::min(py + 4, y1 - 1), p, r, false);
                }
            band(t, y1 + 1, y1 + 3, 74, 71, 98, bx + 4, bx + 27);
        }
    }
    band(t, 104, 107, 74, 71, 98);
    // Plinth of old stone with cellar lights.
    material(t, 108, 108, 127, 127, StonePale, 0.4f, 0.4f, 62u);
    material(t, 0, 108, 127, 127, StonePale, 0.35f, 0.4f, 62u, 0.2f);
    for (int x = 0; x < 128; x += 16) t.vline(x, 108, 127, 68);
    for (int bx = 0; bx < 128; bx += 32) window(t, bx + 10, 112, bx + 21, 118, randomPane(r, 0.4f), 31, Mullion::Grid, r, 3, 3);
}

// 7: a narrow hotel with a vertical neon sign and a lit entrance canopy.
void neonHotel(Canvas& t) {
    Rng r(701);
    material(t, 0, 0, 127, 127, StuccoMauve, 0.3f, 0.35f, 71u, 0.2f);
    band(t, 0, 4, 86, 84, 76);
    for (int f = 0; f < 4; ++f) {
        const int fy = 8 + f * 20;
        for (int bx = 21; bx < 128 - 21; bx += 32) {
            window(t, bx, fy, bx + 9, fy + 13, randomPane(r, 0.55f), 33, Mullion::Vertical, r);
            window(t, bx + 12, fy, bx + 21, fy + 13, randomPane(r, 0.55f), 33, Mullion::Vertical, r);
            t.hline(bx - 1, bx + 22, fy + 14, 86);
            for (int x = bx - 1; x <= bx + 22; x += 2) t.put(x, fy + 15, 30);
            t.hline(bx - 1, bx + 22, fy + 16, 76);
        }
    }
    // Vertical neon sign on a dark box astride the seam, with its glow on the wall:
    // stars over a bed.
    for (int y = 6; y <= 90; ++y) {
        t.put(-8, y, 160);
        t.put(7, y, 160);
    }
    t.fill(-7, 6, 6, 90, 194);
    t.hline(-7, 6, 6, 166);
    t.hline(-7, 6, 90, 166);
    for (int sy : {12, 28, 44})
        pictogram(t, 0, sy, {"....##....", "....##....", "##########", ".########.", "..######..", ".###..###.",
                             ".##....##."},
                  182);
    pictogram(t, 0, 62,
              {"#..........#", "#..........#", "#.++....++.#", "#.++####++.#", "############", "############",
               "#..........#", "#..........#"},
              182, 22);
    pictogram(t, 0, 76, {"....##....", "....##....", "##########", ".########.", "..######..", ".###..###.",
                         ".##....##."},
              182);
    // Entrance canopy with bulbs.
    t.fill(0, 92, 127, 97, 57);
    t.hline(0, 127, 92, 63);
    for (int x = 2; x < 128; x += 4) t.put(x, 95, 235);
    t.hline(0, 127, 98, 75);
    t.fill(0, 99, 127, 127, 77);
    for (int bx = 0; bx < 128; bx += 64) {
        glass(t, bx + 16, 101, bx + 47, 127, Pane::Warm, r);
        t.vline(bx + 31, 101, 127, 33);
        t.vline(bx + 32, 101, 127, 35);
        // Brass lanterns either side of the doors.
        for (int lx : {bx + 6, bx + 54}) {
            t.fill(lx, 104, lx + 4, 104, 30);
            t.fill(lx, 105, lx + 4, 110, 235);
            t.fill(lx + 1, 106, lx + 3, 109, 109);
            t.fill(lx + 1, 111, lx + 3, 112, 30);
            t.vline(lx + 2, 113, 116, 30);
        }
    }
}

// 8: sandstone apartment house with ochre shutters, some closed.
void sandstoneFlats(Canvas& t) {
    Rng r(801);
    material(t, 0, 0, 127, 127, Sandstone, 0.6f, 0.35f, 81u, 0.25f);
    // Ashlar joints.
    for (int y = 11; y < 90; y += 9) t.hline(0, 127, y, 105);
    band(t, 0, 6, 109, 108, 104);
    for (int x = 0; x < 128; x += 4) t.put(x, 7, 104);
    for (int fy : FloorTop)
        for (int bx = 0; bx < 128; bx += 32) {
            const bool closed = r.chance(0.3f);
            band(t, fy + 3, fy + 5, 109, 108, 105, bx + 6, bx + 25);
            if (closed) {
                for (int y = fy + 6; y <= fy + 22; ++y) t.hline(bx + 9, bx + 22, y, (y & 1) ? 227 : 226);
                t.vline(bx + 15, fy + 6, fy + 22, 224);
                t.vline(bx + 16, fy + 6, fy + 22, 224);
            } else {
                window(t, bx + 9, fy + 6, bx + 22, fy + 22, randomPane(r, 0.55f), 107, Mullion::Cross, r);
                for (int y = fy + 6; y <= fy + 22; ++y) {
                    t.hline(bx + 5, bx + 7, y, (y & 1) ? 227 : 226);
                    t.hline(bx + 24, bx + 26, y, (y & 1) ? 227 : 226);
                }
            }
            band(t, fy + 23, fy + 24, 109, 108, 104, bx + 7, bx + 24);
        }
    band(t, 87, 90, 109, 108, 104);
    // Arched ground floor openings.
    for (int bx = 0; bx < 128; bx += 32) {
        const bool isDoor = bx == 64;
        for (int x = bx + 7; x <= bx + 24; ++x) {
            const float d = float(x - (bx + 15.5f)) / 8.5f;
            const int top = 96 + int(6.0f * d * d);
            t.vline(x, top, isDoor ? 127 : 117, 104);
        }
        if (isDoor) {
            door(t, bx + 9, 98, bx + 22, 127, 105, r);
        } else {
            window(t, bx + 9, 99, bx + 22, 116, randomPane(r, 0.5f), 104, Mullion::Vertical, r);
            for (int x = bx + 9; x <= bx + 22; x += 2) t.put(x, 116, 30);
        }
    }
    t.fill(0, 121, 127, 127, 105);
    t.hline(0, 127, 121, 108);
}

// 9: modern block with white bands and continuous ribbon windows on columns.
void ribbonBlock(Canvas& t) {
    Rng r(901);
    for (int f = 0; f < 6; ++f) {
        const int y0 = f * 16;
        material(t, 0, y0, 127, y0 + 6, ConcreteBlue, 0.72f, 0.15f, 91u);
        t.hline(0, 127, y0, 82);
        t.hline(0, 127, y0 + 6, 78);
        int x = 0;
        while (x < 128) {
            const int run = 8 * r.range(1, 4);
            const Pane p = r.chance(0.4f) ? (r.chance(0.6f) ? Pane::Cool : Pane::Warm) : Pane::Dark;
            Rng pr(uint32_t(9000 + f * 128 + x));
            glass(t, x, y0 + 7, std::min(127, x + run - 1), y0 + 15, p, pr, false);
            x += run;
        }
        for (int px = 0; px < 128; px += 8) t.vline(px, y0 + 7, y0 + 15, 79);
    }
    // Ground floor on columns: a dark recess with a lit glass lobby.
    t.fill(0, 96, 127, 99, 82);
    t.hline(0, 127, 99, 77);
    t.fill(0, 100, 127, 127, 75);
    glass(t, 40, 104, 103, 127, Pane::Cool, r);
    for (int x = 40; x <= 103; x += 8) t.vline(x, 104, 127, 78);
    for (int x = 4; x < 128; x += 32) {
        t.fill(x, 100, x + 5, 127, 81);
        t.vline(x, 100, 127, 82);
        t.vline(x + 5, 100, 127, 78);
    }
    for (int x = 14; x < 128; x += 32) t.fill(x, 100, x + 3, 101, 204);
}

// 10: a bar with neon over a dark wooden front, green tiled floors above.
void barFront(Canvas& t) {
    Rng r(1001);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 128; ++x) {
            const bool joint = (y % 6 == 5) || ((x + ((y / 6) & 1) * 3) % 6 == 5);
            float v = 0.55f + 0.4f * (tiledFbm(float(x), float(y), 16, 128, 101u) - 0.5f);
            t.put(x, y, joint ? 217 : rampDither(TileGreen, v, x, y));
        }
    band(t, 0, 4, 222, 221, 216);
    for (int fy : {10, 44})
        for (int bx = 0; bx < 128; bx += 32) {
            window(t, bx + 8, fy, bx + 23, fy + 20, randomPane(r, 0.5f), 20, Mullion::Cross, r);
            band(t, fy + 21, fy + 22, 21, 19, 217, bx + 7, bx + 24);
        }
    // Fascia with neon cocktail glasses and a star between them.
    t.fill(0, 76, 127, 90, 255);
    t.hline(0, 127, 76, 13);
    t.hline(0, 127, 90, 13);
    const std::initializer_list<std::string_view> Glass = {
        "##############", ".#....##....#.", "..#..####..#..", "...#..##..#...", "....#....#....", ".....#..#.....",
        "......##......", "......##......", "......##......", "......##......", "....######...."};
    for (int cx : {32, 96}) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) pictogram(t, cx + dx, 78 + dy, Glass, 161, 161);
        pictogram(t, cx, 78, Glass, 178);
        t.put(cx, 79, 182);  // the cherry
        t.put(cx - 1, 80, 182);
    }
    pictogram(t, 64, 80, {"....##....", "....##....", "##########", ".########.", "..######..", ".###..###.",
                          ".##....##."},
              202);
    // Dark wood front with round lit windows and a door.
    for (int y = 91; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int plank = x / 6;
            float v = 0.55f + 0.4f * (hashPixel(plank, 0, 102u) - 0.5f) + 0.25f * (hashPixel(x, y / 5, 103u) - 0.5f);
            if (x % 6 == 5) v = 0.05f;
            t.put(x, y, ramp(WoodDark, v));
        }
    for (int cx : {20, 44, 83, 107}) {
        for (int y = -8; y <= 8; ++y)
            for (int x = -8; x <= 8; ++x) {
                const int d2 = x * x + y * y;
                if (d2 <= 64) t.put(cx + x, 104 + y, d2 > 45 ? 13 : (d2 > 30 ? 178 : (y < 0 ? 235 : 234)));
            }
    }
    t.fill(55, 95, 72, 127, 131);
    glass(t, 58, 98, 69, 108, Pane::Warm, r);
    t.fill(58, 110, 69, 127, 138);
    t.put(61, 116, 235);
    t.fill(0, 123, 127, 127, 30);
}

// 11: a derelict house of soot-black brick: boarded and broken windows, graffiti.
void derelict(Canvas& t) {
    Rng r(1101);
    bricks(t, 0, 0, 127, 127, BrickGrime, 65, 111u, 0.55f, 0.35f);
    band(t, 0, 4, 70, 68, 64);
    for (int fy : FloorTop)
        for (int bx = 0; bx < 128; bx += 32) {
            const float u = r.unit();
            const Pane p = u < 0.35f ? Pane::Boarded : u < 0.6f ? Pane::Broken : u < 0.8f ? Pane::Dark : Pane::Dim;
            window(t, bx + 9, fy + 6, bx + 22, fy + 21, p, 66, Mullion::Cross, r);
            if (p == Pane::Boarded) {
                for (int i = 0; i < 14; ++i) {
                    t.put(bx + 9 + i, fy + 7 + i, 93);
                    t.put(bx + 22 - i, fy + 7 + i, 93);
                }
            }
            band(t, fy + 22, fy + 23, 70, 68, 64, bx + 8, bx + 23);
        }
    static constexpr uint8_t Soot[] = {64, 28, 66};
    streaks(t, 0, 127, 30, 86, Soot, 3, r, 10);
    band(t, 87, 89, 70, 68, 64);
    // A roller shutter and a door, both sprayed with tags.
    for (int y = 94; y < 128; ++y)
        for (int x = 4; x < 76; ++x) t.put(x, y, y % 3 == 0 ? 31 : 33);
    t.fill(4, 92, 75, 93, 30);
    t.fill(88, 96, 107, 127, 66);
    t.fill(90, 98, 105, 127, 94);
    for (int y = 102; y < 126; y += 6) t.hline(90, 105, y, 93);
    // Tags: loops of spray paint.
    static constexpr uint8_t Paint[] = {202, 166, 219, 234, 182, 13};
    for (int i = 0; i < 7; ++i) {
        const uint8_t c = r.pick(Paint);
        const float cx = float(r.range(8, 120)), cy = float(r.range(100, 118));
        const float rx = float(r.range(4, 9)), ry = float(r.range(3, 6));
        for (int a = 0; a < 80; ++a) {
            const float ang = float(a) * 0.157f;
            const int x = int(cx + rx * std::cos(ang) + 0.3f * float(a) / 4.0f);
            const int y = int(cy + ry * std::sin(ang * 1.5f));
            t.put(x, y, c);
            if (a % 3 == 0) t.put(x + 1, y, c);
        }
    }
    t.fill(0, 124, 127, 127, 64);
}

// ---------------------------------------------------------------- other structures

// 12: an open multi-storey car park: deck edges, dim lamps, cars parked inside.
void carPark(Canvas& t) {
    Rng r(1201);
    material(t, 0, 0, 127, 127, ConcreteWarm, 0.55f, 0.4f, 121u);
    for (int f = 0; f < 4; ++f) {
        const int y0 = 4 + f * 24;
        // The open deck: darkness, lamps on the ceiling, car roofs behind the parapet.
        for (int y = y0; y < y0 + 14; ++y)
            for (int x = 0; x < 128; ++x) t.put(x, y, rampDither(GlassDark, 0.3f + 0.03f * float(y - y0), x, y));
        for (int x = 10; x < 128; x += 24) {
            t.fill(x, y0, x + 4, y0, 235);
            t.fill(x - 2, y0 + 1, x + 6, y0 + 1, 231);
        }
        for (int x = r.range(0, 6); x < 120; x += r.range(18, 30)) {
            static constexpr uint8_t Paint[] = {172, 201, 34, 118, 232, 82};
            const uint8_t c = r.pick(Paint);
            t.fill(x + 2, y0 + 8, x + 12, y0 + 10, c);
            t.fill(x, y0 + 11, x + 15, y0 + 13, c);
            t.put(x, y0 + 12, 178);
            t.put(x + 15, y0 + 12, 178);
        }
        // Parapet of the next deck.
        band(t, y0 + 14, y0 + 23, 74, 72, 66);
        for (int x = 0; x < 128; x += 32) t.fill(x, y0, x + 3, y0 + 13, 73);
    }
    // Ground: the entrance between two blue parking signs.
    t.fill(0, 100, 127, 127, 76);
    t.fill(32, 104, 95, 127, 209);
    hazardStripes(t, 32, 104, 95, 106, 234, 28);
    for (int cx : {17, 111}) {
        t.fill(cx - 9, 106, cx + 8, 123, 202);
        t.fill(cx - 8, 107, cx + 7, 122, 203);
        carFront(t, cx, 110, 22, 235);
    }
    t.fill(0, 124, 127, 127, 73);
}

// 13: a civic building in pale stone: columns, tall windows and steps.
void civicStone(Canvas& t) {
    Rng r(1301);
    material(t, 0, 0, 127, 127, StonePale, 0.6f, 0.3f, 131u, 0.2f);
    band(t, 0, 9, 91, 74, 69);
    for (int x = 0; x < 128; x += 6) t.fill(x, 10, x + 2, 12, 73);
    t.hline(0, 127, 13, 69);
    for (int cx = 0; cx < 128; cx += 32) {
        // Fluted column.
        for (int x = cx; x < cx + 10; ++x) {
            const uint8_t c = (x - cx) % 3 == 0 ? 71 : ((x - cx) < 5 ? 91 : 74);
            t.vline(x, 16, 108, c);
        }
        band(t, 14, 16, 91, 74, 70, cx - 1, cx + 10);
        band(t, 105, 108, 91, 74, 70, cx - 1, cx + 10);
        // Tall window between the columns.
        window(t, cx + 15, 26, cx + 26, 96, randomPane(r, 0.5f), 70, Mullion::Grid, r, 6, 7);
        band(t, 22, 25, 91, 74, 70, cx + 13, cx + 28);
    }
    // Steps.
    for (int s = 0; s < 6; ++s) {
        const int y = 110 + s * 3;
        t.hline(0, 127, y, 91);
        t.fill(0, y + 1, 127, y + 2, s % 2 ? 73 : 74);
    }
}

// 14: the gate of a courtyard: an opening through the building with a lit passage.
void courtyardGate(Canvas& t) {
    Rng r(1401);
    material(t, 0, 0, 127, 127, ConcreteWarm, 0.5f, 0.35f, 141u, 0.2f);
    band(t, 0, 5, 74, 72, 66);
    for (int bx = 0; bx < 128; bx += 32)
        window(t, bx + 9, 12, bx + 22, 28, randomPane(r, 0.5f), 74, Mullion::Cross, r);
    // Lintel beam with a painted tree, the courtyard's garden.
    band(t, 34, 44, 74, 73, 66, 8, 119);
    pictogram(t, 64, 35, {"...####...", ".########.", "##########", "##########", ".########.", "...####...",
                          "....##....", "..######.."},
              219);
    // The passage through the building in perspective: ceiling, side walls and floor
    // run towards the opening at its far end, where the courtyard shows in lamplight.
    static constexpr uint8_t Asphalt[] = {75, 76, 77, 78, 79};
    const int farL = 44, farR = 83, farTop = 66, farBottom = 110;
    for (int y = 45; y < 128; ++y)
        for (int x = 16; x <= 111; ++x) {
            const int side = x < farL ? farL - x : x > farR ? x - farR : 0;  // 0..28
            const int ceiling = farTop - side * (farTop - 45) / 28;
            const int floorLine = farBottom + side * (127 - farBottom) / 28;
            uint8_t c;
            if (y < ceiling) {
                c = rampDither(GlassDark, 0.05f + 0.25f * float(y - 45) / float(farTop - 45), x, y);
            } else if (y > floorLine) {
                c = rampDither(Asphalt, 0.2f + 0.4f * float(127 - y) / float(127 - farBottom), x, y);
            } else if (side > 0) {
                // Side walls, darker near the street, with the joints of the wall panels.
                const float f = 1.0f - float(side) / 28.0f;
                c = rampDither(ConcreteWarm, 0.05f + 0.35f * f, x, y);
                if (side % 7 == 0) c = 64;
            } else {
                // The courtyard: its far wall with windows, and the lit ground.
                if (y > 100) {
                    c = rampDither(Asphalt, 0.5f + 0.4f * float(y - 100) / 10.0f, x, y);
                } else {
                    c = rampDither(ConcreteBlue, 0.35f + 0.2f * (hashPixel(x, y, 143u) - 0.5f), x, y);
                    if (y == 80 || y == 81) c = 77;
                    const int wx = (x - farL) % 13;
                    if (wx >= 4 && wx <= 8 && ((y >= 70 && y <= 77) || (y >= 86 && y <= 93)))
                        c = ((x - farL) / 13 + y / 16) % 3 == 0 ? 234 : 208;
                }
            }
            t.put(x, y, c);
        }
    pool(t, 64, 100, 18, 12, Asphalt, 2.5f);
    t.fill(58, 46, 69, 47, 235);
    t.fill(54, 48, 73, 48, 231);
    // Posts either side with warning stripes at bumper height.
    for (int px : {0, 112}) {
        material(t, px, 45, px + 15, 127, ConcreteWarm, 0.6f, 0.3f, 142u);
        t.vline(px, 45, 127, 74);
        t.vline(px + 15, 45, 127, 66);
        hazardStripes(t, px + 1, 104, px + 14, 123, 234, 28);
    }
    t.fill(0, 124, 15, 127, 66);
    t.fill(112, 124, 127, 127, 66);
}

// 15: courtyard wall and tower core: ribbed concrete with pilasters at the tile seam
// (where the single-cell pillars of a courtyard show their face), lamps and slits.
void courtyardWall(Canvas& t) {
    Rng r(1501);
    material(t, 0, 0, 127, 127, ConcreteBlue, 0.45f, 0.5f, 151u, 0.25f);
    for (int y = 0; y < 128; y += 32) band(t, y, y + 2, 82, 80, 76);
    for (int x = 32; x < 120; x += 32) t.vline(x, 0, 127, 77);
    // Pilaster straddling the seam: columns 120..127 and 0..7.
    for (int y = 0; y < 128; ++y)
        for (int x = -8; x < 8; ++x) {
            const uint8_t c = x == -8 ? 82 : x == 7 ? 76 : rampDither(ConcreteBlue, 0.65f + 0.2f * (hashPixel(x, y, 152u) - 0.5f), x, y);
            t.put(x, y, c);
        }
    // Slit windows and wall lamps.
    for (int bx = 16; bx < 112; bx += 32) {
        for (int fy : {8, 40, 72}) window(t, bx + 4, fy, bx + 9, fy + 18, randomPane(r, 0.4f), 77, Mullion::None, r);
        pool(t, bx + 15, 104, 12, 14, ConcreteBlue, 3.0f);
        t.fill(bx + 13, 96, bx + 18, 97, 78);
        t.fill(bx + 14, 98, bx + 17, 99, 235);
    }
    t.fill(0, 120, 127, 127, 77);
    t.hline(0, 127, 120, 81);
}

// 16: a low railing in front of a clipped hedge, on a stone kerb. Above it everything is
// see-through; below its top edge every column is solid, because the world view can only
// fill a gap under a drawn texel with a face behind it, and there may be none near.
void lowFence(Canvas& t) {
    for (int x = 0; x < 128; ++x) {
        const int hedgeTop = 96 + int(5.0f * tiledNoise(float(x), 0.0f, 8, 128, 160u));
        for (int y = hedgeTop; y <= 111; ++y) {
            const float v = 0.8f - float(y - hedgeTop) / 14.0f + 0.5f * (hashPixel(x, y, 162u) - 0.5f);
            t.put(x, y, rampDither(Foliage, v, x, y));
        }
        const int p = x % 8;
        if (p == 0 || p == 1) {
            t.vline(x, 99, 111, p == 0 ? 34 : 31);
            t.put(x, 98, 33);
            if (p == 0) t.put(x, 97, 35);
        } else if (p == 4) {
            t.vline(x, 102, 111, 32);
        }
    }
    t.hline(0, 127, 100, 34);
    t.hline(0, 127, 101, 31);
    t.hline(0, 127, 108, 32);
    material(t, 0, 112, 127, 127, StonePale, 0.5f, 0.4f, 161u, 0.2f);
    t.hline(0, 127, 112, 91);
    t.hline(0, 127, 113, 74);
    for (int x = 0; x < 128; x += 16) t.vline(x, 114, 127, 69);
}

// 17: the boundary wall round the city: concrete slabs, floodlights, warning stripes.
void boundaryWall(Canvas& t) {
    Rng r(1701);
    material(t, 0, 0, 127, 127, ConcreteGrey, 0.55f, 0.55f, 171u, 0.3f);
    for (int x = 0; x < 128; x += 32) {
        t.vline(x, 0, 127, 29);
        t.vline(x + 1, 0, 127, 35);
    }
    for (int y = 40; y < 128; y += 40) {
        t.hline(0, 127, y, 29);
        t.hline(0, 127, y + 1, 35);
    }
    band(t, 0, 6, 36, 34, 28);
    static constexpr uint8_t Soot[] = {30, 31, 28};
    streaks(t, 0, 127, 7, 90, Soot, 3, r, 26);
    // Floodlights with their pool of light.
    for (int fx : {16, 111}) {
        pool(t, fx, 18, 18, 24, ConcreteGrey, 3.0f);
        t.fill(fx - 4, 8, fx + 4, 11, 28);
        t.fill(fx - 3, 11, fx + 3, 12, 21);
    }
    // A no-through-road roundel: the city ends here.
    for (int y = -12; y <= 11; ++y)
        for (int x = -12; x <= 11; ++x) {
            const float d = std::hypot(float(x) + 0.5f, float(y) + 0.5f);
            if (d > 12.0f) continue;
            const bool bar = y >= -3 && y <= 2 && x >= -8 && x <= 7;
            t.put(64 + x, 80 + y, d > 10.5f ? 22 : bar ? 22 : 172);
        }
    hazardStripes(t, 0, 114, 127, 127, 234, 28, 6);
    t.hline(0, 127, 113, 28);
}

// 18: the podium round a tower: shrubs in planters over a polished granite base.
void podium(Canvas& t) {
    Rng r(1801);
    // Shrubs: an irregular crown; everything above it stays transparent.
    int crown = 92;
    for (int x = 0; x < 128; ++x) {
        crown = std::clamp(crown + r.range(-2, 2), 86, 96);
        const int gap = (x % 32);
        const int top = (gap > 28) ? 99 : crown;
        for (int y = top; y <= 101; ++y) {
            const float v = 0.75f - float(y - top) / 20.0f + 0.5f * (hashPixel(x, y, 181u) - 0.5f);
            t.put(x, y, rampDither(Foliage, v, x, y));
        }
    }
    // Planter edge and granite face.
    t.fill(0, 100, 127, 103, 82);
    t.hline(0, 127, 103, 77);
    material(t, 0, 104, 127, 127, Granite, 0.5f, 0.5f, 182u);
    for (int y = 112; y < 128; y += 8) t.hline(0, 127, y, 76);
    for (int x = 0; x < 128; x += 32) t.vline(x, 104, 127, 76);
    for (int x = 14; x < 128; x += 32) {
        t.fill(x, 106, x + 3, 108, 235);
        t.hline(x - 1, x + 4, 109, 80);
    }
}

// 19: a 2-by-2 post: a concrete pylon with a taxi sign. The face shows one 16-texel
// stripe of the texture, so the same pylon repeats every 16 texels, and each stripe is
// symmetric in itself (texture noise is taken at the folded column).
void taxiPylon(Canvas& t) {
    for (int x0 = 0; x0 < 128; x0 += 16) {
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 16; ++x) {
                const int fold = x < 8 ? x : 15 - x;
                float v = 0.3f + 0.5f * float(fold) / 8.0f + 0.2f * (hashPixel(fold, y, 191u) - 0.5f);
                if (y > 110) v -= 0.2f;
                t.put(x0 + x, y, rampDither(ConcreteBlue, v, fold, y));
            }
        t.fill(x0 + 2, 10, x0 + 13, 62, 255);
        t.vline(x0 + 2, 10, 62, 233);
        t.vline(x0 + 13, 10, 62, 233);
        t.hline(x0 + 2, x0 + 13, 10, 233);
        t.hline(x0 + 2, x0 + 13, 62, 233);
        // A cab's chequered band, five squares across, round a lit roof lamp.
        for (int y = 12; y <= 60; ++y)
            for (int x = 3; x <= 12; ++x)
                if ((y < 28 || y > 44) && ((x - 3) / 2 + (y - 12) / 2) % 2 == 0) t.put(x0 + x, y, 235);
        pictogram(t, x0 + 8, 29,
                  {"...####...", ".########.", "##++++++##", "#++++++++#", "#++++++++#", "#++++++++#", "##++++++##",
                   ".########.", "...####..."},
                  235, 22);
        t.fill(x0, 0, x0 + 15, 3, 82);
        t.hline(x0, x0 + 15, 4, 76);
        for (int y = 112; y <= 124; ++y)
            for (int x = 1; x < 8; ++x) {
                const uint8_t c = ((x + y) / 4) % 2 ? 234 : 28;
                t.put(x0 + x, y, c);
                t.put(x0 + 15 - x, y, c);
            }
        t.hline(x0, x0 + 15, 125, 76);
        t.fill(x0, 126, x0 + 15, 127, 75);
    }
}

// 20: a windowless fire wall with a faded painted advertisement.
void paintedFireWall(Canvas& t) {
    Rng r(2001);
    bricks(t, 0, 0, 127, 127, BrickRed, 70, 201u, 0.45f, 0.3f);
    band(t, 0, 3, 73, 71, 122);
    // The painted panel: cream ground, a red disc and big lettering, worn through.
    for (int y = 14; y < 92; ++y)
        for (int x = 8; x < 120; ++x) {
            const float wear = tiledFbm(float(x), float(y), 16, 128, 202u);
            if (wear < 0.32f) continue;
            uint8_t c = (wear > 0.6f) ? 109 : 102;
            const int dx = 2 * x - 127, dy = y - 52;  // dx in half texels from the centre
            if (dx * dx + 4 * dy * dy < 4 * 22 * 22) c = wear > 0.5f ? 172 : 171;
            // A bottle in the disc, and bubbles rising either side.
            if (std::abs(dx) <= 11 && dy > -6 && dy < 15) c = 109;
            if (std::abs(dx) <= 3 && dy > -14 && dy <= -6) c = 109;
            if (std::abs(dx) <= 5 && dy > -16 && dy <= -14) c = 201;
            if (std::abs(dx) <= 11 && dy > 1 && dy < 7) c = 201;  // the label
            const int bx = std::abs(dx) - 64, by = dy + 10;
            if (bx * bx + 4 * by * by < 4 * 16 && wear > 0.45f) c = 201;
            if (y >= 26 && y <= 29 && std::abs(dx) > 56) c = 201;
            if (y >= 76 && y <= 79 && std::abs(dx) > 56) c = 201;
            if (y < 18 || y > 87 || x < 12 || x > 115) c = 201;
            t.put(x, y, c);
        }
    static constexpr uint8_t Soot[] = {122, 123};
    streaks(t, 0, 127, 4, 120, Soot, 2, r, 14);
    band(t, 118, 127, 70, 69, 66);
}

// Faces seen from +x and -y show a texture's columns the other way round. So that every
// wall reads the same from both sides (no mirrored lettering or one-way signs), the
// right half of each texture is made the mirror image of its left half.
void mirrorHalves(Canvas& t) {
    for (int y = 0; y < t.h; ++y)
        for (int x = 0; x < t.w / 2; ++x) t.put(t.w - 1 - x, y, t.get(x, y));
}

}  // namespace

void drawWallTexture(int kind, Canvas& t) {
    switch (kind) {
    case 1: brickTenement(t); break;
    case 2: officeGlass(t); break;
    case 3: shopsWithAwnings(t); break;
    case 4: concreteFlats(t); break;
    case 5: warehouse(t); break;
    case 6: loftFactory(t); break;
    case 7: neonHotel(t); break;
    case 8: sandstoneFlats(t); break;
    case 9: ribbonBlock(t); break;
    case 10: barFront(t); break;
    case 11: derelict(t); break;
    case 12: carPark(t); break;
    case 13: civicStone(t); break;
    case 14: courtyardGate(t); break;
    case 15: courtyardWall(t); break;
    case 16: lowFence(t); break;
    case 17: boundaryWall(t); break;
    case 18: podium(t); break;
    case 19: taxiPylon(t); break;
    case 20: paintedFireWall(t); break;
    default: return;
    }
    mirrorHalves(t);
}

}  // namespace artgen::world
