#include "render/world_view.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/colours.h"
#include "render/view_rounding.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace hc {

namespace {

// floor() for values well inside the int range, without a library call.
inline int floorInt(float x) {
    const int i = static_cast<int>(x);
    return x < static_cast<float>(i) ? i - 1 : i;
}

// Pixels with (2 * column + row) mod 4 = 0 get one shade level more: an ordered
// dither between neighbouring levels.
inline bool ditherPixel(int column, int row) { return ((2 * column + row) & 3) == 0; }

bool viewReady(const WorldViewScene& scene) {
    const ViewTables& tables = scene.tables;
    const Image& target = scene.target;
    return tables.width > 0 && tables.height > 0 && target.pixels != nullptr &&
           target.bytesPerPixel == 1 && target.width >= tables.width &&
           target.height >= tables.height && scene.map.viewTop >= 0 &&
           scene.map.viewTop <= scene.map.viewBottom && scene.map.viewBottom < tables.height;
}

// Outside the grid counts as the boundary wall, so a ray that somehow leaves it still
// ends on a face instead of reading past the cells.
constexpr MapCell OutsideCell{255, 17, Visible, 0, 0};

// A ray crosses at most a few hundred cell boundaries within the view distance; this
// bound only guards against a ray that stops making progress.
constexpr int MaxCastSteps = 1 << 14;

}  // namespace

void initView(CityMap& map, ViewTables& tables, Shift& shift, int width, int height) {
    tables = ViewTables{};
    if (width < 1 || height < 45) return;  // no room for a view above the cockpit
    map.viewTop = 0;
    map.viewBottom = height - 44;
    map.horizonRow = roundAny(0.42 * height);
    map.projScale = static_cast<float>(height) / 6.0f;
    map.eyeFactor = 0.85f;
    shift.dashboardHeight = roundAny(0.25 * height);

    const float k1 = static_cast<float>(map.horizonRow) * (1.0f - map.eyeFactor);
    const float k2 = map.projScale / (static_cast<float>(map.horizonRow) / 128.0f);
    tables.width = width;
    tables.height = height;
    tables.rowLight.assign(height, 0.0f);
    tables.rowShade.assign(height, 0);
    tables.rowFloorDistance.assign(height, 0.0f);
    tables.headlightExponent.assign(width, 1.0f);
    tables.drawnMask.assign(static_cast<size_t>(width) * height, 0);

    // The light falls to 0 a little below the horizon and is full at a quarter of the
    // screen height away from that row.
    const float lightOffset = static_cast<float>(height) / 40.0f;
    const float lightSpan = static_cast<float>(height) / 4.0f;
    for (int r = 0; r < height; ++r) {
        float a = std::fabs(static_cast<float>(map.horizonRow - r) + lightOffset) / lightSpan;
        if (a > 1.0f) a = 1.0f;
        tables.rowLight[r] = std::pow(a, 0.85f);
        tables.rowShade[r] = static_cast<uint8_t>(roundAny(16.0f * tables.rowLight[r]));
        tables.rowFloorDistance[r] = r == map.horizonRow
                                         ? std::numeric_limits<float>::infinity()
                                         : k1 / static_cast<float>(r - map.horizonRow) * k2;
    }
    // The ground's level on each row with the dither of even and odd columns in it,
    // and without dither for low detail.
    tables.groundLevel.assign(3 * static_cast<size_t>(height), 0);
    for (int r = 0; r < height; ++r) {
        const int s = tables.rowShade[r];
        for (int parity = 0; parity < 2; ++parity) {
            tables.groundLevel[parity * height + r] = static_cast<uint16_t>(256 * (s < 16 && ditherPixel(parity, r) ? s + 1 : s));
        }
        tables.groundLevel[2 * height + r] = static_cast<uint16_t>(256 * s);
    }
    tables.shadeByLevel.assign(17 * 256, 0);
    tables.skyStop.assign(width, 0);
    const int m = roundAny(0.2 * width);
    for (int c = 0; c < width; ++c) {
        const float d = std::fabs(static_cast<float>(c) - static_cast<float>(width) / 2.0f);
        const float u = d < static_cast<float>(m) ? 1.0f - d / static_cast<float>(m) : 0.0f;
        tables.headlightExponent[c] = 1.0f - 0.5f * u;
    }
}

