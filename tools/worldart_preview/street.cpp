// A small stand-in for the game's world view, enough to judge the art as a driver sees
// it: a patch of city with streets, lots of every facade, low structures and parked
// cars, drawn by a column ray caster with the game's distance shading.
#include <algorithm>
#include <cmath>
#include <vector>

#include "picture.h"
#include "street.h"

namespace preview {

namespace {

constexpr int N = 512;
constexpr uint8_t Passable = 1, Visible = 2, SeeThrough = 4, Vehicle = 8, Tall = 16, Asc = 32;

struct Cell {
    uint8_t colour = 78, kind = 1, flags = Passable, colY = 0, colX = 0;
};

struct World {
    std::vector<Cell> cells = std::vector<Cell>(size_t(N) * N);
    Cell& at(int x, int y) { return cells[size_t(std::clamp(x, 0, N - 1)) * N + size_t(std::clamp(y, 0, N - 1))]; }
};

void fill(World& w, int x1, int y1, int x2, int y2, Cell c) {
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y) w.at(x, y) = c;
}

void parkCar(World& w, int x, int y, int model) {
    for (int ax = -3; ax <= 4; ++ax)
        for (int ay = -2; ay <= 1; ++ay) {
            Cell c;
            c.colour = 0;
            c.kind = uint8_t(model);
            c.flags = Visible | SeeThrough | Vehicle | Asc | (model == 5 ? Tall : 0);
            c.colY = uint8_t(7 + ax);
            c.colX = uint8_t(ax == 4 ? 14 + ay : 2 + ay);
            w.at(x + ax, y + ay) = c;
        }
}

World buildWorld(const std::vector<uint8_t>& shade) {
    World w;
    // Lots of 64 x 64 with 32-cell streets (16-cell margins), kinds 1..13 and 20 in turn.
    const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 20, 15, 2, 3, 1};
    int k = 0;
    for (int x0 = 0; x0 < N; x0 += 64)
        for (int y0 = 0; y0 < N; y0 += 64) {
            Cell c;
            c.colour = 255;
            c.kind = uint8_t(kinds[k++ % 18]);
            c.flags = Visible;
            fill(w, x0 + 16, y0 + 16, x0 + 47, y0 + 47, c);
        }
    // A bigger open square with a podium, a tower core, a fence, a gate and a post.
    Cell ground;
    fill(w, 144, 144, 303, 303, ground);
    Cell podium{255, 18, Visible | SeeThrough, 0, 0};
    fill(w, 176, 176, 272, 272, podium);
    Cell core{255, 15, Visible, 0, 0};
    fill(w, 192, 192, 256, 256, core);
    Cell fence{255, 16, Visible | SeeThrough, 0, 0};
    fill(w, 150, 280, 158, 295, fence);
    fill(w, 151, 281, 157, 294, Cell{77, 1, 0, 0, 0});
    Cell post{255, 19, Visible, 0, 0};
    fill(w, 142, 96, 143, 97, post);
    Cell gate{255, 14, Visible | Passable, 0, 0};
    fill(w, 336, 304, 336, 319, gate);
    Cell boundary{255, 17, Visible, 0, 0};
    fill(w, 0, 0, N - 1, 0, boundary);
    fill(w, 0, N - 1, N - 1, N - 1, boundary);
    fill(w, 0, 0, 0, N - 1, boundary);
    fill(w, N - 1, 0, N - 1, N - 1, boundary);
    for (int m = 1; m <= 5; ++m) parkCar(w, 100 + 14 * m, 60 - (m % 2) * 6, m);
    parkCar(w, 200, 124, 6);
    parkCar(w, 60, 140, 5);
    // Lines and light on the ground, as the generator paints them.
    for (int x = 0; x < N; ++x)
        for (int y = 0; y < N; ++y) {
            Cell& c = w.at(x, y);
            if (!(c.flags & Passable) || (c.flags & Visible)) continue;
            c.colour = uint8_t(77 + ((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 7) % 2);
            const int u = x % 128, v = y % 128;
            if (u == 10 || v == 10 || u == 118 || v == 118) c.colour = 19;
            if (u == 0) {
                if (v == 0 || (v - 1) % 12 <= 6) c.colour = 234;
            } else if (v == 0 && (u - 1) % 12 <= 6) {
                c.colour = 234;
            }
            const int d = std::abs(x % 64 - 32) + std::abs(y % 64 - 32);
            const int level = int(std::nearbyint(16.0 * (0.5 * d / 64.0 + 0.5)));
            c.colour = shade[size_t(c.colour) * 17 + size_t(level)];
        }
    return w;
}

}  // namespace

