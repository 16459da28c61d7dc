// The cracked-glass picture for heavy bodywork damage.
#include "render/damage_overlay.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace hc {

namespace {

constexpr uint32_t Line = 22;
constexpr uint32_t Shadow = 255;
constexpr uint32_t Crazing = 17;  // a pale grey for the powdered glass round the impact

// A small private generator, so the picture is fixed and the game's random sequence
// stays as it is.
struct Xorshift {
    uint32_t state;
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 4294967296.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }
};

struct Point {
    double x, y;
};

void crackLine(Image& image, Point a, Point b) {
    const int ax = static_cast<int>(std::lround(a.x)), ay = static_cast<int>(std::lround(a.y));
    const int bx = static_cast<int>(std::lround(b.x)), by = static_cast<int>(std::lround(b.y));
    drawLine(image, ax + 1, ay + 1, bx + 1, by + 1, Shadow);
    drawLine(image, ax, ay, bx, by, Line);
}

// A crack that wanders outwards from a point, forking now and then.
void radialCrack(Image& image, Xorshift& rng, Point from, double angle, double length, int depth) {
    Point p = from;
    double travelled = 0;
    while (travelled < length) {
        const double step = rng.between(8, 22);
        angle += rng.between(-0.18, 0.18);
        const Point q{p.x + step * std::cos(angle), p.y + step * std::sin(angle)};
        crackLine(image, p, q);
        p = q;
        travelled += step;
        if (depth < 2 && rng.next() < 0.12) {
            const double side = rng.next() < 0.5 ? -1.0 : 1.0;
            radialCrack(image, rng, p, angle + side * rng.between(0.35, 0.8), (length - travelled) * 0.5, depth + 1);
        }
    }
}

}  // namespace

Image* createHeavyDamageOverlay() {
    Image* image = createImage(DamageOverlayWidth, DamageOverlayHeight, 1);
    if (!image) return nullptr;
    fillImage(*image, 0);

    Xorshift rng{0x7700CAB5u};
    // The impact sits right of the driver's line of sight, a little below the middle.
    const Point impact{DamageOverlayWidth * 0.62, DamageOverlayHeight * 0.46};

    // Spokes of the web, at uneven angles all the way round.
    constexpr int Spokes = 13;
    std::vector<double> angles(Spokes);
    for (int k = 0; k < Spokes; ++k) angles[k] = (k + rng.between(-0.3, 0.3)) * 2.0 * 3.14159 / Spokes;
    for (int k = 0; k < Spokes; ++k) {
        radialCrack(*image, rng, impact, angles[k], rng.between(140, 330), 0);
    }

    // Rings between neighbouring spokes, sagging towards the impact like a web.
    const double radii[] = {14, 31, 55, 86};
    for (double radius : radii) {
        for (int k = 0; k < Spokes; ++k) {
            if (rng.next() < 0.2) continue;  // a ring is never quite complete
            const double a0 = angles[k], a1 = angles[(k + 1) % Spokes] + (k + 1 == Spokes ? 2.0 * 3.14159 : 0.0);
            const double r0 = radius * rng.between(0.85, 1.15), r1 = radius * rng.between(0.85, 1.15);
            const Point p0{impact.x + r0 * std::cos(a0), impact.y + r0 * std::sin(a0)};
            const Point p1{impact.x + r1 * std::cos(a1), impact.y + r1 * std::sin(a1)};
            const double mid = 0.5 * (a0 + a1), sag = 0.82 * 0.5 * (r0 + r1);
            const Point m{impact.x + sag * std::cos(mid), impact.y + sag * std::sin(mid)};
            crackLine(*image, p0, m);
            crackLine(*image, m, p1);
        }
    }

    // Powdered glass round the point of impact.
    for (int k = 0; k < 260; ++k) {
        const double r = 12 * std::sqrt(rng.next()), a = rng.between(0, 2 * 3.14159);
        const int x = static_cast<int>(std::lround(impact.x + r * std::cos(a)));
        const int y = static_cast<int>(std::lround(impact.y + r * std::sin(a)));
        if (x >= 0 && y >= 0 && x < image->width && y < image->height) {
            putPixel(*image, x, y, rng.next() < 0.5 ? Line : Crazing);
        }
    }
    return image;
}

void ensureHeavyDamageOverlay(GameState& state) {
    if (!state.heavyDamageOverlay) state.heavyDamageOverlay = createHeavyDamageOverlay();
}

}  // namespace hc