namespace {

// The working state of one ray's walk through the grid (castStep).
struct RayWalk {
    float x, y, dirX, dirY, signX, signY, total;
    int cx, cy, limit, steps;
    uint8_t side;
    const MapCell* cell;
};

inline void beginWalk(RayWalk& walk, const Body& ray) {
    walk.x = ray.x;
    walk.y = ray.y;
    walk.dirX = ray.dirX;
    walk.dirY = ray.dirY;
    walk.signX = ray.stepSignX;
    walk.signY = ray.stepSignY;
    walk.total = 0.0f;
    walk.cx = floorInt(ray.x);
    walk.cy = floorInt(ray.y);
    walk.limit = roundAny(128.0f / ray.travelRate - ray.travel);
    walk.steps = 0;
    walk.side = 2;
    walk.cell = &OutsideCell;
}

// Crosses one cell boundary, the nearer of the next x and y boundaries (a tie goes to
// x). Returns true when the walk stops: on a Visible cell, past the limit, or off the
// grid.
inline bool stepWalk(RayWalk& walk, const CityMap& map) {
    constexpr float infinity = std::numeric_limits<float>::infinity();
    const float tx = walk.dirX != 0.0f ? std::fabs((static_cast<float>(walk.cx) + walk.signX - walk.x) / walk.dirX) : infinity;
    const float ty = walk.dirY != 0.0f ? std::fabs((static_cast<float>(walk.cy) + walk.signY - walk.y) / walk.dirY) : infinity;
    float t;
    if (ty < tx) {
        t = ty;
        walk.side = 2;
    } else {
        t = tx;
        walk.side = 1;
    }
    walk.x += walk.dirX * t;
    walk.y += walk.dirY * t;
    walk.total += t;
    walk.cx = floorInt(walk.x);
    walk.cy = floorInt(walk.y);
    if (static_cast<unsigned>(walk.cx) >= static_cast<unsigned>(MapSize) ||
        static_cast<unsigned>(walk.cy) >= static_cast<unsigned>(MapSize)) {
        walk.cell = &OutsideCell;
        return true;
    }
    walk.cell = &map.cells[walk.cx * MapSize + walk.cy];
    return (walk.cell->flags & Visible) || roundSmall(walk.total) > walk.limit || ++walk.steps >= MaxCastSteps;
}

inline void endWalk(const RayWalk& walk, Body& ray) {
    ray.x = walk.x;
    ray.y = walk.y;
    ray.hitSide = walk.side;
    ray.travel += ray.travelRate * walk.total;
}

#if defined(__SSE2__)
// Four walks side by side in SSE lanes. Every lane does the single-precision
// operations of stepWalk in the same order (the vector divide, multiply and add round
// exactly like the scalar ones), so each lane ends exactly where its scalar walk ends;
// the four divisions of a step cost about what one does.
struct WalkLanes {
    __m128 x, y, dirX, dirY, signX, signY, total;
    __m128i cx, cy, limit, side;
    int active;  // bit k: lane k is still walking
    int steps;
    int32_t stopCell[4];  // grid index of the cell each lane stopped on; -1 off the grid
};

// All ones in the lanes whose bit is set.
inline __m128i laneMask(int bits) {
    alignas(16) static const int32_t masks[16][4] = {
        {0, 0, 0, 0},    {-1, 0, 0, 0},  {0, -1, 0, 0},  {-1, -1, 0, 0},   {0, 0, -1, 0},  {-1, 0, -1, 0},
        {0, -1, -1, 0},  {-1, -1, -1, 0}, {0, 0, 0, -1},  {-1, 0, 0, -1},  {0, -1, 0, -1}, {-1, -1, 0, -1},
        {0, 0, -1, -1},  {-1, 0, -1, -1}, {0, -1, -1, -1}, {-1, -1, -1, -1}};
    return _mm_load_si128(reinterpret_cast<const __m128i*>(masks[bits]));
}

inline __m128i floor4(__m128 v) {
    const __m128i i = _mm_cvttps_epi32(v);
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmplt_ps(v, _mm_cvtepi32_ps(i))));  // -1 where truncation went up
}

void beginLanes(WalkLanes& w, const Body* rays, int count) {
    alignas(16) float f[7][4];
    alignas(16) int32_t n[3][4];
    for (int k = 0; k < 4; ++k) {
        RayWalk walk;
        beginWalk(walk, rays[k < count ? k : 0]);
        const float values[7] = {walk.x, walk.y, walk.dirX, walk.dirY, walk.signX, walk.signY, 0.0f};
        for (int j = 0; j < 7; ++j) f[j][k] = values[j];
        n[0][k] = walk.cx, n[1][k] = walk.cy, n[2][k] = walk.limit;
    }
    w.x = _mm_load_ps(f[0]), w.y = _mm_load_ps(f[1]), w.dirX = _mm_load_ps(f[2]), w.dirY = _mm_load_ps(f[3]);
    w.signX = _mm_load_ps(f[4]), w.signY = _mm_load_ps(f[5]), w.total = _mm_load_ps(f[6]);
    w.cx = _mm_load_si128(reinterpret_cast<const __m128i*>(n[0]));
    w.cy = _mm_load_si128(reinterpret_cast<const __m128i*>(n[1]));
    w.limit = _mm_load_si128(reinterpret_cast<const __m128i*>(n[2]));
    w.side = _mm_set1_epi32(2);
    w.active = count >= 4 ? 15 : (1 << count) - 1;  // count is 0 to 4
    w.steps = 0;
}

// One boundary crossing of every active lane (stepWalk, four at a time).
inline void stepLanes(WalkLanes& w, const MapCell* cells) {
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    // A zero direction component divides to an infinite distance, as in stepWalk.
    const __m128 tx = _mm_and_ps(_mm_div_ps(_mm_sub_ps(_mm_add_ps(_mm_cvtepi32_ps(w.cx), w.signX), w.x), w.dirX), absMask);
    const __m128 ty = _mm_and_ps(_mm_div_ps(_mm_sub_ps(_mm_add_ps(_mm_cvtepi32_ps(w.cy), w.signY), w.y), w.dirY), absMask);
    const __m128i active = laneMask(w.active);
    const __m128 yFirst = _mm_cmplt_ps(ty, tx);
    // min(ty, tx) is ty < tx ? ty : tx; finished lanes move by 0 and so stay put.
    const __m128 t = _mm_and_ps(_mm_min_ps(ty, tx), _mm_castsi128_ps(active));
    w.x = _mm_add_ps(w.x, _mm_mul_ps(w.dirX, t));
    w.y = _mm_add_ps(w.y, _mm_mul_ps(w.dirY, t));
    w.total = _mm_add_ps(w.total, t);
    const __m128i side = _mm_sub_epi32(_mm_set1_epi32(1), _mm_castps_si128(yFirst));  // 2 where y came first
    w.side = _mm_or_si128(_mm_and_si128(active, side), _mm_andnot_si128(active, w.side));
    w.cx = floor4(w.x);
    w.cy = floor4(w.y);
    const __m128i offGrid = _mm_xor_si128(
        _mm_cmpeq_epi32(_mm_and_si128(_mm_or_si128(w.cx, w.cy), _mm_set1_epi32(~(MapSize - 1))), _mm_setzero_si128()),
        _mm_set1_epi32(-1));
    const __m128i rounded = _mm_sub_epi32(_mm_castps_si128(_mm_add_ps(w.total, _mm_set1_ps(12582912.0f))),
                                          _mm_set1_epi32(0x4B400000));
    // Off the grid a lane reads cell 0 instead (and stops on the outside wall).
    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index),
                    _mm_andnot_si128(offGrid, _mm_add_epi32(_mm_slli_epi32(w.cx, 11), w.cy)));
    const int visible = (cells[index[0]].flags & Visible) >> 1 | (cells[index[1]].flags & Visible) |
                        (cells[index[2]].flags & Visible) << 1 | (cells[index[3]].flags & Visible) << 2;
    static_assert(Visible == 2, "the Visible bit is bit 1");
    const int off = _mm_movemask_ps(_mm_castsi128_ps(offGrid));
    int stop = visible | _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(offGrid, _mm_cmpgt_epi32(rounded, w.limit))));
    if (++w.steps >= MaxCastSteps) stop = 15;
    stop &= w.active;
    for (int ended = stop; ended != 0; ended &= ended - 1) {
        const int k = __builtin_ctz(static_cast<unsigned>(ended));
        w.stopCell[k] = (off >> k & 1) ? -1 : index[k];
    }
    w.active &= ~stop;
}

