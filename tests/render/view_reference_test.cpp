// A plain, slow renderer of the world and map views, rule by rule: a ray per column, a pixel at a time, every write
// made. The game's batched renderers must give the same pixels on a generated city seen from a few hundred places,
// under artwork whose every texel differs from its neighbours so that a wrong texture column or row shows.
#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

#include "city/city_generator.h"
#include "core/random.h"
#include "render/map_view.h"
#include "render/world_view.h"
#include "render_fixture.h"

namespace hc {
namespace {

constexpr int W = RenderWidth, H = RenderHeight;

int64_t roundEven(double x) { return static_cast<int64_t>(std::nearbyint(x)); }
int floorInt(float x) { return static_cast<int>(std::floor(x)); }
int64_t mod(int64_t a, int64_t m) { return ((a % m) + m) % m; }

uint8_t hashByte(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ b * 0x85EBCA77u ^ c * 0xC2B2AE3Du;
    h = (h ^ h >> 15) * 0x2C1B3C6Du;
    return static_cast<uint8_t>((h ^ h >> 13) >> 24);
}

// Every texel its own value, about one in eight transparent; vehicles have more holes.
void fillHashedArt(GameState& state, Image& sky) {
    for (int c = 0; c < 256; ++c)
        for (int l = 0; l < 17; ++l) state.shadeTable[c][l] = static_cast<uint8_t>(1 + hashByte(c, l, 1) % 254);
    for (int k = 1; k <= WallTextureCount; ++k)
        for (int i = 0; i < WallTextureSize * WallTextureSize; ++i) state.wallTextures[k][i] = hashByte(k, i, 2) % 8 == 0 ? 0 : hashByte(k, i, 2);
    for (int m = 1; m <= VehicleSheetCount; ++m)
        for (int i = 0; i < VehicleSheetWidth * VehicleSheetHeight; ++i) state.vehicleSheets[m][i] = hashByte(m, i, 3) % 4 == 0 ? 0 : hashByte(m, i, 3);
    for (int r = 0; r < sky.height; ++r)
        for (int c = 0; c < sky.width; ++c) *pixelAddress(sky, c, r) = hashByte(c, r, 4);
}

// What the poses reached, so that a pose list that misses a rule fails.
struct Coverage {
    int vehicleSide2 = 0, tallVehicle = 0, clippedTop = 0, clippedBottom = 0, nearFace = 0, facadeSkip = 0;
};

struct Reference {
    const CityMap& map; const ViewTables& tables; const PlayerCar& p; const Shift& shift; const GameState& art;
    Image& out;
    Coverage& seen;
    std::vector<uint8_t> mask = std::vector<uint8_t>(W * H);

    uint8_t& px(int64_t c, int64_t r) { return *pixelAddress(out, static_cast<int>(c), static_cast<int>(r)); }
    uint8_t& drawn(int64_t c, int64_t r) { return mask[r * W + c]; }
    bool lowDetail() const { return isOn(shift.lowDetail); }
    int dithered(int shade, int64_t c, int64_t r) const { return shade < 16 && !lowDetail() && mod(2 * c + r, 4) == 0 ? shade + 1 : shade; }

    MapCell castStep(Body& ray) const {
        int cx = floorInt(ray.x), cy = floorInt(ray.y);
        float total = 0;
        const int64_t limit = roundEven(128.0f / ray.travelRate - ray.travel);
        for (;;) {
            ray.hitSide = 2;
            const float tx = std::fabs((cx + ray.stepSignX - ray.x) / ray.dirX);
            const float ty = std::fabs((cy + ray.stepSignY - ray.y) / ray.dirY);
            float t = ty;
            if (!(ty < tx)) t = tx, ray.hitSide = 1;
            ray.x += ray.dirX * t, ray.y += ray.dirY * t, total += t;
            cx = floorInt(ray.x), cy = floorInt(ray.y);
            if (hasFlag(cellAt(map, cx, cy), Visible) || roundEven(total) > limit) break;
        }
        ray.travel += ray.travelRate * total;
        return cellAt(map, cx, cy);
    }