void renderStreet(artgen::Picture& out, const artgen::Picture& walls, const artgen::Picture& vehicles,
                  const artgen::Picture& sky, const std::vector<uint8_t>& shade, float px, float py,
                  float headingDeg) {
    static World w = buildWorld(shade);
    const int W = 640, H = 480, horizon = 202, viewBottom = 436;
    const float projScale = 80.0f, eye = 0.85f;
    std::vector<float> rowLight(H), rowFloor(H);
    std::vector<int> rowShade(H);
    const float k1 = float(horizon) * (1 - eye), k2 = projScale / (float(horizon) / 128.0f);
    for (int r = 0; r < H; ++r) {
        float a = std::fabs(float(horizon - r) + H / 40.0f) / (H / 4.0f);
        a = std::min(a, 1.0f);
        rowLight[r] = std::pow(a, 0.85f);
        rowShade[r] = int(std::nearbyint(16 * rowLight[r]));
        rowFloor[r] = r == horizon ? 1e9f : k1 / float(r - horizon) * k2;
    }
    std::vector<uint8_t> mask(size_t(W) * H, 0);
    out = artgen::Picture(W, H, 255);
    const float pi = 3.14159265f;
    for (int c = 0; c < W; ++c) {
        const float angDeg = headingDeg - 30.0f + float(c + 1) * 0.09375f;
        const float ang = angDeg * pi / 180.0f;
        const float dx = std::cos(ang), dy = std::sin(ang);
        const float rate = std::cos((angDeg - headingDeg) * pi / 180.0f);
        float x = px, y = py, travel = 0;
        int hitSide = 2;
        Cell probe;
        const float sx = dx > 0 ? 1.0f : -0.0001f, sy = dy > 0 ? 1.0f : -0.0001f;
        auto castStep = [&]() {
            int cx = int(std::floor(x)), cy = int(std::floor(y));
            float total = 0;
            const float limit = std::nearbyint(128.0f / rate - travel);
            for (;;) {
                hitSide = 2;
                const float tx = dx != 0 ? std::fabs((float(cx) + sx - x) / dx) : 1e30f;
                const float ty = dy != 0 ? std::fabs((float(cy) + sy - y) / dy) : 1e30f;
                float t;
                if (ty < tx) t = ty;
                else t = tx, hitSide = 1;
                x += dx * t, y += dy * t, total += t;
                cx = int(std::floor(x)), cy = int(std::floor(y));
                if ((w.at(cx, cy).flags & Visible) || std::nearbyint(total) > limit) break;
            }
            travel += rate * total;
            probe = w.at(cx, cy);
        };
        castStep();
        for (;;) {
            if (travel <= 0) break;
            const float h = 128.0f / travel * projScale;
            int top = int(std::nearbyint(float(horizon) - eye * h));
            int bottom = int(std::nearbyint(float(top) + h));
            if (probe.flags & Vehicle) top = int(std::nearbyint(float(top) + h * ((probe.flags & Tall) ? 0.78f : 0.82f)));
            if (travel < 128) {
                const bool veh = probe.flags & Vehicle;
                const int rows = veh ? 42 : 128;
                const float vstep = float(rows) / float(bottom - top);
                int u;
                if (veh) {
                    const int base = 16 * (hitSide == 1 ? probe.colX : probe.colY);
                    const int k = int(std::floor(16 * (x + y))) & 15;
                    u = base + ((probe.flags & Asc) ? k : 15 - k);
                } else {
                    u = int(std::floor(8 * (hitSide == 1 ? y : x))) & 127;
                }
                float v = 0;
                int t0 = top, b0 = bottom;
                if (t0 < 0) v = float(-t0) * vstep, t0 = 0;
                b0 = std::min(b0, viewBottom);
                float light = rowLight[std::max(0, b0)];
                const float dcol = std::fabs(float(c) - 320.0f);
                const float expo = dcol < 128 ? 1.0f - 0.5f * (1.0f - dcol / 128.0f) : 1.0f;
                light = std::pow(light, expo);
                const int sh = int(std::nearbyint(16 * light));
                for (int row = t0; row <= b0; ++row, v += vstep) {
                    if (mask[size_t(row) * W + c]) continue;
                    const int tv = std::min(rows - 1, int(std::nearbyint(v - 0.5f)));
                    uint8_t texel;
                    if (veh) {
                        const int m = probe.kind - 1;
                        texel = vehicles.at(256 * (m % 2) + u, 42 * (m / 2) + std::max(0, tv));
                    } else {
                        const int n = probe.kind - 1;
                        texel = walls.at(128 * (n % 5) + u, 128 * (n / 5) + std::max(0, tv));
                    }
                    if (!texel) continue;
                    int s = sh;
                    if (sh < 16 && (2 * c + row) % 4 == 0) ++s;
                    out.at(c, row) = shade[size_t(texel) * 17 + size_t(s)];
                    mask[size_t(row) * W + c] = 255;
                }
            }
            if (probe.flags & SeeThrough) {
                do castStep(); while (probe.flags & SeeThrough);
                continue;
            }
            if (bottom < viewBottom) {
                const float hx = x - 0.5f, hy = y - 0.5f, ex = px - 0.5f, ey = py - 0.5f;
                for (int row = std::max(0, bottom); row <= viewBottom; ++row) {
                    if (mask[size_t(row) * W + c]) continue;
                    const float wgt = std::min(1.0f, rowFloor[row] / travel);
                    const int gx = int(std::nearbyint(ex * (1 - wgt) + hx * wgt));
                    const int gy = int(std::nearbyint(ey * (1 - wgt) + hy * wgt));
                    int s = rowShade[row];
                    if (s < 16 && (2 * c + row) % 4 == 0) ++s;
                    out.at(c, row) = shade[size_t(w.at(gx, gy).colour) * 17 + size_t(s)];
                }
                mask[size_t(std::max(0, bottom)) * W + c] = 255;
            }
            break;
        }
    }
    const int offset = int(std::nearbyint(headingDeg * 10.0f / 3600.0f * 1280.0f)) % 640;
    for (int c = 0; c < W; ++c)
        for (int row = 0; row < 240; ++row) {
            if (mask[size_t(row) * W + c]) break;
            out.at(c, row) = sky.at((offset + c + 640) % 640, row);
        }
    for (int row = viewBottom + 1; row < H; ++row)
        for (int c = 0; c < W; ++c) out.at(c, row) = 255;
}

}  // namespace preview