void endLanes(const WalkLanes& w, const CityMap& map, Body* rays, MapCell* probes, int count) {
    alignas(16) float x[4], y[4], total[4];
    alignas(16) int32_t side[4];
    _mm_store_ps(x, w.x), _mm_store_ps(y, w.y), _mm_store_ps(total, w.total);
    _mm_store_si128(reinterpret_cast<__m128i*>(side), w.side);
    for (int k = 0; k < count && k < 4; ++k) {
        rays[k].x = x[k];
        rays[k].y = y[k];
        rays[k].hitSide = static_cast<uint8_t>(side[k]);
        rays[k].travel += rays[k].travelRate * total[k];
        probes[k] = w.stopCell[k] >= 0 ? map.cells[w.stopCell[k]] : OutsideCell;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define HC_WALK_AVX2 1
// The same walk eight lanes wide, for processors with AVX2 (chosen at run time): two
// groups of eight rays, walked in turn. Every lane again does stepWalk's operations in
// its order, so the results are those of castStep, ray by ray.
__attribute__((target("avx2"))) void castStepBatchWide(const CityMap& map, Body* rays, MapCell* probes, int count) {
    struct Lanes {
        __m256 x, y, dirX, dirY, signX, signY, total;
        __m256i cx, cy, limit, side;
        int active, steps;
        int32_t stopCell[8];
    } groups[2];
    const __m256 absMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    const __m256i gridMask = _mm256_set1_epi32(~(MapSize - 1));
    for (int g = 0; g < 2; ++g) {
        Lanes& w = groups[g];
        const int n = std::clamp(count - 8 * g, 0, 8);
        alignas(32) float f[6][8];
        alignas(32) int32_t c[3][8];
        for (int k = 0; k < 8; ++k) {
            RayWalk walk;
            beginWalk(walk, rays[8 * g + (k < n ? k : 0)]);
            f[0][k] = walk.x, f[1][k] = walk.y, f[2][k] = walk.dirX, f[3][k] = walk.dirY;
            f[4][k] = walk.signX, f[5][k] = walk.signY;
            c[0][k] = walk.cx, c[1][k] = walk.cy, c[2][k] = walk.limit;
        }
        w.x = _mm256_load_ps(f[0]), w.y = _mm256_load_ps(f[1]), w.dirX = _mm256_load_ps(f[2]);
        w.dirY = _mm256_load_ps(f[3]), w.signX = _mm256_load_ps(f[4]), w.signY = _mm256_load_ps(f[5]);
        w.total = _mm256_setzero_ps();
        w.cx = _mm256_load_si256(reinterpret_cast<const __m256i*>(c[0]));
        w.cy = _mm256_load_si256(reinterpret_cast<const __m256i*>(c[1]));
        w.limit = _mm256_load_si256(reinterpret_cast<const __m256i*>(c[2]));
        w.side = _mm256_set1_epi32(2);
        w.active = (1 << n) - 1;
        w.steps = 0;
    }
    auto step = [&](Lanes& w) __attribute__((target("avx2"))) {
        const __m256 tx = _mm256_and_ps(
            _mm256_div_ps(_mm256_sub_ps(_mm256_add_ps(_mm256_cvtepi32_ps(w.cx), w.signX), w.x), w.dirX), absMask);
        const __m256 ty = _mm256_and_ps(
            _mm256_div_ps(_mm256_sub_ps(_mm256_add_ps(_mm256_cvtepi32_ps(w.cy), w.signY), w.y), w.dirY), absMask);
        const __m256i bits = _mm256_set1_epi32(w.active);
        const __m256i active = _mm256_cmpeq_epi32(_mm256_and_si256(bits, _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128)),
                                                  _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128));
        const __m256 yFirst = _mm256_cmp_ps(ty, tx, _CMP_LT_OQ);
        const __m256 t = _mm256_and_ps(_mm256_min_ps(ty, tx), _mm256_castsi256_ps(active));
        w.x = _mm256_add_ps(w.x, _mm256_mul_ps(w.dirX, t));
        w.y = _mm256_add_ps(w.y, _mm256_mul_ps(w.dirY, t));
        w.total = _mm256_add_ps(w.total, t);
        const __m256i side = _mm256_sub_epi32(_mm256_set1_epi32(1), _mm256_castps_si256(yFirst));
        w.side = _mm256_blendv_epi8(w.side, side, active);
        // floor: truncate, then one less where that went up
        const __m256i ix = _mm256_cvttps_epi32(w.x), iy = _mm256_cvttps_epi32(w.y);
        w.cx = _mm256_add_epi32(ix, _mm256_castps_si256(_mm256_cmp_ps(w.x, _mm256_cvtepi32_ps(ix), _CMP_LT_OQ)));
        w.cy = _mm256_add_epi32(iy, _mm256_castps_si256(_mm256_cmp_ps(w.y, _mm256_cvtepi32_ps(iy), _CMP_LT_OQ)));
        const __m256i offGrid = _mm256_xor_si256(
            _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_or_si256(w.cx, w.cy), gridMask), _mm256_setzero_si256()),
            _mm256_set1_epi32(-1));
        const __m256i rounded = _mm256_sub_epi32(
            _mm256_castps_si256(_mm256_add_ps(w.total, _mm256_set1_ps(12582912.0f))), _mm256_set1_epi32(0x4B400000));
        alignas(32) int32_t index[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index),
                           _mm256_andnot_si256(offGrid, _mm256_add_epi32(_mm256_slli_epi32(w.cx, 11), w.cy)));
        int visible = 0;
        for (int k = 0; k < 8; ++k) visible |= (map.cells[index[k]].flags & Visible) << k;
        visible >>= 1;  // Visible is bit 1
        const int off = _mm256_movemask_ps(_mm256_castsi256_ps(offGrid));
        int stop = visible | _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_or_si256(offGrid, _mm256_cmpgt_epi32(rounded, w.limit))));
        if (++w.steps >= MaxCastSteps) stop = 255;
        stop &= w.active;
        for (int ended = stop; ended != 0; ended &= ended - 1) {
            const int k = __builtin_ctz(static_cast<unsigned>(ended));
            w.stopCell[k] = (off >> k & 1) ? -1 : index[k];
        }
        w.active &= ~stop;
    };
    while (groups[0].active | groups[1].active) {
        if (groups[0].active) step(groups[0]);
        if (groups[1].active) step(groups[1]);
    }
    for (int g = 0; g < 2; ++g) {
        const Lanes& w = groups[g];
        alignas(32) float x[8], y[8], total[8];
        alignas(32) int32_t side[8];
        _mm256_store_ps(x, w.x), _mm256_store_ps(y, w.y), _mm256_store_ps(total, w.total);
        _mm256_store_si256(reinterpret_cast<__m256i*>(side), w.side);
        for (int k = 0; k < 8 && 8 * g + k < count; ++k) {
            Body& ray = rays[8 * g + k];
            ray.x = x[k];
            ray.y = y[k];
            ray.hitSide = static_cast<uint8_t>(side[k]);
            ray.travel += ray.travelRate * total[k];
            probes[8 * g + k] = w.stopCell[k] >= 0 ? map.cells[w.stopCell[k]] : OutsideCell;
        }
    }
}
#endif

