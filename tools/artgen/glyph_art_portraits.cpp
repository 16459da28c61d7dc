// The eight passenger portraits, painted in colour and matched to the palette.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "picture.h"
#include "draw/palette.h"

namespace artgen {
namespace {

constexpr int Size = 64;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb scaled(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Rgb mixed(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A 64 x 64 colour canvas. Every shape drawn as a "part" gets a new layer number;
// where a part lies over an earlier one, the pixels of the earlier one along the
// border are darkened afterwards, which draws the soft outlines that keep the
// figures readable at this size.
struct Canvas {
    Rgb pixel[Size][Size];
    int layer[Size][Size] = {};
    int nextLayer = 1;
    int currentLayer = 0;

    void begin() { currentLayer = nextLayer++; }
    void put(int x, int y, Rgb c, bool part = true) {
        if (x < 0 || y < 0 || x >= Size || y >= Size) return;
        pixel[y][x] = c;
        if (part) layer[y][x] = currentLayer;
    }
};

// Light comes from the upper left; shapes are rounded by darkening towards their rim.
float lightAt(float u, float v, float strength) {
    const float rim = std::min(1.0f, u * u + v * v);
    return 1.0f + strength * (-0.45f * u - 0.35f * v) - 0.28f * strength * rim * rim;
}

void ellipse(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, float shade = 1.0f,
             bool part = true) {
    if (part) c.begin();
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            const float u = (x + 0.5f - cx) / rx, v = (y + 0.5f - cy) / ry;
            if (u * u + v * v > 1.0f) continue;
            c.put(x, y, scaled(col, lightAt(u, v, shade)), part);
        }
}

void rect(Canvas& c, int x0, int y0, int x1, int y1, Rgb col, float shade = 1.0f,
          bool part = true) {
    if (part) c.begin();
    const float cx = 0.5f * (x0 + x1 + 1), cy = 0.5f * (y0 + y1 + 1);
    const float hx = std::max(1.0f, 0.5f * (x1 - x0 + 1)), hy = std::max(1.0f, 0.5f * (y1 - y0 + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float u = (x + 0.5f - cx) / hx, v = (y + 0.5f - cy) / hy;
            c.put(x, y, scaled(col, 1.0f + shade * (-0.2f * u - 0.15f * v)), part);
        }
}

// A filled polygon (even-odd rule at pixel centres), shaded by its bounding box.
void polygon(Canvas& c, const std::vector<std::pair<float, float>>& pts, Rgb col,
             float shade = 1.0f, bool part = true) {
    if (part) c.begin();
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (auto [x, y] : pts) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    const float cx = 0.5f * (minX + maxX), cy = 0.5f * (minY + maxY);
    const float hx = std::max(1.0f, 0.5f * (maxX - minX)), hy = std::max(1.0f, 0.5f * (maxY - minY));
    for (int y = int(minY); y <= int(maxY); ++y)
        for (int x = int(minX); x <= int(maxX); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            bool inside = false;
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const auto [xi, yi] = pts[i];
                const auto [xj, yj] = pts[j];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            if (!inside) continue;
            const float u = (px - cx) / hx, v = (py - cy) / hy;
            c.put(x, y, scaled(col, 1.0f + shade * (-0.2f * u - 0.15f * v)), part);
        }
}

void line(Canvas& c, float x0, float y0, float x1, float y1, Rgb col, bool part = false) {
    if (part) c.begin();
    const int steps = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; ++i) {
        const float t = float(i) / float(steps);
        c.put(int(std::floor(x0 + (x1 - x0) * t + 0.5f)), int(std::floor(y0 + (y1 - y0) * t + 0.5f)),
              col, part);
    }
}

void dot(Canvas& c, int x, int y, Rgb col) { c.put(x, y, col, false); }

// The back seat behind the passenger: a dusk-lit rear window over dark upholstery.
// It is always the first part painted.
constexpr int BackdropLayer = 1;

void backdrop(Canvas& c, Rgb windowTop, Rgb windowBottom, Rgb seat) {
    c.begin();
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            Rgb col = scaled(seat, 1.0f - 0.3f * float(y) / Size);
            const bool window = y >= 3 && y <= 30 && x >= 3 + (30 - y) / 6 && x <= 60 - (30 - y) / 6;
            if (window) col = mixed(windowTop, windowBottom, float(y - 3) / 27.0f);
            // A pale street lamp streak across the window.
            if (window && std::abs((x - 8) - (y - 3) * 2) < 2) col = mixed(col, Rgb{200, 170, 190}, 0.35f);
            c.put(x, y, col);
        }
}

// Basic face features shared by the human passengers.
struct Face {
    float cx = 32, cy = 27;  // head centre
    Rgb skin{178, 143, 112};
    Rgb eye{40, 30, 25};
};

void eyes(Canvas& c, const Face& f, int dy = 0, int spread = 5) {
    const int y = int(f.cy) + dy;
    const Rgb white{225, 220, 215}, lid = scaled(f.skin, 0.55f);
    for (int side = -1; side <= 1; side += 2) {
        const int ex = int(f.cx) + 1 + side * spread;  // the pupil's left column
        line(c, float(ex - 2), float(y - 1), float(ex + 2), float(y - 1), lid);
        dot(c, ex - 1, y, white);
        dot(c, ex, y, f.eye);
        dot(c, ex + 1, y, white);
        dot(c, ex, y + 1, scaled(f.eye, 0.8f));
        dot(c, ex - 1, y + 1, scaled(f.skin, 0.85f));
        dot(c, ex + 1, y + 1, scaled(f.skin, 0.85f));
    }
}

void brows(Canvas& c, const Face& f, Rgb col, int dy = -3, int tilt = 0) {
    const int y = int(f.cy) + dy;
    for (int side = -1; side <= 1; side += 2) {
        const int x0 = int(f.cx) + side * 3, x1 = int(f.cx) + side * 7;
        line(c, float(x0), float(y + tilt), float(x1), float(y), col);
    }
}

void nose(Canvas& c, const Face& f, int length = 5) {
    const int x = int(f.cx), y = int(f.cy);
    for (int i = 1; i < length; ++i) dot(c, x + 1, y + i, scaled(f.skin, 0.85f));
    dot(c, x, y + length, scaled(f.skin, 0.6f));
    dot(c, x + 1, y + length, scaled(f.skin, 0.7f));
    dot(c, x + 2, y + length, scaled(f.skin, 0.6f));
}

void mouth(Canvas& c, const Face& f, Rgb col, int dy = 9, int width = 3, int smile = 1) {
    const int x = int(f.cx) + 1, y = int(f.cy) + dy;
    for (int i = -width; i <= width; ++i) dot(c, x + i, y, col);
    if (smile > 0) {
        dot(c, x - width - 1, y - 1, col);
        dot(c, x + width + 1, y - 1, col);
    } else if (smile < 0) {
        dot(c, x - width - 1, y + 1, col);
        dot(c, x + width + 1, y + 1, col);
    }
}

void head(Canvas& c, const Face& f, float rx = 11, float ry = 14) {
    ellipse(c, f.cx - rx + 0.5f, f.cy + 1, 2.5f, 3.5f, scaled(f.skin, 0.85f));  // ears
    ellipse(c, f.cx + rx + 1.5f, f.cy + 1, 2.5f, 3.5f, scaled(f.skin, 0.8f));
    ellipse(c, f.cx + 1, f.cy, rx, ry, f.skin, 0.9f);
}

void neck(Canvas& c, const Face& f, int halfWidth = 5) {
    rect(c, int(f.cx) - halfWidth + 1, int(f.cy) + 8, int(f.cx) + halfWidth + 1, int(f.cy) + 24,
         scaled(f.skin, 0.75f), 0.6f);
}

// 1: a young woman with long auburn hair, a green jacket and gold earrings.
void paintStudent(Canvas& c) {
    backdrop(c, Rgb{70, 40, 110}, Rgb{170, 60, 100}, Rgb{40, 32, 48});
    Face f;
    f.skin = Rgb{178, 143, 112};
    f.eye = Rgb{30, 80, 40};
    const Rgb hair{140, 60, 30};
    ellipse(c, 33, 30, 17, 19, scaled(hair, 0.8f));
    rect(c, 16, 30, 50, 54, scaled(hair, 0.75f), 0.5f);
    neck(c, f, 4);
    ellipse(c, 32, 63, 25, 17, Rgb{60, 120, 70});
    polygon(c, {{27, 50}, {37, 50}, {32, 60}}, Rgb{210, 200, 190});
    head(c, f, 10.5f, 13.5f);
    // Fringe swept to one side.
    polygon(c, {{20, 24}, {21, 15}, {28, 11}, {40, 12}, {45, 20}, {45, 27}, {40, 19}, {30, 20}}, hair);
    eyes(c, f, 0);
    brows(c, f, scaled(hair, 0.6f), -3);
    nose(c, f, 4);
    mouth(c, f, Rgb{170, 50, 65}, 8, 2, 1);
    dot(c, int(f.cx) - 1, int(f.cy) + 9, Rgb{150, 40, 55});
    dot(c, int(f.cx) + 3, int(f.cy) + 9, Rgb{150, 40, 55});
    dot(c, 21, 32, Rgb{220, 190, 80});
    dot(c, 44, 32, Rgb{220, 190, 80});
    dot(c, 27, 31, Rgb{185, 120, 110});  // blush
    dot(c, 38, 31, Rgb{185, 120, 110});
}

// 2: a retired professor: bald crown, white side hair and moustache, round glasses,
// tweed jacket and a bow tie.
void paintProfessor(Canvas& c) {
    backdrop(c, Rgb{40, 50, 90}, Rgb{120, 70, 110}, Rgb{45, 38, 40});
    Face f;
    f.skin = Rgb{167, 116, 100};
    neck(c, f, 5);
    ellipse(c, 32, 64, 27, 18, Rgb{110, 85, 60});
    polygon(c, {{26, 48}, {38, 48}, {32, 60}}, Rgb{200, 200, 205});
    polygon(c, {{28, 51}, {32, 53}, {36, 51}, {36, 56}, {32, 54}, {28, 56}}, Rgb{150, 30, 40});
    head(c, f, 11.5f, 14.0f);
    const Rgb white{215, 215, 220};
    ellipse(c, 21.5f, 25, 3, 6, white);
    ellipse(c, 44.5f, 25, 3, 6, white);
    eyes(c, f, 0);
    // Round glasses.
    const Rgb rim{50, 40, 35};
    for (int side = -1; side <= 1; side += 2) {
        const float gx = f.cx + side * 5.0f + 0.5f;
        for (int a = 0; a < 24; ++a) {
            const float t = a * 6.2831853f / 24.0f;
            dot(c, int(std::floor(gx + 3.2f * std::cos(t))), int(std::floor(f.cy + 0.5f + 3.0f * std::sin(t))), rim);
        }
    }
    line(c, f.cx - 1, f.cy - 1, f.cx + 2, f.cy - 1, rim);
    brows(c, f, white, -5);
    nose(c, f, 6);
    // Walrus moustache.
    polygon(c, {{25, 34}, {29, 32}, {33, 33}, {37, 32}, {41, 34}, {39, 37}, {33, 35}, {27, 37}}, white, 0.5f,
            false);
    mouth(c, f, Rgb{110, 60, 55}, 11, 2, 0);
    // Forehead wrinkles.
    line(c, 28, 18, 36, 18, scaled(f.skin, 0.82f));
    line(c, 29, 20, 35, 20, scaled(f.skin, 0.85f));
}

// 3: an office worker with dark skin, close-cropped hair, a navy suit and red tie.
void paintClerk(Canvas& c) {
    backdrop(c, Rgb{60, 30, 90}, Rgb{190, 80, 90}, Rgb{35, 35, 45});
    Face f;
    f.skin = Rgb{108, 68, 54};
    f.eye = Rgb{25, 15, 10};
    neck(c, f, 5);
    ellipse(c, 32, 64, 27, 18, Rgb{40, 50, 90});
    polygon(c, {{25, 48}, {39, 48}, {32, 64}}, Rgb{225, 225, 230});
    polygon(c, {{31, 52}, {34, 52}, {35, 62}, {32.5f, 64}, {30, 62}}, Rgb{170, 30, 40});
    head(c, f, 11.0f, 14.0f);
    const Rgb hair{25, 18, 15};
    polygon(c, {{21, 24}, {21, 17}, {25, 13}, {33, 12}, {41, 13}, {45, 18}, {45, 24}, {42, 19}, {33, 17}, {24, 19}},
            hair, 0.3f);
    eyes(c, f, 0);
    brows(c, f, hair, -3);
    nose(c, f, 5);
    mouth(c, f, Rgb{70, 35, 30}, 9, 3, 1);
    // A neat beard line along the jaw.
    for (int x = 24; x <= 42; ++x) dot(c, x, 37 + (std::abs(x - 33) < 5 ? 1 : 0), scaled(hair, 1.5f));
}

// 4: the action hero: flat-top blond hair, dark sunglasses, square stubbled jaw,
// a smirk and huge shoulders in a tank top.
void paintHero(Canvas& c) {
    backdrop(c, Rgb{110, 40, 40}, Rgb{230, 130, 50}, Rgb{45, 30, 30});
    Face f;
    f.cx = 31;
    f.cy = 26;
    f.skin = Rgb{167, 116, 85};
    // Shoulders and a tank top over a bare chest.
    rect(c, 24, 33, 40, 50, scaled(f.skin, 0.78f), 0.6f);  // thick neck
    ellipse(c, 32, 64, 33, 19, scaled(f.skin, 0.95f));
    polygon(c, {{14, 64}, {19, 50}, {25, 50}, {32, 58}, {39, 50}, {45, 50}, {50, 64}}, Rgb{85, 95, 50});
    // Square jaw: a head with a broad flat chin.
    c.begin();
    for (int y = 10; y <= 42; ++y)
        for (int x = 19; x <= 44; ++x) {
            const float u = (x + 0.5f - 32.0f) / 12.5f;
            float half = 12.5f;
            if (y < 18) half = 12.5f - (18 - y) * 0.9f;
            if (y > 36) half = 12.5f - (y - 36) * 1.2f;
            if (std::fabs(x + 0.5f - 32.0f) > half) continue;
            const float v = (y - 26.0f) / 16.0f;
            c.put(x, y, scaled(f.skin, lightAt(u, v, 0.8f)));
        }
    // Stubble on the jaw.
    for (int y = 33; y <= 42; ++y)
        for (int x = 20; x <= 44; ++x)
            if (c.layer[y][x] == c.currentLayer && ((x * 7 + y * 3) % 4 == 0) && !(y < 36 && std::abs(x - 32) < 4))
                dot(c, x, y, scaled(f.skin, 0.62f));
    // Flat-top.
    rect(c, 19, 4, 44, 13, Rgb{220, 190, 90}, 0.8f);
    rect(c, 18, 13, 21, 20, Rgb{190, 160, 80}, 0.5f);
    rect(c, 43, 13, 45, 20, Rgb{170, 140, 70}, 0.5f);
    for (int x = 20; x <= 43; x += 3) dot(c, x, 4, Rgb{250, 230, 140});
    // Sunglasses: two black lenses on a bar, with a glint of dusk.
    const Rgb black{12, 10, 16};
    c.begin();
    for (int x = 20; x <= 43; ++x) c.put(x, 22, black);
    for (int side = 0; side < 2; ++side) {
        const int x0 = side == 0 ? 21 : 33;
        for (int y = 22; y <= 27; ++y)
            for (int x = x0; x <= x0 + 9 - (y >= 26 ? (y - 25) : 0); ++x) c.put(x, y, black);
        dot(c, x0 + 2, 23, Rgb{240, 140, 190});
        dot(c, x0 + 3, 23, Rgb{200, 90, 150});
        dot(c, x0 + 2, 24, Rgb{160, 60, 120});
    }
    // Heavy brow, nose and smirk with a chewing gum bubble.
    nose(c, f, 6);
    line(c, 27, 35, 35, 35, Rgb{80, 40, 30});
    line(c, 35, 35, 38, 33, Rgb{80, 40, 30});
    ellipse(c, 40, 36, 2.5f, 2.5f, Rgb{240, 140, 180}, 0.6f);
    // A scar over the cheek.
    line(c, 40, 29, 42, 32, Rgb{200, 150, 130});
    // Dog tags chain.
    line(c, 26, 46, 32, 54, Rgb{190, 190, 195});
    line(c, 38, 46, 32, 54, Rgb{190, 190, 195});
    rect(c, 31, 54, 33, 57, Rgb{210, 210, 215}, 0.3f);
}

// 5: a punk with a magenta mohawk, piercings and a studded leather jacket.
void paintPunk(Canvas& c) {
    backdrop(c, Rgb{30, 60, 70}, Rgb{60, 130, 110}, Rgb{30, 30, 40});
    Face f;
    f.skin = Rgb{168, 134, 118};
    f.eye = Rgb{60, 40, 80};
    neck(c, f, 4);
    ellipse(c, 32, 64, 28, 18, Rgb{35, 32, 38});
    polygon(c, {{24, 50}, {32, 62}, {40, 50}}, Rgb{160, 30, 50});
    for (int i = 0; i < 5; ++i) dot(c, 12 + i * 3, 56 + (i % 2), Rgb{215, 215, 220});
    for (int i = 0; i < 5; ++i) dot(c, 41 + i * 3, 56 + (i % 2), Rgb{215, 215, 220});
    head(c, f, 10.5f, 14.0f);
    // Shaved sides and a tall crest.
    ellipse(c, 33, 18, 10.0f, 6.0f, scaled(f.skin, 0.72f), 0.4f, false);
    polygon(c, {{29, 17}, {27, 5}, {30, 8}, {30, 0}, {33, 5}, {35, 0}, {36, 8}, {39, 5}, {37, 17}},
            Rgb{210, 40, 160});
    for (int y = 3; y < 16; y += 2) dot(c, 32 + (y % 4 == 1 ? 1 : 0), y, Rgb{250, 120, 210});
    eyes(c, f, 0);
    // Dark eye shadow.
    dot(c, 26, 26, Rgb{60, 30, 70});
    dot(c, 27, 26, Rgb{60, 30, 70});
    dot(c, 38, 26, Rgb{60, 30, 70});
    dot(c, 39, 26, Rgb{60, 30, 70});
    brows(c, f, Rgb{60, 30, 40}, -3, 1);
    nose(c, f, 5);
    dot(c, 34, 31, Rgb{225, 225, 230});  // nose ring
    mouth(c, f, Rgb{60, 20, 40}, 9, 3, -1);
    dot(c, 30, 37, Rgb{225, 225, 230});  // lip ring
    dot(c, 21, 29, Rgb{225, 225, 230});
    dot(c, 21, 31, Rgb{225, 225, 230});
    dot(c, 45, 29, Rgb{225, 225, 230});
}

// 6: a grandmother with grey curls, a lilac cardigan, pearls and cat-eye glasses.
void paintGrandma(Canvas& c) {
    backdrop(c, Rgb{60, 40, 100}, Rgb{200, 110, 140}, Rgb{48, 36, 46});
    Face f;
    f.skin = Rgb{168, 134, 118};
    const Rgb hair{190, 190, 200};
    neck(c, f, 4);
    ellipse(c, 32, 64, 26, 18, Rgb{150, 110, 160});
    polygon(c, {{25, 50}, {39, 50}, {32, 58}}, Rgb{200, 190, 200});
    // A string of pearls across the collar.
    for (int i = 0; i < 9; ++i) {
        const float t = -1.1f + i * 0.275f;
        const int px = int(std::floor(33 + 9 * std::sin(t))), py = int(std::floor(43 + 6 * std::cos(t)));
        dot(c, px, py, Rgb{245, 240, 230});
        dot(c, px, py + 1, Rgb{150, 140, 150});
    }
    // Curls round the head.
    ellipse(c, 33, 22, 15, 14, scaled(hair, 0.8f));
    head(c, f, 10.5f, 13.5f);
    for (int i = 0; i < 9; ++i) {
        const float t = 3.1416f + i * 0.3927f;
        ellipse(c, 33 + 12.0f * std::cos(t), 22 + 10.0f * std::sin(t), 3.5f, 3.5f, hair, 0.8f);
    }
    ellipse(c, 33, 9, 6, 4, hair, 0.8f);  // the bun
    eyes(c, f, 1);
    // Cat-eye glasses.
    const Rgb frame{70, 35, 60};
    for (int side = -1; side <= 1; side += 2) {
        const int x = int(f.cx) + side * 5;
        line(c, float(x - 3), f.cy - 1, float(x + 3), f.cy - 1, frame);
        line(c, float(x - 3), f.cy + 3, float(x + 3), f.cy + 3, frame);
        dot(c, x - 3, int(f.cy), frame);
        dot(c, x + 3, int(f.cy), frame);
        dot(c, x + side * 4, int(f.cy) - 2, frame);
    }
    nose(c, f, 6);
    mouth(c, f, Rgb{170, 60, 90}, 10, 2, 1);
    dot(c, 26, 33, Rgb{190, 110, 110});
    dot(c, 40, 33, Rgb{190, 110, 110});
    line(c, 27, 37, 29, 38, scaled(f.skin, 0.75f));
    line(c, 39, 37, 37, 38, scaled(f.skin, 0.75f));
}

// 7: the robot: a riveted steel head with a glowing visor, a grille mouth and an
// antenna, on pistons and armoured shoulders.
void paintRobot(Canvas& c) {
    backdrop(c, Rgb{20, 40, 70}, Rgb{60, 100, 140}, Rgb{30, 34, 44});
    const Rgb steel{150, 155, 170};
    ellipse(c, 32, 70, 30, 18, scaled(steel, 0.7f));
    for (int x = 10; x <= 54; x += 6) dot(c, x, 58 + (std::abs(x - 32) < 12 ? 0 : 2), Rgb{220, 225, 235});
    rect(c, 26, 38, 28, 52, Rgb{110, 110, 120}, 0.6f);
    rect(c, 36, 38, 38, 52, Rgb{110, 110, 120}, 0.6f);
    rect(c, 30, 40, 34, 50, Rgb{80, 80, 90}, 0.6f);
    // Antenna with a red light.
    line(c, 32, 2, 32, 10, Rgb{120, 120, 130}, true);
    ellipse(c, 32.5f, 3, 2.2f, 2.2f, Rgb{230, 40, 50}, 0.5f);
    // Head: a box with rounded corners and ear bolts.
    rect(c, 16, 20, 19, 30, scaled(steel, 0.75f), 0.6f);
    rect(c, 45, 20, 48, 30, scaled(steel, 0.75f), 0.6f);
    c.begin();
    for (int y = 9; y <= 41; ++y)
        for (int x = 19; x <= 45; ++x) {
            const int dx = std::min(x - 19, 45 - x), dy = std::min(y - 9, 41 - y);
            if (dx + dy < 3) continue;
            const float u = (x + 0.5f - 32.0f) / 13.0f, v = (y + 0.5f - 25.0f) / 16.0f;
            c.put(x, y, scaled(steel, 1.0f - 0.25f * u - 0.15f * v));
        }
    // Panel seam and rivets.
    line(c, 20, 15, 44, 15, scaled(steel, 0.6f));
    for (int x = 22; x <= 42; x += 5) dot(c, x, 12, Rgb{225, 230, 240});
    for (int y = 19; y <= 38; y += 6) {
        dot(c, 21, y, Rgb{225, 230, 240});
        dot(c, 43, y, Rgb{225, 230, 240});
    }
    // Visor with two glowing eyes.
    rect(c, 22, 20, 42, 27, Rgb{15, 20, 35}, 0.2f);
    for (int side = 0; side < 2; ++side) {
        const int x0 = side == 0 ? 25 : 35;
        for (int x = x0; x < x0 + 5; ++x) {
            dot(c, x, 23, Rgb{140, 220, 255});
            dot(c, x, 24, Rgb{80, 150, 230});
        }
        dot(c, x0 + 1, 22, Rgb{60, 110, 190});
        dot(c, x0 + 3, 22, Rgb{60, 110, 190});
    }
    // Grille mouth.
    rect(c, 25, 31, 39, 37, Rgb{40, 40, 50}, 0.2f);
    for (int x = 26; x <= 38; x += 2) line(c, float(x), 32, float(x), 36, Rgb{120, 125, 140});
}

// 8: a teenager in a red cap worn backwards, an orange hoodie and headphones.
void paintTeen(Canvas& c) {
    backdrop(c, Rgb{50, 30, 80}, Rgb{210, 90, 120}, Rgb{36, 30, 46});
    Face f;
    f.skin = Rgb{131, 95, 68};
    f.eye = Rgb{30, 20, 15};
    neck(c, f, 4);
    ellipse(c, 32, 64, 27, 18, Rgb{210, 110, 40});
    ellipse(c, 32, 52, 15, 5, Rgb{180, 90, 35});  // hood round the neck
    // Headphones resting on the neck.
    line(c, 21, 47, 44, 47, Rgb{40, 40, 50}, true);
    ellipse(c, 21, 48, 3, 3.5f, Rgb{60, 60, 75});
    ellipse(c, 44, 48, 3, 3.5f, Rgb{60, 60, 75});
    line(c, 40, 55, 40, 62, Rgb{235, 235, 240});  // hoodie strings
    line(c, 25, 55, 25, 62, Rgb{235, 235, 240});
    head(c, f, 10.5f, 13.0f);
    const Rgb hair{35, 25, 20};
    polygon(c, {{21, 30}, {21, 22}, {44, 22}, {45, 30}, {42, 25}, {24, 25}}, hair, 0.3f, false);
    // A baseball cap, seen from the front: crown, a button and the peak.
    ellipse(c, 33, 18, 12.5f, 8, Rgb{200, 40, 45});
    dot(c, 33, 10, Rgb{240, 200, 200});
    line(c, 33, 11, 33, 18, Rgb{150, 25, 35});
    ellipse(c, 33, 22, 15, 2.6f, Rgb{150, 25, 35}, 0.5f);
    eyes(c, f, 2);
    brows(c, f, hair, -1);
    nose(c, f, 5);
    // A wide grin.
    const int y = int(f.cy) + 10;
    for (int x = 30; x <= 36; ++x) dot(c, x, y, Rgb{240, 235, 230});
    for (int x = 31; x <= 35; ++x) dot(c, x, y + 1, Rgb{90, 40, 35});
    dot(c, 28, y - 1, Rgb{70, 35, 30});
    dot(c, 38, y - 1, Rgb{70, 35, 30});
    // Freckles.
    dot(c, 27, 31, scaled(f.skin, 0.75f));
    dot(c, 29, 32, scaled(f.skin, 0.75f));
    dot(c, 37, 32, scaled(f.skin, 0.75f));
    dot(c, 39, 31, scaled(f.skin, 0.75f));
}

// Darkens background pixels that touch a part drawn over them.
void outlineParts(Canvas& c) {
    Canvas before = c;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            static constexpr int Dx[4] = {1, -1, 0, 0}, Dy[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int nx = x + Dx[k], ny = y + Dy[k];
                if (nx < 0 || ny < 0 || nx >= Size || ny >= Size) continue;
                if (before.layer[ny][nx] > before.layer[y][x]) {
                    c.pixel[y][x] = scaled(before.pixel[y][x], 0.55f);
                    break;
                }
            }
        }
}

// The nearest palette colour, leaving out transparent 0 and the interface accents.
uint8_t nearestIndex(Rgb c) {
    int best = 255;
    float bestDistance = 1e30f;
    for (int i = 1; i < 256; ++i) {
        if (i >= 23 && i <= 27) continue;
        const float dr = c.r - hc::BasePalette[i][0], dg = c.g - hc::BasePalette[i][1],
                    db = c.b - hc::BasePalette[i][2];
        const float d = 0.3f * dr * dr + 0.59f * dg * dg + 0.11f * db * db + 0.1f * (dr - dg) * (dr - dg) +
                        0.1f * (db - dg) * (db - dg);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return uint8_t(best);
}

}  // namespace

void drawPortraits(Picture& strip) {
    using Painter = void (*)(Canvas&);
    static constexpr Painter Painters[8] = {paintStudent, paintProfessor, paintClerk, paintHero,
                                            paintPunk,    paintGrandma,   paintRobot, paintTeen};
    if (strip.width < 128 || strip.height < 256) strip = Picture(128, 256, 0);
    for (int k = 1; k <= 8; ++k) {
        auto canvas = std::make_unique<Canvas>();
        Painters[k - 1](*canvas);
        outlineParts(*canvas);
        const int ox = 64 * ((k - 1) % 2), oy = 64 * ((k - 1) / 2);
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                Rgb p = canvas->pixel[y][x];
                // The smooth backdrop gradients are dithered so they do not band.
                static constexpr int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
                if (canvas->layer[y][x] == BackdropLayer) {
                    const float d = (float(Bayer[y % 4][x % 4]) - 7.5f) * 1.3f;
                    p = {p.r + d, p.g + d, p.b + d};
                }
                p.r = std::clamp(p.r, 0.0f, 255.0f), p.g = std::clamp(p.g, 0.0f, 255.0f),
                p.b = std::clamp(p.b, 0.0f, 255.0f);
                strip.at(ox + x, oy + y) = nearestIndex(p);
            }
    }
}

}  // namespace artgen