    void wallColumn(const MapCell& cell, const Body& ray, int c, int64_t top, int64_t bottom) {
        const uint8_t* tex;  // the texture, its rows and width, and the column the hit reads
        int rows, width;
        int64_t u;
        if (hasFlag(cell, Vehicle)) {
            tex = art.vehicleSheets[cell.kind].data(), rows = 42, width = 256;
            const int base = 16 * static_cast<int8_t>(ray.hitSide == 1 ? cell.spriteColXCross : cell.spriteColYCross);
            const int64_t k = mod(floorInt(16 * (ray.x + ray.y)), 16);
            u = hasFlag(cell, SpriteAscending) ? base + k : base + 15 - k;
            seen.vehicleSide2 += ray.hitSide == 2;
            seen.tallVehicle += hasFlag(cell, TallVehicle);
        } else {
            tex = art.wallTextures[cell.kind].data(), rows = 128, width = 128;
            u = mod(floorInt(8 * (ray.hitSide == 1 ? ray.y : ray.x)), 128);
        }
        const float vstep = static_cast<float>(rows) / static_cast<float>(bottom - top);
        float v = 0;
        if (top < map.viewTop) v = static_cast<float>(map.viewTop - top) * vstep, top = map.viewTop, ++seen.clippedTop;
        if (bottom > map.viewBottom) bottom = map.viewBottom, ++seen.clippedBottom;
        float light = tables.rowLight[bottom];
        if (isOn(shift.engineRunning) && shift.damage[1] < 0.3f) light = std::pow(tables.rowLight[bottom], tables.headlightExponent[c]);
        const int shade = static_cast<int>(roundEven(16 * light));
        for (int64_t row = top; row <= bottom; ++row, v += vstep) {
            if (drawn(c, row)) continue;
            const int64_t tv = std::min<int64_t>(roundEven(v - 0.5f), rows - 1);
            const uint8_t texel = tex[tv * width + u];
            if (texel == 0) continue;
            px(c, row) = art.shadeTable[texel][dithered(shade, c, row)];
            drawn(c, row) = 255;
        }
    }

    void floorColumn(const Body& ray, int c, int64_t startRow) {
        const float hx = ray.x - 0.5f, hy = ray.y - 0.5f, ex = p.x - 0.5f, ey = p.y - 0.5f;
        for (int64_t row = startRow; row <= map.viewBottom; ++row) {
            if (drawn(c, row)) continue;
            const float w = std::min(tables.rowFloorDistance[row] / ray.travel, 1.0f);
            const MapCell& cell = cellAt(map, roundEven(ex * (1 - w) + hx * w), roundEven(ey * (1 - w) + hy * w));
            const uint8_t colour = hasFlag(cell, PickupMark) && shift.frameCounter % 2 == 0 ? 22 : cell.colour;
            px(c, row) = art.shadeTable[colour][dithered(tables.rowShade[row], c, row)];
        }
        drawn(c, startRow) = 255;
    }

    void column(Body& ray, int c) {
        MapCell cell = castStep(ray);
        for (;;) {
            if (ray.travel <= 0) return;
            seen.nearFace += ray.travel < 1e-3f;
            const float h = 128 / ray.travel * map.projScale;
            int64_t top = roundEven(map.horizonRow - map.eyeFactor * h);
            const int64_t bottom = roundEven(top + h);
            if (hasFlag(cell, Vehicle)) top = roundEven(top + h * (hasFlag(cell, TallVehicle) ? 0.78f : 0.82f));
            if (ray.travel < 128) wallColumn(cell, ray, c, top, bottom);
            if (!hasFlag(cell, SeeThrough)) {
                if (bottom < map.viewBottom) floorColumn(ray, c, bottom);
                return;
            }
            do cell = castStep(ray);
            while (hasFlag(cell, SeeThrough));
        }
    }

    void worldView() {
        Body ray;
        beginRay(ray, p);
        rotateBody(ray, -30);
        const float step = 60.0f / W;
        for (int c = 0; c < W; ++c) {
            rotateBody(ray, step);
            if (lowDetail() && c % 2 == 1) continue;
            Body r = ray;
            r.x = p.x, r.y = p.y, r.travel = 0;
            r.travelRate = static_cast<float>(std::cos(headingRadians(r) - headingRadians(p)));
            column(r, c);
        }
        const int64_t offset = mod(roundEven(p.heading / 3600.0 * 1280.0), 640);
        for (int c = 0; c < W; c += lowDetail() ? 2 : 1)
            for (int row = 0; row < 240 && !drawn(c, row); ++row) px(c, row) = *pixelAddress(*art.skyImage, (offset + c) % W, row);
        if (lowDetail())
            for (int row = map.viewTop; row <= map.viewBottom; ++row)
                for (int c = 1; c < W; c += 2) px(c, row) = px(c - 1, row);
    }