// The first castStep of up to eight columns at once: two groups of four lanes, walked
// in turn so that one group's divisions overlap the other's. The results are those of
// castStep, ray by ray.
void castStepBatch8(const CityMap& map, Body* rays, MapCell* probes, int count) {
    WalkLanes a, b;
    beginLanes(a, rays, count);
    beginLanes(b, rays + 4, count > 4 ? count - 4 : 0);
    while (a.active | b.active) {
        if (a.active) stepLanes(a, map.cells);
        if (b.active) stepLanes(b, map.cells);
    }
    endLanes(a, map, rays, probes, count);
    if (count > 4) endLanes(b, map, rays + 4, probes + 4, count - 4);
}

// The first castStep of up to sixteen columns, eight lanes wide where the processor
// has AVX2, else in the SSE2 groups above.
void castStepBatch(const CityMap& map, Body* rays, MapCell* probes, int count) {
#if defined(HC_WALK_AVX2)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide) {
        castStepBatchWide(map, rays, probes, count);
        return;
    }
#endif
    for (int first = 0; first < count; first += 8) castStepBatch8(map, rays + first, probes + first, std::min(8, count - first));
}
#else
// The first castStep of several columns at once. Each ray's walk is a long chain of
// dependent divisions; interleaving independent rays lets the processor overlap them.
// The results are those of castStep, ray by ray.
void castStepBatch(const CityMap& map, Body* rays, MapCell* probes, int count) {
    RayWalk walks[16];
    bool done[16] = {};
    for (int k = 0; k < count; ++k) beginWalk(walks[k], rays[k]);
    for (int remaining = count; remaining > 0;) {
        for (int k = 0; k < count; ++k) {
            if (!done[k] && stepWalk(walks[k], map)) {
                done[k] = true;
                --remaining;
            }
        }
    }
    for (int k = 0; k < count; ++k) {
        endWalk(walks[k], rays[k]);
        probes[k] = *walks[k].cell;
    }
}
#endif

}  // namespace

void castStep(CityMap& map, Body& ray) {
    RayWalk walk;
    beginWalk(walk, ray);
    while (!stepWalk(walk, map)) {
    }
    endWalk(walk, ray);
    map.probeCell = *walk.cell;
}

