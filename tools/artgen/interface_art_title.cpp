// The title logo, 500 x 170, drawn over the menu backdrop with index 0 transparent:
// "HAZARD" in big chunky gold letters over a taxi checker band and "CAB 7700" in
// chrome, all leaning forward, with a dark outline and a crimson neon rim.
#include <algorithm>
#include <cmath>
#include <vector>

#include "interface_art_canvas.h"

namespace artgen::ui {

namespace {

// Letterforms as polylines on a 4 x 6 grid (y down); each stroke is a list of points.
using Stroke = std::vector<float>;
using Letter = std::vector<Stroke>;

Letter letterShape(char ch) {
    switch (ch) {
        case 'H': return {{0, 0, 0, 6}, {4, 0, 4, 6}, {0, 3, 4, 3}};
        case 'A': return {{0, 6, 0, 1.2f, 1.2f, 0, 2.8f, 0, 4, 1.2f, 4, 6}, {0, 3.4f, 4, 3.4f}};
        case 'Z': return {{0, 0, 4, 0, 0, 6, 4, 6}};
        case 'R': return {{0, 6, 0, 0, 3, 0, 4, 1, 4, 2, 3, 3, 0, 3}, {2.2f, 3, 4, 6}};
        case 'D': return {{0, 0, 0, 6, 2.8f, 6, 4, 4.8f, 4, 1.2f, 2.8f, 0, 0, 0}};
        case 'C': return {{4, 1, 3, 0, 1, 0, 0, 1, 0, 5, 1, 6, 3, 6, 4, 5}};
        case 'B': return {{0, 0, 0, 6, 3, 6, 4, 5, 4, 4, 3, 3, 0, 3}, {0, 0, 3, 0, 4, 1, 4, 2, 3, 3}};
        case '7': return {{0, 0, 4, 0, 4, 1, 1.6f, 6}};
        case '0': return {{1, 0, 3, 0, 4, 1, 4, 5, 3, 6, 1, 6, 0, 5, 0, 1, 1, 0}, {1.2f, 4.4f, 2.8f, 1.6f}};
        default: return {};
    }
}

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// A line of lettering: each character's strokes placed in pixel space.
struct Lettering {
    std::vector<std::vector<float>> segments;  // x0, y0, x1, y1 in pixels
    float top = 0, bottom = 0;
    float distance(float x, float y) const {
        float best = 1e9f;
        for (const auto& s : segments) best = std::min(best, segmentDistance(x, y, s[0], s[1], s[2], s[3]));
        return best;
    }
};

// Lays out text centred on cx with its top at y; unit = pixels per grid step,
// slant = horizontal shift per pixel of height (the letters lean forward).
Lettering layout(const char* text, float cx, float y, float unit, float gap, float slant) {
    Lettering out;
    float width = 0;
    int n = 0;
    for (const char* p = text; *p; ++p, ++n) width += (*p == ' ' ? 2.0f * unit : 4.0f * unit) + (p[1] ? gap : 0.0f);
    float x = cx - width / 2;
    float baseY = y + 6 * unit;
    for (const char* p = text; *p; ++p) {
        for (const Stroke& s : letterShape(*p))
            for (size_t i = 0; i + 3 < s.size(); i += 2) {
                auto place = [&](float gx, float gy) {
                    float py = y + gy * unit;
                    return std::vector<float>{x + gx * unit + (baseY - py) * slant, py};
                };
                auto a = place(s[i], s[i + 1]), b = place(s[i + 2], s[i + 3]);
                out.segments.push_back({a[0], a[1], b[0], b[1]});
            }
        x += (*p == ' ' ? 2.0f * unit : 4.0f * unit) + gap;
    }
    out.top = y;
    out.bottom = baseY;
    return out;
}

// Paints lettering with a neon rim, a dark outline and a vertical gradient face
// with a bright bevel along the upper edges of each stroke.
void paintLettering(Canvas& cv, const Lettering& l, float half, Rgb faceTop, Rgb faceBottom, Rgb rim) {
    float outline = half + 3.0f, neon = half + 5.5f;
    int y0 = std::max(int(l.top - neon - 2), 0), y1 = std::min(int(l.bottom + neon + 2), cv.height - 1);
    int h = y1 - y0 + 1, w = cv.width;
    std::vector<float> dist(size_t(w) * h);
    for (int y = y0; y <= y1; ++y)
        for (int x = 0; x < w; ++x) dist[size_t(y - y0) * w + x] = l.distance(x + 0.5f, y + 0.5f);
    // Pixels beyond the outline that cannot be reached from the band's edge are the
    // counters inside A, R, D, B, 0: they are filled dark rather than given a rim.
    std::vector<uint8_t> outside(size_t(w) * h, 0);
    std::vector<int> todo;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x == 0 || y == 0 || x == w - 1 || y == h - 1) && dist[size_t(y) * w + x] > outline) {
                outside[size_t(y) * w + x] = 1;
                todo.push_back(y * w + x);
            }
    while (!todo.empty()) {
        int i = todo.back();
        todo.pop_back();
        int x = i % w, y = i / w;
        const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
            size_t j = size_t(ny[k]) * w + nx[k];
            if (outside[j] || dist[j] <= outline) continue;
            outside[j] = 1;
            todo.push_back(int(j));
        }
    }
    for (int y = y0; y <= y1; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y - y0) * w + x;
            float px = x + 0.5f, py = y + 0.5f, d = dist[i];
            if (d > outline && !outside[i]) {
                cv.put(x, y, rgb(10, 6, 14));
                continue;
            }
            if (d > neon + 1) continue;
            if (d > outline) {
                cv.blend(x, y, rim, std::clamp(neon - d + 0.5f, 0.0f, 1.0f));
                continue;
            }
            if (d > half) {
                cv.blend(x, y, rgb(10, 6, 14), std::clamp(outline - d + 0.5f, 0.0f, 1.0f));
                continue;
            }
            float t = std::clamp((py - l.top + half) / (l.bottom - l.top + 2 * half), 0.0f, 1.0f);
            Rgb c = mix(faceTop, faceBottom, t);
            // Bevel: the stroke is lighter above its centre line and darker below it.
            float above = l.distance(px, py + 1.5f) - d;
            c = scale(c, 1.0f + 0.3f * std::clamp(above, -1.0f, 1.0f) * (d / half));
            // A bright horizon line through the face, like chrome reflecting the street.
            if (std::abs(t - 0.5f) < 0.025f) c = mix(c, rgb(255, 250, 235), 0.7f);
            if (t > 0.5f) c = scale(c, 0.85f);
            cv.blend(x, y, c, std::clamp(half - d + 0.5f, 0.0f, 1.0f));
        }
}

