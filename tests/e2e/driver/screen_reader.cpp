#include "e2e/driver/screen_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>
#include <queue>

#include "platform/image.h"
#include "render/map_view.h"
#include "render/view_rounding.h"

namespace hc::driver {

namespace {

constexpr uint8_t NearWhite = 22;
constexpr uint8_t RoofColour = 64;
constexpr int FacadeRise = 8;  // rows between a building's pixel and its roof pixel
constexpr uint8_t ArrowAhead = 222;
constexpr uint8_t ArrowBehind = 180;
constexpr double Pi = 3.14159265358979;
constexpr int Steps = 720;  // candidate headings and arrow angles, half a degree apart

uint32_t readU32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// Light level of an open cell: brightest where x and y are multiples of 64.
int lightLevel(int x, int y) {
    const int d = std::abs(x % 64 - 32) + std::abs(y % 64 - 32);
    // round(8 + d / 8) with halves to even
    const int n = 64 + d, q = n / 8, rem = n % 8;
    return rem < 4 ? q : rem > 4 ? q + 1 : q + (q & 1);
}

using PixelList = std::vector<std::pair<int, int>>;

// The pixels of lines drawn with the game's own line primitive into a small canvas,
// relative to its centre.
PixelList drawnPixels(const std::vector<std::array<int, 4>>& lines, int centreX, int centreY, int w, int h) {
    Image* canvas = createImage(w, h);
    fillImage(*canvas, 0);
    for (const auto& l : lines) drawLine(*canvas, l[0], l[1], l[2], l[3], 1);
    PixelList out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (getPixel(*canvas, x, y) != 0) out.emplace_back(x - centreX, y - centreY);
        }
    }
    destroyImage(canvas);
    return out;
}

// The map view's cab arrow for heading step k, around a centre at an even offset so
// that rounding halves to even lands the same way as around (320, 240).
const std::vector<PixelList>& mapArrows() {
    static const std::vector<PixelList> arrows = [] {
        std::vector<PixelList> all(Steps);
        for (int k = 0; k < Steps; ++k) {
            double a = k * (2 * Pi / Steps) + 0.3926988;
            const int c = 16;
            const int tx = roundAny(c + 6 * std::cos(a)), ty = roundAny(c + 6 * std::sin(a));
            a -= 1.570795;
            const int lx = roundAny(c + 3 * std::cos(a)), ly = roundAny(c + 3 * std::sin(a));
            a += 3.14159;
            const int rx = roundAny(c + 3 * std::cos(a)), ry = roundAny(c + 3 * std::sin(a));
            all[k] = drawnPixels({{tx, ty, lx, ly}, {lx, ly, rx, ry}, {tx, ty, rx, ry}}, c, c, 2 * c, 2 * c);
        }
        return all;
    }();
    return arrows;
}

struct HudArrowShape {
    PixelList pixels;
    uint8_t colour;
};

// The cockpit's destination arrow for angle step k, drawn round (320, 30).
const std::vector<HudArrowShape>& hudArrows() {
    static const std::vector<HudArrowShape> arrows = [] {
        std::vector<HudArrowShape> all(Steps);
        const int cx = 40, cy = 30, length = 30;  // 40 = 320 - 280, an even shift
        for (int k = 0; k < Steps; ++k) {
            const double a = k * (2 * Pi / Steps);
            auto at = [&](double angle) {
                return std::pair<double, double>(cx + length * std::cos(angle), cy - 0.5 * length * std::sin(angle));
            };
            const auto [tx, ty] = at(a);
            const auto [b1x, b1y] = at(a - 2.0);
            const auto [b2x, b2y] = at(a + 2.0);
            const int itx = roundAny(float(tx)), ity = roundAny(float(ty));
            const int i1x = roundAny(float(b1x)), i1y = roundAny(float(b1y));
            const int i2x = roundAny(float(b2x)), i2y = roundAny(float(b2y));
            all[k].pixels = drawnPixels(
                {{cx, cy, i1x, i1y}, {cx, cy, i2x, i2y}, {itx, ity, i1x, i1y}, {itx, ity, i2x, i2y}}, cx, 0, 80, 64);
            all[k].colour = float(ty) > float(cy) ? ArrowAhead : ArrowBehind;
        }
        return all;
    }();
    return arrows;
}