namespace {

void copyShadesByLevel(const WorldViewScene& scene) {
    uint8_t* to = scene.tables.shadeByLevel.data();
    for (int level = 0; level < 17; ++level)
        for (int c = 0; c < 256; ++c) *to++ = scene.state.shadeTable[c][level];
}

// A face ready to draw into one column: its texture column, the texel row start and
// step, the rows it covers after clipping, and its shade level for each row & 3 (the
// dither raises one of the four).
struct FaceSpan {
    const uint8_t* texColumn;  // texel (u, 0)
    int texShift;              // log2 of the texture's width
    float lastRow;             // the last texel row
    float v, vstep;
    int top, bottom;
    const uint8_t* shadeLevel[4];  // shadeByLevel row of the level, by row & 3
};

bool prepareFace(const WorldViewScene& scene, const Body& ray, int column, int64_t top, int64_t bottom, FaceSpan& face) {
    const CityMap& map = scene.map;
    const MapCell& cell = map.probeCell;
    const uint8_t* texels;
    int u;
    if (hasFlag(cell, Vehicle)) {
        if (cell.kind < 1 || cell.kind > VehicleSheetCount) return false;
        texels = scene.state.vehicleSheets[cell.kind].data();
        face.lastRow = VehicleSheetHeight - 1;
        face.texShift = 8;
        static_assert(VehicleSheetWidth == 1 << 8, "vehicle sheets are 256 texels wide");
        const int spriteColumn = static_cast<int8_t>(ray.hitSide == 1 ? cell.spriteColXCross : cell.spriteColYCross);
        const int k = floorInt(16.0f * (ray.x + ray.y)) & 15;
        u = 16 * spriteColumn + (hasFlag(cell, SpriteAscending) ? k : 15 - k);
        if (u < 0 || u >= VehicleSheetWidth) return false;  // not a sprite column of the sheet
    } else {
        if (cell.kind < 1 || cell.kind > WallTextureCount) return false;
        texels = scene.state.wallTextures[cell.kind].data();
        face.lastRow = WallTextureSize - 1;
        face.texShift = 7;
        static_assert(WallTextureSize == 1 << 7, "wall textures are 128 texels wide");
        // One texture spans 16 cells along a face and repeats.
        u = floorInt(8.0f * (ray.hitSide == 1 ? ray.y : ray.x)) & (WallTextureSize - 1);
    }
    if (bottom <= top) return false;
    // The texture steps by the face's whole height, clipped or not.
    face.vstep = (face.lastRow + 1.0f) / static_cast<float>(bottom - top);
    face.v = 0.0f;
    if (top < map.viewTop) {
        face.v = static_cast<float>(map.viewTop - top) * face.vstep;
        top = map.viewTop;
    }
    if (bottom > map.viewBottom) bottom = map.viewBottom;
    if (top > bottom) return false;
    face.top = static_cast<int>(top);
    face.bottom = static_cast<int>(bottom);
    face.texColumn = texels + u;

    // The light of the face's clipped lower end; headlights brighten the middle
    // columns while the engine runs, unless the bodywork is too damaged for them.
    const ViewTables& tables = scene.tables;
    float light = tables.rowLight[face.bottom];
    if (isOn(scene.shift.engineRunning) && scene.shift.damage[1] < 0.3f) {
        light = std::pow(tables.rowLight[face.bottom], tables.headlightExponent[column]);
    }
    const int shade = roundAny(16.0f * light);
    const bool dither = shade < 16 && !isOn(scene.shift.lowDetail);
    const uint8_t* level = tables.shadeByLevel.data() + 256 * shade;
    for (int r = 0; r < 4; ++r) face.shadeLevel[r] = level + (dither && ditherPixel(column, r) ? 256 : 0);
    return true;
}

// The texel for v: row round(v - 0.5), clamped to the texture at both ends (rounding
// is monotonic, so clamping before it is the same as after).
inline uint8_t faceTexel(const FaceSpan& face, float v) {
    float x = v - 0.5f;
    x = x > 0.0f ? x : 0.0f;
    x = x < face.lastRow ? x : face.lastRow;
    return face.texColumn[roundSmall(x) << face.texShift];
}

// A face drawn where other faces of the column may already be: every row checks and
// marks the mask.
void drawFaceMasked(const FaceSpan& face, uint8_t* pixel, ptrdiff_t pitch, uint8_t* mask) {
    float v = face.v;
    for (int row = face.top; row <= face.bottom; ++row, pixel += pitch, v += face.vstep) {
        if (mask[row]) continue;
        const uint8_t texel = faceTexel(face, v);
        if (texel == 0) continue;  // transparent: faces behind or the sky may show here
        *pixel = face.shadeLevel[row & 3][texel];
        mask[row] = 255;
    }
}

// The one face of a column whose ray met no see-through cell first: nothing of the
// column is drawn yet and nothing but the ground and sky follows, so the mask is
// neither read nor written. Returns the first row drawn (INT_MAX for none) and
// whether the last row was drawn, which is all the ground and the sky need to know.
int drawFaceAlone(const FaceSpan& face, uint8_t* pixel, ptrdiff_t pitch, bool& bottomDrawn) {
    float v = face.v;
    int row = face.top;
    // Transparent texels at the top let the sky down to the first drawn one.
    for (; row <= face.bottom && faceTexel(face, v) == 0; ++row, pixel += pitch, v += face.vstep) {
    }
    const int first = row;
    uint8_t texel = 0;
    // Four rows a turn, each with its own dither slot, once the rows line up.
    for (; row <= face.bottom && (row & 3) != 0; ++row, pixel += pitch, v += face.vstep) {
        texel = faceTexel(face, v);
        if (texel != 0) *pixel = face.shadeLevel[row & 3][texel];
    }
    const uint8_t *level0 = face.shadeLevel[0], *level1 = face.shadeLevel[1];
    const uint8_t *level2 = face.shadeLevel[2], *level3 = face.shadeLevel[3];
#if defined(__SSE2__)
    // The four v of a turn come from the same chain of additions as row by row; their
    // texel rows are then rounded and clamped side by side.
    const __m128 half = _mm_set1_ps(0.5f), last = _mm_set1_ps(face.lastRow), magic = _mm_set1_ps(12582912.0f);
    const __m128i magicBits = _mm_set1_epi32(0x4B400000), shift = _mm_cvtsi32_si128(face.texShift);
    alignas(16) int32_t at[4];
    for (; row + 3 <= face.bottom; row += 4, pixel += 4 * pitch) {
        const float v1 = v + face.vstep, v2 = v1 + face.vstep, v3 = v2 + face.vstep;
        const __m128 x = _mm_min_ps(_mm_max_ps(_mm_sub_ps(_mm_setr_ps(v, v1, v2, v3), half), _mm_setzero_ps()), last);
        _mm_store_si128(reinterpret_cast<__m128i*>(at),
                        _mm_sll_epi32(_mm_sub_epi32(_mm_castps_si128(_mm_add_ps(x, magic)), magicBits), shift));
        v = v3 + face.vstep;
        texel = face.texColumn[at[0]];
        if (texel != 0) pixel[0] = level0[texel];
        texel = face.texColumn[at[1]];
        if (texel != 0) pixel[pitch] = level1[texel];
        texel = face.texColumn[at[2]];
        if (texel != 0) pixel[2 * pitch] = level2[texel];
        texel = face.texColumn[at[3]];
        if (texel != 0) pixel[3 * pitch] = level3[texel];
    }
#else
    for (; row + 3 <= face.bottom; row += 4, pixel += 4 * pitch) {
        texel = faceTexel(face, v);
        if (texel != 0) pixel[0] = level0[texel];
        v += face.vstep;
        texel = faceTexel(face, v);
        if (texel != 0) pixel[pitch] = level1[texel];
        v += face.vstep;
        texel = faceTexel(face, v);
        if (texel != 0) pixel[2 * pitch] = level2[texel];
        v += face.vstep;
        texel = faceTexel(face, v);
        if (texel != 0) pixel[3 * pitch] = level3[texel];
        v += face.vstep;
    }
#endif
    for (; row <= face.bottom; ++row, pixel += pitch, v += face.vstep) {
        texel = faceTexel(face, v);
        if (texel != 0) *pixel = face.shadeLevel[row & 3][texel];
    }
    bottomDrawn = texel != 0;
    return first <= face.bottom ? first : std::numeric_limits<int>::max();
}

// Byte offset in the grid (5 x (x * MapSize + y)) of the ground cell seen on each of n rows:
// w = min(rowFloorDistance / travel, 1), the cell is (round(ex (1 - w) + hx w),
// round(ey (1 - w) + hy w)). Four rows at a time where SSE2 is there; the vector and
// the scalar path do the same single-precision operations, so they agree exactly.
void groundCells(const float* distance, int n, float travel, float ex, float ey, float hx, float hy, int32_t* index) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 travel4 = _mm_set1_ps(travel), one = _mm_set1_ps(1.0f), magic = _mm_set1_ps(12582912.0f);
    const __m128 ex4 = _mm_set1_ps(ex), ey4 = _mm_set1_ps(ey), hx4 = _mm_set1_ps(hx), hy4 = _mm_set1_ps(hy);
    const __m128i magicBits = _mm_set1_epi32(0x4B400000);
    for (; i + 4 <= n; i += 4) {
        const __m128 w = _mm_min_ps(_mm_div_ps(_mm_loadu_ps(distance + i), travel4), one);
        const __m128 rest = _mm_sub_ps(one, w);
        const __m128 fx = _mm_add_ps(_mm_mul_ps(ex4, rest), _mm_mul_ps(hx4, w));
        const __m128 fy = _mm_add_ps(_mm_mul_ps(ey4, rest), _mm_mul_ps(hy4, w));
        const __m128i gx = _mm_sub_epi32(_mm_castps_si128(_mm_add_ps(fx, magic)), magicBits);
        const __m128i gy = _mm_sub_epi32(_mm_castps_si128(_mm_add_ps(fy, magic)), magicBits);
        const __m128i cell = _mm_add_epi32(_mm_slli_epi32(gx, 11), gy);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index + i), _mm_add_epi32(_mm_slli_epi32(cell, 2), cell));
    }