void paintCheckerBand(Canvas& cv, float x0, float x1, float y0, float slant) {
    const float cell = 7.0f;
    for (int y = int(y0) - 3; y <= int(y0 + 2 * cell) + 3; ++y)
        for (int x = int(x0) - 8; x <= int(x1) + 8; ++x) {
            float u = x + 0.5f - (y0 + 2 * cell - (y + 0.5f)) * slant;  // lean with the letters
            if (u < x0 - 3 || u > x1 + 3) continue;
            bool edge = u < x0 || u > x1 || y < int(y0) || y > int(y0 + 2 * cell - 1);
            if (edge) {
                cv.put(x, y, rgb(10, 6, 14));
                continue;
            }
            int i = int((u - x0) / cell), j = int((y - y0) / cell);
            cv.put(x, y, ((i + j) & 1) ? rgb(14, 12, 16) : rgb(230, 190, 70));
        }
}

}  // namespace

void drawTitle(Picture& pic) {
    Canvas cv(500, 170);
    const float slant = 0.18f;
    // "HAZARD" on top, big.
    Lettering hazard = layout("HAZARD", 250, 14, 10.5f, 13.0f, slant);
    paintLettering(cv, hazard, 7.5f, rgb(255, 236, 140), rgb(170, 100, 20), rgb(200, 30, 70));
    // The checker band and the second line.
    paintCheckerBand(cv, 92, 408, 94, slant);
    Lettering cab = layout("CAB 7700", 250, 120, 6.2f, 10.0f, slant);
    paintLettering(cv, cab, 4.2f, rgb(250, 250, 255), rgb(110, 120, 160), rgb(150, 20, 110));
    quantize(cv, pic, 0, 0, 8.0f);
}

}  // namespace artgen::ui
