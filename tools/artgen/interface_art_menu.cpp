// The menu backdrop, 640 x 400: a street running into a dusk skyline, framed by dark
// towers with lit windows and neon. The middle band, where the menu entries are
// printed, is kept dark and quiet.
#include <algorithm>
#include <cmath>

#include "interface_art_canvas.h"

namespace artgen::ui {

namespace {

constexpr int Horizon = 262;
constexpr float VanishX = 320;

Rgb skyAt(float y) {
    const Rgb top = rgb(10, 8, 30), mid = rgb(56, 18, 84), low = rgb(150, 36, 90), glowRed = rgb(225, 80, 80);
    float t = y / float(Horizon);
    if (t < 0.5f) return mix(top, mid, t / 0.5f);
    if (t < 0.85f) return mix(mid, low, (t - 0.5f) / 0.35f);
    return mix(low, glowRed, std::min((t - 0.85f) / 0.15f, 1.0f));
}

void paintSky(Canvas& cv) {
    for (int y = 0; y <= Horizon; ++y)
        for (int x = 0; x < cv.width; ++x) {
            Rgb c = skyAt(float(y));
            // Thin bands of cloud lit from below.
            float cloud = valueNoise(x * 0.35f, y * 2.0f, 24.0f, 5);
            if (y > 90 && y < 230 && cloud > 0.62f) c = mix(c, rgb(190, 70, 110), (cloud - 0.62f) * 1.2f);
            cv.put(x, y, c);
        }
    // A few stars high up.
    Rng rng(77);
    for (int i = 0; i < 70; ++i) {
        int x = rng.below(640), y = rng.below(110);
        cv.put(x, y, mix(skyAt(float(y)), rgb(220, 210, 240), rng.range(0.3f, 0.9f)));
    }
    // The low sun, striped by haze, off to the right.
    float sx = 420, sy = Horizon - 72, sr = 46;
    for (int y = int(sy - sr); y <= Horizon; ++y)
        for (int x = int(sx - sr); x <= int(sx + sr); ++x) {
            float d = std::hypot(x + 0.5f - sx, y + 0.5f - sy);
            if (d > sr) continue;
            float band = float(y) - (sy - 6);
            if (band > 0 && std::fmod(band, 7.0f) < 1.0f + band / 12.0f) continue;
            cv.put(x, y, mix(rgb(250, 190, 120), rgb(230, 50, 80), std::clamp((y - (sy - sr)) / (2 * sr), 0.0f, 1.0f)));
        }
}

void paintSkyline(Canvas& cv, uint32_t seed, int baseY, int minH, int maxH, Rgb body, Rgb lit, float litChance) {
    Rng rng(seed);
    int x = -rng.below(20);
    while (x < cv.width) {
        int w = 18 + rng.below(40), h = minH + rng.below(maxH - minH);
        int top = baseY - h;
        fillRect(cv, x, top, x + w, baseY, body);
        if (rng.below(3) == 0) fillRect(cv, x + w / 2 - 1, top - 6 - rng.below(10), x + w / 2, top, body);  // mast
        for (int wy = top + 4; wy < baseY - 2; wy += 5)
            for (int wx = x + 3; wx < x + w - 2; wx += 4)
                if (rng.unit() < litChance) cv.put(wx, wy, mix(lit, body, rng.range(0.0f, 0.5f)));
        x += w + rng.below(4);
    }
}

// A tall block at the side of the street, its face lit by rows of windows.
void paintTower(Canvas& cv, int x0, int x1, int top, uint32_t seed, Rgb body) {
    Rng rng(seed);
    fillRect(cv, x0, top, x1, 399, body);
    for (int x = x0; x <= x1; ++x) cv.put(x, top, scale(body, 1.8f));
    for (int wy = top + 8; wy < 390; wy += 11)
        for (int wx = x0 + 5; wx + 6 < x1; wx += 10) {
            bool lit = rng.unit() < 0.35f;
            Rgb c = lit ? mix(rgb(240, 190, 90), rgb(200, 120, 60), rng.unit()) : scale(body, 0.6f);
            fillRect(cv, wx, wy, wx + 5, wy + 6, c);
            if (lit && rng.unit() < 0.4f) fillRect(cv, wx, wy, wx + 5, wy + 2, scale(c, 0.6f));  // a blind half down
        }
}

void paintNeon(Canvas& cv, int x, int y, const char* text, Rgb c, bool vertical) {
    int n = 0;
    for (const char* p = text; *p; ++p, ++n) {
        char one[2] = {*p, 0};
        int gx = vertical ? x : x + n * 12, gy = vertical ? y + n * 16 : y;
        glow(cv, gx + 4.5f, gy + 7.0f, 14.0f, scale(c, 0.5f), 0.9f);
        tinyText(cv, gx, gy, one, c, 3);
    }
}

void paintStreet(Canvas& cv) {
    for (int y = Horizon + 1; y < cv.height; ++y) {
        float t = float(y - Horizon) / float(cv.height - Horizon);
        for (int x = 0; x < cv.width; ++x) {
            float u = (x - VanishX) / std::max(t, 0.01f);  // road coordinate across
            Rgb c = mix(rgb(60, 40, 70), rgb(40, 34, 50), t);
            if (std::abs(u) > 420) c = mix(rgb(70, 64, 80), rgb(54, 50, 62), t);  // pavement
            // Wet asphalt: the sky and the sun smear down into the road.
            float wet = valueNoise(x * 1.0f, y * 6.0f, 9.0f, 8);
            c = mix(c, skyAt(float(2 * Horizon - y) * 0.9f), 0.25f * wet * (1 - t));
            float streak = 1.0f - std::abs(x - 420.0f) / (12.0f + 30.0f * t);
            if (streak > 0 && wet > 0.5f) c = mix(c, rgb(230, 90, 90), 0.5f * streak * (1 - t));
            // Centre line dashes.
            float z = 1.0f / std::max(t, 0.02f);
            if (std::abs(u) < 7 && std::fmod(z * 4.0f, 2.0f) < 1.0f) c = rgb(170, 150, 70);
            cv.put(x, y, c);
        }
    }
}

void paintStreetLamps(Canvas& cv) {
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < 4; ++i) {
            float t = 0.25f + 0.25f * i;  // nearer lamps are lower and larger
            float x = VanishX + side * 470 * t;
            float base = Horizon + (400 - Horizon) * t;
            float h = 210 * t;
            stroke(cv, x, base, x, base - h, std::max(1.0f, 2.2f * t), rgb(20, 16, 28));
            stroke(cv, x, base - h, x - side * 18 * t, base - h, std::max(1.0f, 1.8f * t), rgb(20, 16, 28));
            glow(cv, x - side * 18 * t, base - h + 2, 40 * t + 6, rgb(120, 80, 30), 1.0f);
            fillCircle(cv, x - side * 18 * t, base - h + 2, 2.5f * t + 1, rgb(255, 220, 140));
        }
}

// Our cab from behind, heading into the dusk, roof sign lit.
void paintCab(Canvas& cv) {
    const Rgb yellow = rgb(205, 160, 45), yellowDark = rgb(120, 86, 24), ink = rgb(12, 8, 14);
    // Shadow and tyres.
    for (int y = 390; y <= 399; ++y)
        for (int x = 230; x <= 410; ++x) {
            float dx = (x - 320) / 90.0f, dy = (y - 396) / 5.0f;
            if (dx * dx + dy * dy < 1.0f) cv.darken(x, y, 0.4f);
        }
    fillRect(cv, 256, 376, 278, 397, ink);
    fillRect(cv, 362, 376, 384, 397, ink);
    // The cabin: a trapezoid of glass between yellow pillars.
    fillPolygon(cv, {262, 342, 378, 342, 364, 314, 276, 314}, yellowDark);
    fillPolygon(cv, {268, 340, 372, 340, 360, 317, 280, 317}, ink);
    for (int y = 318; y <= 339; ++y)
        for (int x = 262; x <= 378; ++x) {
            size_t i = size_t(y) * cv.width + x;
            if (cv.colour[i].r > 20 || cv.colour[i].g > 20) continue;  // only the glass
            float t = float(y - 318) / 21.0f;
            cv.put(x, y, mix(rgb(120, 40, 90), rgb(30, 14, 40), t));
        }
    stroke(cv, 284, 322, 300, 336, 1.0f, rgb(150, 70, 110), 0.6f);  // a glint on the glass
    fillRect(cv, 278, 311, 362, 314, yellow);                          // roof
    // Roof sign.
    fillPolygon(cv, {300, 311, 340, 311, 336, 300, 304, 300}, ink);
    fillPolygon(cv, {302, 310, 338, 310, 335, 302, 305, 302}, rgb(250, 230, 150));
    glow(cv, 320, 305, 40, rgb(90, 70, 20), 1.0f);
    tinyText(cv, 313, 304, "TAXI", rgb(40, 24, 10));
    // Body, checker band, tail lights, plate, bumper.
    fillRectVertical(cv, 248, 342, 392, 380, yellow, yellowDark);
    fillRect(cv, 248, 342, 392, 342, rgb(240, 200, 90));
    for (int y = 345; y <= 350; ++y)
        for (int x = 250; x <= 390; ++x) cv.put(x, y, (((x - 250) / 3 + (y - 345) / 3) % 2) ? ink : rgb(235, 220, 180));
    for (int side = 0; side < 2; ++side) {
        int x0 = side ? 366 : 252;
        glow(cv, x0 + 11.0f, 359, 34, rgb(120, 10, 20), 1.0f);
        fillRect(cv, x0, 353, x0 + 22, 365, ink);
        fillRectVertical(cv, x0 + 1, 354, x0 + 21, 364, rgb(255, 80, 80), rgb(170, 20, 30));
    }
    fillRect(cv, 302, 362, 338, 374, ink);
    fillRect(cv, 303, 363, 337, 373, rgb(215, 215, 200));
    tinyText(cv, 313, 366, "7700", rgb(30, 30, 60));
    fillRectVertical(cv, 244, 378, 396, 388, rgb(150, 150, 160), rgb(50, 50, 60));
}

}  // namespace