// True for the cells of a pick-up square's ring, (i, j) from its centre.
bool onRing(int i, int j) {
    const int r = std::max(std::abs(i), std::abs(j));
    return r >= 3 && r <= 4 && i != 0 && j != 0;
}

// The map-view pixel that shows a cell, if any (a third of the cells get none).
bool pixelOfCell(int cabX, int cabY, int x, int y, int& sx, int& sy) {
    const int a = x - cabX, b = y - cabY;
    const int base = static_cast<int>(std::floor(2.0 * (a - b) / 3.0));
    for (int dx = base - 1; dx <= base + 2; ++dx) {
        const int px = MapCentreX + dx, py = MapCentreY + a - dx;
        if (px < 0 || py < 0 || px >= ShotWidth || py >= MapRows) continue;
        const MapViewCell c = mapViewCell(cabX, cabY, MapCentreX, MapCentreY, px, py);
        if (c.x == x && c.y == y) {
            sx = px;
            sy = py;
            return true;
        }
    }
    return false;
}

double stepAngle(int k) { return k * (2 * Pi / Steps); }

int wrapStep(int k) { return ((k % Steps) + Steps) % Steps; }

// The middle of the run of equal best scores that holds step `best`.
double middleOfRun(const std::vector<int>& score, int best) {
    int lo = 0, hi = 0;
    while (lo < Steps / 2 && score[wrapStep(best - lo - 1)] == score[best]) ++lo;
    while (hi < Steps / 2 && score[wrapStep(best + hi + 1)] == score[best]) ++hi;
    double a = stepAngle(best) + (hi - lo) * 0.5 * (2 * Pi / Steps);
    a = std::fmod(a, 2 * Pi);
    return a < 0 ? a + 2 * Pi : a;
}

}  // namespace

bool readShot(const std::string& path, Shot& shot) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::vector<unsigned char> data;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + n);
    std::fclose(file);
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offset = readU32(&data[10]);
    const auto width = static_cast<int32_t>(readU32(&data[18]));
    const auto height = static_cast<int32_t>(readU32(&data[22]));
    const int bits = data[28] | data[29] << 8;
    if (width != ShotWidth || std::abs(height) != ShotHeight || bits != 8) return false;
    if (offset > data.size() || data.size() - offset < size_t(ShotWidth) * ShotHeight) return false;
    shot.pixels.resize(size_t(ShotWidth) * ShotHeight);
    for (int y = 0; y < ShotHeight; ++y) {
        const int row = height > 0 ? ShotHeight - 1 - y : y;
        std::memcpy(&shot.pixels[size_t(y) * ShotWidth], &data[offset + size_t(row) * ShotWidth], ShotWidth);
    }
    return true;
}

void initStreetColours(StreetColours& colours, const uint8_t shadeTable[256][ShadeLevels]) {
    std::fill(std::begin(colours.street), std::end(colours.street), false);
    for (int base : {19, 234, 76, 77, 78}) {
        for (int level = 8; level <= 16; ++level) colours.street[shadeTable[base][level]] = true;
    }
    // Near-white marks, near-black vehicles and black never count as street.
    colours.street[NearWhite] = colours.street[1] = colours.street[255] = false;

    // Edge lines 10 cells each side of every street on a multiple of 128, centre dashes
    // along it, and light brightest round every multiple of 64.
    for (int u = 0; u < 128; ++u) {
        for (int v = 0; v < 128; ++v) {
            int base = 0;
            if (u == 10 || v == 10 || u == 118 || v == 118) base = 19;
            if (u == 0) {
                if (v == 0 || (v - 1) % 12 <= 6) base = 234;
            } else if (v == 0 && (u - 1) % 12 <= 6) {
                base = 234;
            }
            const int level = lightLevel(u, v);
            if (base != 0) {
                for (int i = 0; i < 3; ++i) colours.open[u][v][i] = shadeTable[base][level];
                colours.openCount[u][v] = 1;
            } else {
                for (int i = 0; i < 3; ++i) colours.open[u][v][i] = shadeTable[76 + i][level];
                colours.openCount[u][v] = 3;
            }
        }
    }
}

int openCellColours(const StreetColours& colours, int x, int y, uint8_t out[3]) {
    const int u = x & 127, v = y & 127;
    const int n = colours.openCount[u][v];
    for (int i = 0; i < n; ++i) out[i] = colours.open[u][v][i];
    return n;
}