namespace preview {

void renderMap(artgen::Picture& out, const artgen::Picture& walls, const std::vector<uint8_t>& shade, int cx, int cy) {
    static World w = buildWorld(shade);
    out = artgen::Picture(640, 480, 255);
    for (int sy = 0; sy < 480; ++sy)
        for (int sx = 0; sx < 640; ++sx) {
            const int dx = sx - 320, dy = sy - 240;
            const int mx = cx + dx + dy;
            const int my = int(std::nearbyint(float(cy) + float(dy) - 0.5f * float(dx)));
            if (!(mx > 0 && mx < N - 1 && my > 0 && my < N - 1)) continue;
            Cell& cell = w.at(mx, my);
            uint8_t c = cell.colour ? cell.colour : 1;
            if (c == 255) {
                if (!(cell.flags & SeeThrough) && sy - 8 >= 0) out.at(sx, sy - 8) = 64;
                const int u = (6 * mx + 8 * my) & 127;
                const int n = cell.kind - 1;
                for (int k = 0; k < 8; ++k) {
                    const int r = sy - 7 + k;
                    const uint8_t t = walls.at(128 * (n % 5) + u, 128 * (n / 5) + 16 * k);
                    if (r >= 0 && t) out.at(sx, r) = t;
                    c = t;
                }
            }
            out.at(sx, sy) = c;
        }
}

}  // namespace preview
