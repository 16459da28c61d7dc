// The cracked-glass picture for heavy bodywork damage.
#include "render/damage_overlay.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/colours.h"

namespace hc {

namespace {

// Greys of the palette's ramp: the cracks catch the most light near the impact and
// fade to faint hairlines further out, so the street still shows through.
constexpr uint32_t LineFar = 18;
constexpr uint32_t LineFaint = 13;
constexpr uint32_t Crazing = 17;  // the powdered glass round the impact

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

// A crack segment, its brightness and its shadow chosen by the distance of each pixel
// from the impact.
void crackLine(Image& image, Point impact, Point a, Point b) {
    const int steps = static_cast<int>(std::ceil(std::fmax(std::fabs(b.x - a.x), std::fabs(b.y - a.y)))) + 1;
    for (int k = 0; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const double x = a.x + (b.x - a.x) * t, y = a.y + (b.y - a.y) * t;
        const double r = std::hypot(x - impact.x, y - impact.y);
        const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
        if (r < 70) {
            plotPixel(image, px + 1, py + 1, ColourBlack);
            plotPixel(image, px, py, ColourNearWhite);
        } else {
            plotPixel(image, px, py, r < 160 ? LineFar : LineFaint);
        }
    }
}

// A crack that wanders outwards from a point, forking now and then.
void radialCrack(Image& image, Xorshift& rng, Point impact, Point from, double angle, double length, int depth) {
    Point p = from;
    double travelled = 0;
    while (travelled < length) {
        const double step = rng.between(8, 22);
        angle += rng.between(-0.18, 0.18);
        const Point q{p.x + step * std::cos(angle), p.y + step * std::sin(angle)};
        crackLine(image, impact, p, q);
        p = q;
        travelled += step;
        if (depth < 2 && rng.next() < 0.12) {
            const double side = rng.next() < 0.5 ? -1.0 : 1.0;
            radialCrack(image, rng, impact, p, angle + side * rng.between(0.35, 0.8), (length - travelled) * 0.5, depth + 1);
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
    constexpr int Spokes = 11;
    std::vector<double> angles(Spokes);
    for (int k = 0; k < Spokes; ++k) angles[k] = (k + rng.between(-0.3, 0.3)) * 2.0 * 3.14159 / Spokes;
    for (int k = 0; k < Spokes; ++k) {
        radialCrack(*image, rng, impact, impact, angles[k], rng.between(110, 280), 0);
    }

    // Rings between neighbouring spokes, sagging towards the impact like a web.
    const double radii[] = {12, 27, 48, 80};
    for (double radius : radii) {
        for (int k = 0; k < Spokes; ++k) {
            if (rng.next() < 0.2) continue;  // a ring is never quite complete
            const double a0 = angles[k], a1 = angles[(k + 1) % Spokes] + (k + 1 == Spokes ? 2.0 * 3.14159 : 0.0);
            const double r0 = radius * rng.between(0.85, 1.15), r1 = radius * rng.between(0.85, 1.15);
            const Point p0{impact.x + r0 * std::cos(a0), impact.y + r0 * std::sin(a0)};
            const Point p1{impact.x + r1 * std::cos(a1), impact.y + r1 * std::sin(a1)};
            const double mid = 0.5 * (a0 + a1), sag = 0.82 * 0.5 * (r0 + r1);
            const Point m{impact.x + sag * std::cos(mid), impact.y + sag * std::sin(mid)};
            crackLine(*image, impact, p0, m);
            crackLine(*image, impact, m, p1);
        }
    }

    // Powdered glass round the point of impact.
    for (int k = 0; k < 160; ++k) {
        const double r = 10 * std::sqrt(rng.next()), a = rng.between(0, 2 * 3.14159);
        const int x = static_cast<int>(std::lround(impact.x + r * std::cos(a)));
        const int y = static_cast<int>(std::lround(impact.y + r * std::sin(a)));
        if (x >= 0 && y >= 0 && x < image->width && y < image->height) {
            putPixel(*image, x, y, rng.next() < 0.5 ? ColourNearWhite : Crazing);
        }
    }
    return image;
}

void ensureHeavyDamageOverlay(GameState& state) {
    if (!state.heavyDamageOverlay) state.heavyDamageOverlay = createHeavyDamageOverlay();
}

}  // namespace hc