void drawMenuBackdrop(Picture& pic) {
    Canvas cv(640, 400);
    paintSky(cv);
    paintSkyline(cv, 31, Horizon, 40, 120, rgb(40, 18, 58), rgb(200, 120, 120), 0.08f);
    paintSkyline(cv, 32, Horizon, 20, 70, rgb(24, 12, 36), rgb(230, 170, 90), 0.12f);
    paintStreet(cv);
    paintTower(cv, -4, 96, 30, 41, rgb(30, 20, 40));
    paintTower(cv, 96, 170, 120, 42, rgb(22, 16, 32));
    paintTower(cv, 540, 644, 10, 43, rgb(28, 20, 38));
    paintTower(cv, 472, 540, 140, 44, rgb(20, 14, 30));
    paintNeon(cv, 104, 140, "TAXI", rgb(250, 60, 110), true);
    paintNeon(cv, 486, 160, "BAR", rgb(120, 200, 255), true);
    paintStreetLamps(cv);
    paintCab(cv);
    // Darken the middle band where the menu entries stand, softly.
    for (int y = 0; y < cv.height; ++y)
        for (int x = 0; x < cv.width; ++x) {
            float dx = (x - 320) / 190.0f, dy = (y - 250) / 70.0f;
            float d = dx * dx + dy * dy;
            if (d < 1.0f) cv.darken(x, y, 0.45f + 0.55f * d);
        }
    // Pale ground mist at bumper height, rising from a dark kerb at the foot of the
    // picture. The help pages print their credit lines over rows 349..378 of this
    // picture (greyed), in white and in dark blue with a black outline: they read best
    // on a light, even ground. The kerb keeps the page's footer on dark.
    for (int y = 334; y <= 384; ++y) {
        const float rise = std::clamp(float(y - 334) / 14.0f, 0.0f, 1.0f);
        for (int x = 0; x < cv.width; ++x) {
            const float wisp = valueNoise(x * 0.5f, y * 3.0f, 20.0f, 9);
            cv.blend(x, y, mix(rgb(206, 184, 214), rgb(234, 222, 238), wisp), 0.8f * rise * rise);
        }
    }
    fillRectVertical(cv, 0, 385, 639, 399, rgb(44, 38, 52), rgb(16, 14, 22));
    fillRect(cv, 0, 385, 639, 385, rgb(90, 80, 100));
    quantize(cv, pic, 0, 0, 10.0f);
}

}  // namespace artgen::ui