#endif
    for (; i < n; ++i) {
        float w = distance[i] / travel;
        if (w > 1.0f) w = 1.0f;
        const int gx = roundSmall(ex * (1.0f - w) + hx * w);
        const int gy = roundSmall(ey * (1.0f - w) + hy * w);
        index[i] = 5 * (gx * MapSize + gy);
    }
}

struct GroundRun {
    const uint8_t* cellBytes;  // the grid as bytes
    const uint16_t* level;     // per row: 256 x shade level, dithered
    const uint8_t* shade;      // shadeByLevel
    ptrdiff_t pitch;
    // The assists' square the cab is inside (its centre cell; far off the grid when
    // none), and the colour of every other mark; read only by the Zone rows.
    int zoneX = 0, zoneY = 0;
    uint8_t markColour = 0;
};

// Whether a ground cell (its byte offset in the grid) lies in the 9 by 9 square round
// the zone's centre.
inline bool inZone(const GroundRun& run, int32_t offset) {
    const int cell = offset / static_cast<int32_t>(sizeof(MapCell));  // x * MapSize + y
    return std::abs(cell / MapSize - run.zoneX) <= 4 && std::abs(cell % MapSize - run.zoneY) <= 4;
}

// An assists' mark outside the square the cab is inside: the run's colour and black in a
// chequer of cells, which no paint on the road looks like.
inline uint8_t markColour(const GroundRun& run, int32_t offset) {
    const int cell = offset / static_cast<int32_t>(sizeof(MapCell));  // x * MapSize + y
    return ((cell / MapSize + cell % MapSize) & 1) != 0 ? ColourBlack : run.markColour;
}

// The ground pixels of count rows from row `first` (pixel is that row's), in chunks:
// the cells seen first (four rows at a time where SSE2 is there), then the pixels.
// Masked skips rows drawn by faces; Blink shows pick-up squares near-white. Zone (with
// Blink) is the assists' way: every mark steady and unshaded, in ColourInZone in the
// square the cab is inside and in markColour's chequer elsewhere, so that a square
// never reads as lane paint.
template <bool Masked, bool Blink, bool Zone = false>
void groundRows(const GroundRun& run, const float* distance, int count, float travel, float ex, float ey, float hx,
                float hy, uint8_t* pixel, int first, const uint8_t* mask) {
    constexpr int Chunk = 64;
    int32_t cells[Chunk];
    for (int done = 0; done < count; done += Chunk) {
        const int n = std::min(Chunk, count - done);
        groundCells(distance + done, n, travel, ex, ey, hx, hy, cells);
        const uint16_t* level = run.level + first + done;
        const uint8_t* maskRow = Masked ? mask + first + done : nullptr;
        for (int i = 0; i < n; ++i, pixel += run.pitch) {
            if (Masked && maskRow[i]) continue;
            const uint8_t* cell = run.cellBytes + cells[i];
            uint8_t colour = cell[0];
            if (Blink && (cell[2] & PickupMark)) {
                if (Zone) {
                    *pixel = inZone(run, cells[i]) ? ColourInZone : markColour(run, cells[i]);
                    continue;
                }
                colour = 22;
            }
            *pixel = run.shade[level[i] + colour];
        }
    }
}