CabFix locateCab(const StreetColours& colours, const Shot& shot, int guessX, int guessY, int radius) {
    struct Sample {
        int16_t x, y;
        uint8_t c;
    };
    std::vector<Sample> samples;
    for (int sy = 4; sy < MapRows; sy += 4) {
        for (int sx = 4 + (sy / 4) % 4; sx < ShotWidth - 4; sx += 4) {
            const uint8_t c = shot.at(sx, sy);
            if (colours.street[c]) samples.push_back({int16_t(sx), int16_t(sy), c});
        }
    }
    CabFix best;
    best.score = std::numeric_limits<int>::min();
    best.samples = static_cast<int>(samples.size());
    for (int cy = guessY - radius; cy <= guessY + radius; ++cy) {
        for (int cx = guessX - radius; cx <= guessX + radius; ++cx) {
            int score = 0;
            for (const Sample& s : samples) {
                const MapViewCell cell = mapViewCell(cx, cy, MapCentreX, MapCentreY, s.x, s.y);
                if (cell.x <= 0 || cell.y <= 0 || cell.x >= 2047 || cell.y >= 2047) continue;
                const uint8_t* expected = colours.open[cell.x & 127][cell.y & 127];
                const bool match = expected[0] == s.c || expected[1] == s.c || expected[2] == s.c;
                score += match ? 1 : -1;
            }
            const bool nearer = std::abs(cx - guessX) + std::abs(cy - guessY) <
                                std::abs(best.x - guessX) + std::abs(best.y - guessY);
            if (score > best.score || (score == best.score && nearer)) {
                best.x = cx;
                best.y = cy;
                best.score = score;
            }
        }
    }
    return best;
}

double readMapHeading(const Shot& shot, double guess, double window) {
    const auto& arrows = mapArrows();
    std::vector<int> score(Steps, std::numeric_limits<int>::min() / 2);
    bool any = false;
    for (int dy = -8; dy <= 8 && !any; ++dy) {
        for (int dx = -8; dx <= 8; ++dx) any = any || shot.at(MapCentreX + dx, MapCentreY + dy) == NearWhite;
    }
    if (!any) return std::nan("");
    const bool whole = !(window < Pi) || !(guess == guess);
    int best = -1;
    double bestDistance = 1e9;
    for (int k = 0; k < Steps; ++k) {
        double off = std::fabs(std::remainder(stepAngle(k) - (whole ? 0.0 : guess), 2 * Pi));
        if (!whole && off > window) continue;
        int s = 0;
        for (const auto& [x, y] : arrows[k]) s += shot.at(MapCentreX + x, MapCentreY + y) == NearWhite ? 2 : -3;
        score[k] = s;
        if (best < 0 || s > score[best] || (s == score[best] && off < bestDistance)) {
            best = k;
            bestDistance = off;
        }
    }
    return middleOfRun(score, best);
}