    void mapView() {
        fillBox(out, 0, 0, W - 1, H - 1, 255);
        const int64_t cx = roundEven(p.x), cy = roundEven(p.y), hx = 320, hy = 240;
        auto opaqueFacade = [&](const MapCell& cell, int64_t u) {
            for (int k = 0; k < 7; ++k) if (art.wallTextures[cell.kind][16 * k * 128 + u] == 0) return false;
            return true;
        };
        for (int64_t sy = 0; sy < H; ++sy) {
            for (int64_t sx = 0; sx < W; ++sx) {
                const int64_t dx = sx - hx, dy = sy - hy, mx = cx + dx + dy, my = roundEven(cy + dy - 0.5 * dx);
                if (!(0 < mx && mx < 2047 && 0 < my && my < 2047)) continue;
                const MapCell& cell = cellAt(map, mx, my);
                int c = hasFlag(cell, PickupMark) ? 22 : cell.colour == 0 ? 1 : cell.colour;
                if (c == 255) {
                    if (!hasFlag(cell, SeeThrough) && sy - 8 >= 0) px(sx, sy - 8) = 64;
                    const int64_t u = mod(6 * mx + 8 * my, 128);
                    for (int k = 0; k < 8; ++k) {
                        const int64_t r = sy - 7 + k;
                        const uint8_t t = art.wallTextures[cell.kind][16 * k * 128 + u];
                        if (r >= 0 && t != 0) px(sx, r) = t;
                        c = t;
                    }
                    // The game leaves out facades that the wall one row down covers.
                    const int64_t belowY = roundEven(cy + dy + 1 - 0.5 * dx);
                    const MapCell& below = cellAt(map, mx + 1, belowY);
                    seen.facadeSkip += mx + 1 < 2047 && belowY < 2047 && below.colour == 255 && !hasFlag(below, PickupMark) &&
                                       opaqueFacade(below, mod(6 * (mx + 1) + 8 * belowY, 128));
                }
                px(sx, sy) = static_cast<uint8_t>(c);
            }
        }
        fillBox(out, 0, H - 8, W - 1, H - 1, 255);
        double a = headingRadians(p) + 0.3926988;
        const int tx = roundEven(hx + 6 * std::cos(a)), ty = roundEven(hy + 6 * std::sin(a));
        a -= 1.570795;
        const int lx = roundEven(hx + 3 * std::cos(a)), ly = roundEven(hy + 3 * std::sin(a));
        a += 3.14159;
        const int rx = roundEven(hx + 3 * std::cos(a)), ry = roundEven(hy + 3 * std::sin(a));
        drawLine(out, tx, ty, lx, ly, 22), drawLine(out, lx, ly, rx, ry, 22), drawLine(out, tx, ty, rx, ry, 22);
    }
};

struct Pose { float x, y, heading; bool engine, lowDetail, damaged; int frame; };

#if defined(HC_SANITIZE) || defined(__SANITIZE_ADDRESS__)
constexpr int PosesPerKind = 12;  // the checked build runs the same kinds, fewer of each
#else
constexpr int PosesPerKind = 50;
#endif

float randomIn(float lo, float hi) { return lo + static_cast<float>(nextRandom()) * (hi - lo); }
bool open(const CityMap& map, int x, int y) { return hasFlag(cellAt(map, x, y), Passable); }
bool solid(const CityMap& map, int x, int y) { return hasFlag(cellAt(map, x, y), Visible) && !hasFlag(cellAt(map, x, y), SeeThrough); }

// Poses of six kinds, with vehicles of every model stamped in all four directions
// and pick-up squares painted near them.
std::vector<Pose> choosePoses(CityMap& map) {
    std::vector<Pose> poses;
    auto add = [&](float x, float y, float heading) {
        const int n = static_cast<int>(poses.size());
        poses.push_back({x, y, std::fmod(heading + 3600.0f, 3600.0f), n % 3 != 0, n % 5 == 1, n % 7 == 3, n % 4});
    };
    const int dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    while (static_cast<int>(poses.size()) < PosesPerKind) {  // anywhere open, any heading
        const float x = randomIn(1, 2047), y = randomIn(1, 2047);
        if (open(map, floorInt(x), floorInt(y))) add(x, y, randomIn(0, 3600));
    }
    while (static_cast<int>(poses.size()) < 2 * PosesPerKind) {  // along an axis
        const float x = randomIn(1, 2047), y = randomIn(1, 2047);
        if (open(map, floorInt(x), floorInt(y))) add(x, y, 900.0f * randomChoice(4));
    }
    while (static_cast<int>(poses.size()) < 3 * PosesPerKind) {  // hugging a face, from a hair to a third of a cell
        const int x = 1 + randomChoice(2046), y = 1 + randomChoice(2046), d = randomChoice(4);
        if (!open(map, x, y) || !solid(map, x + dirs[d][0], y + dirs[d][1])) continue;
        const float gaps[] = {0.0f, 1e-6f, 1e-3f, 0.3f}, gap = gaps[randomChoice(4)];
        float fx = x + randomIn(0.01f, 0.99f), fy = y + randomIn(0.01f, 0.99f);
        float& across = dirs[d][0] != 0 ? fx : fy;
        const int face = dirs[d][0] + dirs[d][1] > 0 ? (dirs[d][0] ? x : y) + 1 : (dirs[d][0] ? x : y);
        across = dirs[d][0] + dirs[d][1] > 0 ? std::nextafter(face - gap, 0.0f) : face + gap;
        add(fx, fy, 900.0f * d + randomIn(-400, 400));
    }
    while (static_cast<int>(poses.size()) < 4 * PosesPerKind) {  // at a vehicle
        const int x = 1 + randomChoice(2046), y = 1 + randomChoice(2046), d = randomChoice(4);
        const int model = 1 + static_cast<int>(poses.size()) % 6;
        if (!stampVehicle(map, x, y, dirs[d][0], dirs[d][1], static_cast<uint8_t>(model), nullptr)) continue;
        for (int k = -1; k <= 1; ++k) cellAt(map, x - 6 * dirs[d][0] + k, y - 6 * dirs[d][1] + k).flags |= PickupMark;
        const float angle = randomIn(0, 6.2831853f), dist = randomIn(3, 12);
        const float px = x + 0.5f + dist * std::cos(angle), py = y + 0.5f + dist * std::sin(angle);
        if (open(map, floorInt(px), floorInt(py))) add(px, py, angle * 1800 / 3.14159f + 1800 + randomIn(-150, 150));
    }
    while (static_cast<int>(poses.size()) < 5 * PosesPerKind) {  // at the city's edge
        const float along = randomIn(1, 2047), in = randomIn(1.0f, 30.0f);
        const int side = randomChoice(4);
        const float x = side == 0 ? in : side == 1 ? 2047 - in : along, y = side == 2 ? in : side == 3 ? 2047 - in : along;
        if (open(map, floorInt(x), floorInt(y))) add(x, y, randomIn(0, 3600));
    }
    // The street next to the boundary wall, a hair from the face of the lot at x = 16.
    for (float y : {40.5f, 90.25f, 200.75f})
        if (open(map, 15, static_cast<int>(y)) && solid(map, 16, static_cast<int>(y))) add(15.999999f, y, 0.0f), add(15.999999f, y, 300.0f);
    return poses;
}

TEST(ViewReference, GameRenderersDrawWhatTheRulesDraw) {
    test::RenderRig rig;
    fillHashedArt(*rig.state, *rig.sky), seedRandom(7700), generateCityMap(*rig.map, rig.state->shadeTable), seedRandom(1234);
    const std::vector<Pose> poses = choosePoses(*rig.map);
    Image* expected = createImage(W, H);
    Coverage seen;
    int mismatches = 0;
    for (size_t n = 0; n < poses.size(); ++n) {
        const Pose& pose = poses[n];
        rig.pose(pose.x, pose.y, pose.heading);
        rig.shift.engineRunning = pose.engine ? FlagOn : FlagOff, rig.shift.lowDetail = pose.lowDetail ? FlagOn : FlagOff;
        rig.shift.damage[1] = pose.damaged ? 0.3f : 0.0f, rig.shift.frameCounter = pose.frame;
        Reference ref{*rig.map, rig.tables, rig.player, rig.shift, *rig.state, *expected, seen};
        // Pixels that the world view leaves alone keep the last frame's.
        std::memset(rig.target->pixels, static_cast<int>(n), static_cast<size_t>(W) * H);
        std::memset(expected->pixels, static_cast<int>(n), static_cast<size_t>(W) * H);
        auto compare = [&](const char* view) {
            int first = -1, count = 0;
            for (int i = 0; i < W * H; ++i)
                if (rig.target->pixels[i] != expected->pixels[i]) count++, first = first < 0 ? i : first;
            EXPECT_EQ(count, 0) << view << " view, pose " << n << " (" << pose.x << ", " << pose.y << ") heading "
                                << pose.heading << ": first at column " << first % W << " row " << first / W;
            mismatches += count;
        };
        renderWorldView(rig.scene()), ref.worldView(), compare("world");
        drawMapView(*rig.map, rig.player, *rig.state, *rig.target), ref.mapView(), compare("map");
        if (mismatches > 0 && n > 20) break;  // enough said
    }
    destroyImage(expected);
    EXPECT_GE(static_cast<int>(poses.size()), 5 * PosesPerKind);
    // vehicle side 2, tall vehicle, near face, clipped top and bottom, facade skipped
    EXPECT_THAT(std::tuple(seen.vehicleSide2, seen.tallVehicle, seen.nearFace, seen.clippedTop, seen.clippedBottom, seen.facadeSkip),
                testing::FieldsAre(testing::Gt(100), testing::Gt(100), testing::Gt(100), testing::Gt(1000), testing::Gt(1000), testing::Gt(10000)));
}

}  // namespace
}  // namespace hc