// The ground of one column from startRow down. With a mask, rows drawn by faces are
// skipped; without one only the first row can be taken (by the face ending there).
void drawGround(const WorldViewScene& scene, const Body& ray, int column, int startRow, const uint8_t* mask,
                bool firstRowTaken) {
    static_assert(MapSize == 1 << 11, "ground cell indices shift x by 11 bits");
    static_assert(sizeof(MapCell) == 5 && offsetof(MapCell, flags) == 2, "ground cells are read as bytes");
    const CityMap& map = scene.map;
    const ViewTables& tables = scene.tables;
    const float travel = ray.travel;
    // Both ends of the ground line are kept inside the grid, so every cell looked up
    // between them is too.
    // fmin/fmax rather than clamp: a NaN (a car thrown to infinity) becomes an edge too.
    constexpr float edge = static_cast<float>(MapSize - 1);
    auto inGrid = [](float v) { return std::fmax(0.0f, std::fmin(v, edge)); };
    const float hx = inGrid(ray.x - 0.5f), hy = inGrid(ray.y - 0.5f);
    const float ex = inGrid(scene.player.x - 0.5f);
    const float ey = inGrid(scene.player.y - 0.5f);
    // Pick-up squares blink between near-white and their painted colour.
    const bool blink = (scene.shift.frameCounter & 1) == 0;
    // Each row's shade level with the dither of this column's parity already in it.
    const uint16_t* level = tables.groundLevel.data() + (isOn(scene.shift.lowDetail) ? 2 : column & 1) * tables.height;
    const uint8_t* shade = tables.shadeByLevel.data();
    const uint8_t* cellBytes = reinterpret_cast<const uint8_t*>(map.cells);
    const ptrdiff_t pitch = scene.target.pitch;
    // Only rows below the horizon show ground.
    int first = std::max({startRow, map.horizonRow + 1, map.viewTop});
    if (!mask && firstRowTaken && first == startRow) ++first;
    const int last = travel > 0.0f ? map.viewBottom : first - 1;
    if (first > last) return;
    uint8_t* pixel = scene.target.pixels + pitch * first + column;
    const GroundRun run{cellBytes, level, shade, pitch};
    const int count = last - first + 1;
    const float* distance = &tables.rowFloorDistance[first];
    if (scene.guide != nullptr) {
        GroundRun zone = run;
        const bool inside = scene.guide->inSquare;
        zone.zoneX = inside ? static_cast<int>(std::nearbyint(scene.guide->target.x)) : -MapSize;
        zone.zoneY = inside ? static_cast<int>(std::nearbyint(scene.guide->target.y)) : -MapSize;
        // Only the destination is marked while somebody is aboard.
        zone.markColour = scene.guide->aboard ? ColourGreen : ColourGold;
        if (mask) groundRows<true, true, true>(zone, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
        else groundRows<false, true, true>(zone, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
        return;
    }
    if (mask) {
        if (blink) groundRows<true, true>(run, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
        else groundRows<true, false>(run, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
    } else {
        if (blink) groundRows<false, true>(run, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
        else groundRows<false, false>(run, distance, count, travel, ex, ey, hx, hy, pixel, first, mask);
    }
}

}  // namespace

void drawWallColumn(const WorldViewScene& scene, const Body& ray, int column, int64_t top, int64_t bottom) {
    copyShadesByLevel(scene);
    FaceSpan face;
    if (!prepareFace(scene, ray, column, top, bottom, face)) return;
    drawFaceMasked(face, pixelAddress(scene.target, column, face.top), scene.target.pitch,
                   maskColumn(scene.tables, column));
}

void drawFloorColumn(const WorldViewScene& scene, const Body& ray, int column, int startRow) {
    copyShadesByLevel(scene);
    uint8_t* mask = maskColumn(scene.tables, column);
    drawGround(scene, ray, column, startRow, mask, false);
    // The ground leaves the mask free (faces are drawn before it), except its top row:
    // the sky of this column stops there.
    if (startRow >= 0 && startRow < scene.tables.height) mask[startRow] = 255;
}

namespace {

// Fills each column's rows above its skyStop (at most the top 240) from the sky
// picture, copied unshaded. Row by row, sixteen columns at a time where SSE2 is there.
void drawSkyRows(const WorldViewScene& scene) {
    const Image* sky = scene.state.skyImage;
    if (sky == nullptr || sky->pixels == nullptr || sky->bytesPerPixel != 1 || sky->width <= 0) return;
    const ViewTables& tables = scene.tables;
    // The sky picture covers half a turn and repeats twice round the horizon.
    int offset = roundAny(scene.player.heading / 3600.0 * 1280.0) % 640;
    if (offset < 0) offset += 640;
    const int16_t* stop = tables.skyStop.data();
    const int width = tables.width;
    const int rows = std::min({240, sky->height, tables.height, static_cast<int>(*std::max_element(stop, stop + width))});
    for (int row = 0; row < rows; ++row) {
        const uint8_t* from = pixelAddress(*sky, 0, row);
        uint8_t* to = pixelAddress(scene.target, 0, row);
        int c = 0, source = offset % sky->width;  // the sky column of screen column c
        auto one = [&] {
            if (row < stop[c]) to[c] = from[source];
            ++c;
            if (++source == sky->width) source = 0;
        };
#if defined(__SSE2__)
        const __m128i row8 = _mm_set1_epi16(static_cast<int16_t>(row));
        while (c + 16 <= width) {
            if (source + 16 > sky->width) {  // the picture wraps inside these columns
                for (int k = 0; k < 16; ++k) one();
                continue;
            }
            const __m128i lo = _mm_cmpgt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(stop + c)), row8);
            const __m128i hi = _mm_cmpgt_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(stop + c + 8)), row8);
            const __m128i take = _mm_packs_epi16(lo, hi);
            const __m128i skyBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + source));
            __m128i* out = reinterpret_cast<__m128i*>(to + c);
            _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(take, skyBytes), _mm_andnot_si128(take, _mm_loadu_si128(out))));
            c += 16;
            source += 16;
            if (source == sky->width) source = 0;
        }