std::vector<Square> findSquares(const StreetColours& colours, const Shot& shot, int cabX, int cabY, double heading) {
    // Arrow pixels to leave out.
    std::vector<bool> arrow(17 * 17, false);
    if (heading == heading) {
        const int k = wrapStep(static_cast<int>(std::lround(heading / (2 * Pi / Steps))));
        for (const auto& [x, y] : mapArrows()[k]) {
            if (std::abs(x) <= 8 && std::abs(y) <= 8) arrow[(y + 8) * 17 + x + 8] = true;
        }
    }
    std::vector<Cell> cells;
    for (int sy = 0; sy < MapRows; ++sy) {
        for (int sx = 0; sx < ShotWidth; ++sx) {
            if (shot.at(sx, sy) != NearWhite) continue;
            const int dx = sx - MapCentreX, dy = sy - MapCentreY;
            if (std::abs(dx) <= 8 && std::abs(dy) <= 8) {
                // Near the middle only the arrow's own pixels are left out, so a
                // square round the cab still shows.
                if (heading != heading || arrow[(dy + 8) * 17 + dx + 8]) continue;
            }
            const MapViewCell c = mapViewCell(cabX, cabY, MapCentreX, MapCentreY, sx, sy);
            cells.push_back({c.x, c.y});
        }
    }
    // Group cells lying within 3 of each other.
    std::vector<int> parent(cells.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        for (size_t j = i + 1; j < cells.size(); ++j) {
            if (std::abs(cells[i].x - cells[j].x) <= 3 && std::abs(cells[i].y - cells[j].y) <= 3) {
                parent[root(int(i))] = root(int(j));
            }
        }
    }
    std::vector<Square> squares;
    std::vector<bool> done(cells.size(), false);
    for (size_t i = 0; i < cells.size(); ++i) {
        const int r = root(int(i));
        if (done[r]) continue;
        done[r] = true;
        std::vector<Cell> group;
        for (size_t j = 0; j < cells.size(); ++j) {
            if (root(int(j)) == r) group.push_back(cells[j]);
        }
        int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
        for (const Cell& c : group) {
            minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
        }
        if (group.size() < 10 || maxX - minX > 8 || maxY - minY > 8) continue;
        // The centre whose ring (the two outer frames of a 9 x 9 square, minus the
        // middle of each side) agrees best with the shot: ring cells the shot shows
        // near-white count for it, ring cells it shows as plain ground against it,
        // ring cells hidden behind facades not at all, and group cells off the ring
        // against it.
        Square best;
        int bestScore = std::numeric_limits<int>::min();
        for (int y = maxY - 4; y <= minY + 4; ++y) {
            for (int x = maxX - 4; x <= minX + 4; ++x) {
                int s = 0;
                for (const Cell& c : group) {
                    const int i = c.x - x, j = c.y - y;
                    if (!onRing(i, j)) s -= 2;
                }
                for (int i = -4; i <= 4; ++i) {
                    for (int j = -4; j <= 4; ++j) {
                        int sx, sy;
                        if (!onRing(i, j) || !pixelOfCell(cabX, cabY, x + i, y + j, sx, sy)) continue;
                        const uint8_t c = shot.at(sx, sy);
                        if (c == NearWhite) s += 1;
                        else if (colours.street[c]) s -= 2;
                    }
                }
                if (s > bestScore) {
                    bestScore = s;
                    best = {x, y, static_cast<int>(group.size())};
                }
            }
        }
        if (bestScore >= 10) squares.push_back(best);
    }
    return squares;
}

Seen LocalMap::at(int x, int y) const {
    const int i = x - originX, j = y - originY;
    if (i < 0 || j < 0 || i >= size || j >= size) return Seen::Unknown;
    return cells[size_t(j) * size + i];
}

void observeMap(const StreetColours& colours, const Shot& shot, int cabX, int cabY, int size, LocalMap& map) {
    map.size = size;
    map.originX = cabX - size / 2;
    map.originY = cabY - size / 2;
    map.cells.assign(size_t(size) * size, Seen::Unknown);
    auto cellIndex = [&](int sx, int sy) -> long {
        const MapViewCell c = mapViewCell(cabX, cabY, MapCentreX, MapCentreY, sx, sy);
        const int i = c.x - map.originX, j = c.y - map.originY;
        if (i < 0 || j < 0 || i >= size || j >= size) return -1;
        return long(j) * size + i;
    };
    for (int sy = 0; sy < MapRows; ++sy) {
        for (int sx = 0; sx < ShotWidth; ++sx) {
            const long k = cellIndex(sx, sy);
            if (k < 0) continue;
            const uint8_t colour = shot.at(sx, sy);
            // Street colours and marks are open ground; near-black is a vehicle. Facade
            // pixels may hide open ground behind a building, so they stay unknown.
            if (colours.street[colour] || colour == NearWhite) map.cells[k] = Seen::Open;
            else if (colour == 1) map.cells[k] = Seen::Blocked;
        }
    }
    // Every building cell puts its dark roof pixel 8 rows above its own pixel, and
    // nothing drawn later covers it: the roofs show exactly where the buildings stand.
    for (int sy = 0; sy + FacadeRise < MapRows; ++sy) {
        for (int sx = 0; sx < ShotWidth; ++sx) {
            if (shot.at(sx, sy) != RoofColour) continue;
            const long k = cellIndex(sx, sy + FacadeRise);
            if (k >= 0) map.cells[k] = Seen::Blocked;
        }
    }
}