#endif
        while (c < width) one();
    }
}

// Draws one column whose ray has made its first castStep (probeCell holds the cell
// reached): the faces front to back, then the ground, then the sky above them.
void drawColumn(const WorldViewScene& scene, Body& ray, int c) {
    CityMap& map = scene.map;
    uint8_t* mask = maskColumn(scene.tables, c);
    // A column whose first face stops the ray draws that face alone and keeps no
    // mask; one that meets see-through cells first marks every drawn row.
    const bool masked = hasFlag(map.probeCell, SeeThrough);
    if (masked) std::fill(mask, mask + scene.tables.height, 0);
    int firstDrawn = std::numeric_limits<int>::max();
    bool bottomDrawn = false;
    for (;;) {
        if (ray.travel <= 0.0f) break;
        const float h = 128.0f / ray.travel * map.projScale;
        int64_t top = roundWide(static_cast<float>(map.horizonRow) - map.eyeFactor * h);
        const int64_t bottom = roundWide(static_cast<float>(top) + h);
        // A vehicle face is a low band standing on the ground.
        if (hasFlag(map.probeCell, Vehicle)) {
            top = roundWide(static_cast<float>(top) + h * vehicleTopFactor(map.probeCell));
        }
        FaceSpan face;
        if (ray.travel < static_cast<float>(MaxViewDistance) && prepareFace(scene, ray, c, top, bottom, face)) {
            uint8_t* pixel = pixelAddress(scene.target, c, face.top);
            if (masked) {
                drawFaceMasked(face, pixel, scene.target.pitch, mask);
            } else {
                firstDrawn = drawFaceAlone(face, pixel, scene.target.pitch, bottomDrawn);
            }
        }
        if (hasFlag(map.probeCell, SeeThrough)) {
            // Pass through the rest of this object and anything else see-through behind
            // it, then draw the face reached.
            do {
                castStep(map, ray);
            } while (hasFlag(map.probeCell, SeeThrough));
            continue;
        }
        if (bottom < map.viewBottom) {
            const int startRow = static_cast<int>(bottom);
            drawGround(scene, ray, c, startRow, masked ? mask : nullptr, bottomDrawn);
            // The sky of this column stops at the top of the ground.
            if (masked) mask[startRow] = 255;
            firstDrawn = std::min(firstDrawn, startRow);
        }
        break;
    }
    if (masked) {
        firstDrawn = 0;
        while (firstDrawn < 240 && firstDrawn < scene.tables.height && mask[firstDrawn] == 0) ++firstDrawn;
    }
    scene.tables.skyStop[c] = static_cast<int16_t>(std::min(firstDrawn, 240));
}

// Low detail: every odd column of the view's rows takes its left neighbour's pixel.
void doubleColumns(const WorldViewScene& scene) {
    const CityMap& map = scene.map;
    const int width = scene.tables.width;
    for (int row = map.viewTop; row <= map.viewBottom; ++row) {
        uint8_t* line = pixelAddress(scene.target, 0, row);
        int c = 0;
#if defined(__SSE2__)
        // Sixteen pixels at a time: each even byte copied into the odd byte above it.
        const __m128i low = _mm_set1_epi16(0x00FF);
        for (; c + 16 <= width; c += 16) {
            const __m128i even = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + c)), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(line + c), _mm_or_si128(even, _mm_slli_epi16(even, 8)));
        }
#endif
        for (c += 1; c < width; c += 2) line[c] = line[c - 1];
    }
}

}  // namespace

void renderWorldView(const WorldViewScene& scene) {
    if (!viewReady(scene)) return;
    // The ray walk converts positions to ints: a cab thrown far outside the city (or to
    // a NaN) leaves the picture as it was rather than overflow.
    if (!(std::fabs(scene.player.x) < 1e6f && std::fabs(scene.player.y) < 1e6f)) return;
    CityMap& map = scene.map;
    const PlayerCar& player = scene.player;
    const int width = scene.tables.width;
    const bool lowDetail = isOn(scene.shift.lowDetail);
    copyShadesByLevel(scene);

    Body ray;
    beginRay(ray, player);
    rotateBody(ray, -30.0);
    const float step = 60.0f / static_cast<float>(width);
    const double playerAngle = headingRadians(player);
    // Columns are cast a few at a time and then drawn in order; each column's drawing
    // depends only on its own ray, so the picture is the same as one column at a time.
    constexpr int Batch = 16;
    Body rays[Batch];
    MapCell probes[Batch];
    int columns[Batch];
    int pending = 0;
    auto flush = [&] {
        castStepBatch(map, rays, probes, pending);
        for (int k = 0; k < pending; ++k) {
            map.probeCell = probes[k];
            drawColumn(scene, rays[k], columns[k]);
        }
        pending = 0;
    };
    for (int c = 0; c < width; ++c) {
        // Every column turns the ray, also the ones low detail skips.
        rotateBody(ray, step);
        if (lowDetail && (c & 1)) {
            scene.tables.skyStop[c] = 0;  // its left neighbour's pixels are copied over it
            continue;
        }
        Body& column = rays[pending];
        column = ray;
        column.x = player.x;
        column.y = player.y;
        column.travel = 0.0f;
        // Measuring along the view direction instead of along the ray keeps straight
        // walls straight.
        column.travelRate = static_cast<float>(std::cos(headingRadians(ray) - playerAngle));
        columns[pending++] = c;
        if (pending == Batch) flush();
    }
    if (pending > 0) flush();
    drawSkyRows(scene);
    if (lowDetail) doubleColumns(scene);
}

}  // namespace hc