std::vector<Cell> planPath(const LocalMap& map, Cell start, Cell goal, const Cell* keep) {
    const int n = map.size;
    const auto index = [n](int i, int j) { return size_t(j) * n + i; };
    const int si = start.x - map.originX, sj = start.y - map.originY;
    if (n <= 0 || si < 0 || sj < 0 || si >= n || sj >= n) return {};

    // A cell the shot did not show (a third of them never get a pixel) counts as open
    // when a neighbour was seen open. Anything else not seen open is kept away from:
    // ground hidden behind a facade looks the same as a low wall, which has no roof.
    auto besideOpen = [&](int i, int j) {
        return (i > 0 && map.cells[index(i - 1, j)] == Seen::Open) ||
               (i + 1 < n && map.cells[index(i + 1, j)] == Seen::Open) ||
               (j > 0 && map.cells[index(i, j - 1)] == Seen::Open) ||
               (j + 1 < n && map.cells[index(i, j + 1)] == Seen::Open);
    };
    std::vector<uint8_t> seenOpen(size_t(n) * n, 0);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const Seen s = map.cells[index(i, j)];
            seenOpen[index(i, j)] = s == Seen::Open || (s == Seen::Unknown && besideOpen(i, j));
        }
    }
    // Distance to the nearest cell not seen open (chamfer, straight 1, diagonal 1.4).
    std::vector<float> clear(size_t(n) * n, 1e6f);
    for (size_t k = 0; k < clear.size(); ++k) {
        if (!seenOpen[k]) clear[k] = 0;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            float& d = clear[index(i, j)];
            if (i > 0) d = std::min(d, clear[index(i - 1, j)] + 1);
            if (j > 0) d = std::min(d, clear[index(i, j - 1)] + 1);
            if (i > 0 && j > 0) d = std::min(d, clear[index(i - 1, j - 1)] + 1.4f);
            if (i + 1 < n && j > 0) d = std::min(d, clear[index(i + 1, j - 1)] + 1.4f);
        }
    }
    for (int j = n - 1; j >= 0; --j) {
        for (int i = n - 1; i >= 0; --i) {
            float& d = clear[index(i, j)];
            if (i + 1 < n) d = std::min(d, clear[index(i + 1, j)] + 1);
            if (j + 1 < n) d = std::min(d, clear[index(i, j + 1)] + 1);
            if (i + 1 < n && j + 1 < n) d = std::min(d, clear[index(i + 1, j + 1)] + 1.4f);
            if (i > 0 && j + 1 < n) d = std::min(d, clear[index(i - 1, j + 1)] + 1.4f);
        }
    }
    const int gi0 = goal.x - map.originX, gj0 = goal.y - map.originY;
    // Cells near the start are allowed at a price, so that a cab pressed against a wall
    // or standing where facades hide the ground can get away; so are hidden cells near
    // the goal, which may itself lie behind a facade.
    auto nearStart = [&](int i, int j) { return std::abs(i - si) <= 5 && std::abs(j - sj) <= 5; };
    auto nearGoal = [&](int i, int j) { return std::abs(i - gi0) <= 6 && std::abs(j - gj0) <= 6; };
    // The cost factor of driving over a cell, 0 when it cannot be driven.
    auto terrain = [&](int i, int j) -> float {
        const size_t k = index(i, j);
        if (map.cells[k] == Seen::Blocked) return nearStart(i, j) ? 30.0f : 0.0f;
        if (clear[k] >= 2.0f) return 1.0f;
        if (nearStart(i, j)) return 30.0f;
        return nearGoal(i, j) ? 3.0f : 0.0f;
    };

    std::vector<float> cost(size_t(n) * n, std::numeric_limits<float>::infinity());
    std::vector<int32_t> from(size_t(n) * n, -1);
    using Entry = std::pair<float, int32_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    cost[index(si, sj)] = 0;
    open.push({0.0f, int32_t(index(si, sj))});
    const int gi = goal.x - map.originX, gj = goal.y - map.originY;
    const bool goalInside = gi >= 0 && gj >= 0 && gi < n && gj < n;
    static const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    while (!open.empty()) {
        const auto [c, k] = open.top();
        open.pop();
        if (c > cost[k]) continue;
        const int i = k % n, j = k / n;
        if (goalInside && i == gi && j == gj) break;
        for (const auto& s : steps) {
            const int a = i + s[0], b = j + s[1];
            if (a < 0 || b < 0 || a >= n || b >= n) continue;
            const float ground = terrain(a, b);
            if (ground == 0.0f) continue;
            const float d = clear[index(a, b)];
            // Keep to the middle of the street: tight places cost much more.
            const float penalty = ground * (1.0f + (d < 4.0f ? 20.0f : 0.0f) + std::max(0.0f, 10.0f - d) * 0.4f);
            const float next = c + (s[0] != 0 && s[1] != 0 ? 1.4142f : 1.0f) * penalty;
            if (next < cost[index(a, b)]) {
                cost[index(a, b)] = next;
                from[index(a, b)] = k;
                open.push({next, int32_t(index(a, b))});
            }
        }
    }
    // The goal itself, or the reached cell nearest to it.
    int32_t end = -1;
    if (goalInside && std::isfinite(cost[index(gi, gj)])) {
        end = int32_t(index(gi, gj));
    } else {
        auto value = [&](size_t k) {
            return std::hypot(double(map.originX + int(k % n) - goal.x), double(map.originY + int(k / n) - goal.y)) +
                   0.05 * cost[k];
        };
        double bestValue = 1e18;
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                const size_t k = index(i, j);
                if (!std::isfinite(cost[k]) || clear[k] < 4.0f) continue;
                if (value(k) < bestValue) {
                    bestValue = value(k);
                    end = int32_t(k);
                }
            }
        }
        if (keep != nullptr) {
            const int ki = keep->x - map.originX, kj = keep->y - map.originY;
            if (ki >= 0 && kj >= 0 && ki < n && kj < n) {
                const size_t k = index(ki, kj);
                if (std::isfinite(cost[k]) && value(k) < bestValue + 40.0) end = int32_t(k);
            }
        }
    }
    std::vector<Cell> path;
    for (int32_t k = end; k >= 0; k = from[k]) path.push_back({map.originX + k % n, map.originY + k / n});
    std::reverse(path.begin(), path.end());
    if (path.empty()) path.push_back(start);
    return path;
}

double readHudArrow(const Shot& shot) {
    const auto& arrows = hudArrows();
    std::vector<int> score(Steps, std::numeric_limits<int>::min() / 2);
    int best = -1;
    for (int k = 0; k < Steps; ++k) {
        int s = 0;
        for (const auto& [x, y] : arrows[k].pixels) {
            const int px = 320 + x, py = y;
            if (px < 0 || py < 0 || px >= ShotWidth || py >= ShotHeight) continue;
            s += shot.at(px, py) == arrows[k].colour ? 1 : -1;
        }
        score[k] = s;
        if (best < 0 || s > score[best]) best = k;
    }
    const int size = static_cast<int>(arrows[best].pixels.size());
    if (score[best] < size * 3 / 5) return std::nan("");
    return middleOfRun(score, best);
}

int readHudDistance(const FontSet& font, const Shot& shot) {
    // The number is centred on row 54 in style 2; only its band of rows is compared.
    constexpr int Top = 50, Rows = 24;
    Image* canvas = createImage(ShotWidth, Top + Rows);
    int best = -1;
    int bestDrawn = 0;
    for (int n = 0; n <= 999; ++n) {
        fillImage(*canvas, 0);
        printText(font, *canvas, -1, 54, std::to_string(n), 2);
        int drawn = 0, same = 0;
        for (int y = Top; y < Top + Rows; ++y) {
            for (int x = 240; x < 400; ++x) {
                const auto c = static_cast<uint8_t>(getPixel(*canvas, x, y));
                if (c == 0) continue;
                ++drawn;
                same += shot.at(x, y) == c;
            }
        }
        // Every pixel of the number must be there; of two that fit ("1" inside "11"
        // cannot, being centred elsewhere), the one with more pixels wins.
        if (drawn > 0 && same * 100 >= drawn * 97 && drawn > bestDrawn) {
            best = n;
            bestDrawn = drawn;
        }
    }
    destroyImage(canvas);
    return best;
}

bool showsText(const FontSet& font, const Shot& shot, int x, int y, const std::string& text, int style) {
    Image* canvas = createImage(ShotWidth, ShotHeight);
    fillImage(*canvas, 0);
    printText(font, *canvas, x, y, text, style);
    int drawn = 0, same = 0;
    for (int py = 0; py < ShotHeight; ++py) {
        for (int px = 0; px < ShotWidth; ++px) {
            const auto c = static_cast<uint8_t>(getPixel(*canvas, px, py));
            if (c == 0) continue;
            ++drawn;
            same += shot.at(px, py) == c;
        }
    }
    destroyImage(canvas);
    return drawn > 0 && same * 100 >= drawn * 97;
}

}  // namespace hc::driver
