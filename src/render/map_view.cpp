#include "render/map_view.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/colours.h"
#include "render/view_rounding.h"

namespace hc {

namespace {

constexpr uint8_t RoofColour = 64;
constexpr int FacadeHeight = 8;

// Half of an integer, rounded with halves to even: floor(s / 2), plus one when s is
// odd and that floor is odd.
inline int halfToEven(int s) { return (s >> 1) + (s & (s >> 1) & 1); }

// floor(a / b) and ceil(a / b) for b > 0.
inline int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int ceilDiv(int a, int b) { return -floorDiv(-a, b); }

struct MapPass {
    const GameState& state;
    uint16_t* taken;  // per screen column: bit j set when row sy - j holds its final value
    ptrdiff_t pitch;
    int u0;           // 6 x the grid column of the current anti-diagonal
};

// One pixel of the map view, drawn back to front: rows that already hold their final
// value are left alone. The cell lies inside the shown grid; NearTop when the pixel may
// be within 8 rows of the top of the screen.
template <bool NearTop>
inline void mapPixel(const MapPass& pass, uint16_t* taken, int sy, int my, const uint8_t* cell, uint8_t* pixel) {
    static_assert(sizeof(MapCell) == 5 && offsetof(MapCell, kind) == 1 && offsetof(MapCell, flags) == 2,
                  "map cells are read as bytes");
    constexpr int texRows = 16 * WallTextureSize;  // 16 texture rows per facade row
    const ptrdiff_t pitch = pass.pitch;
    unsigned rows = *taken >> 1u;  // one row further up than at the pixel below
    uint32_t bytes;  // colour, kind, flags and one more byte of the 5-byte cell
    std::memcpy(&bytes, cell, sizeof bytes);
    const uint8_t colour = bytes & 0xFF, kind = (bytes >> 8) & 0xFF, flags = (bytes >> 16) & 0xFF;
    if ((bytes & (PickupMark << 16 | 0xFF)) == ColourBlack && static_cast<unsigned>(kind - 1) < WallTextureCount) {
        // A wall: a dark roof line 8 rows up (no other write can have reached that row
        // yet), then the facade rising above the cell, cut from every 16th row of its
        // texture; texture row 112 falls on the cell's own pixel and is written even
        // when 0.
        if (!(flags & SeeThrough) && (!NearTop || sy >= FacadeHeight)) {
            pixel[-FacadeHeight * pitch] = RoofColour;
            rows |= 1u << FacadeHeight;
        }
        if ((rows & 0xFF) != 0xFF) {
            const uint8_t* facade = pass.state.wallTextures[kind].data() + ((pass.u0 + 8 * my) & (WallTextureSize - 1));
            if (!(rows & 1)) *pixel = facade[(FacadeHeight - 1) * texRows];
            for (int j = 1; j < FacadeHeight && (!NearTop || j <= sy); ++j) {
                const uint8_t t = facade[(FacadeHeight - 1 - j) * texRows];
                if (!(rows >> j & 1) && t != 0) {
                    pixel[-j * pitch] = t;
                    rows |= 1u << j;
                }
            }
            rows |= 1;
        }
    } else if (!(rows & 1)) {
        // Pick-up squares near-white, vehicles (colour 0) near-black.
        const uint8_t shown = static_cast<uint8_t>(colour + (colour == 0));
        *pixel = (flags & PickupMark) ? ColourNearWhite : shown;
        rows |= 1;
    }
    *taken = static_cast<uint16_t>(rows);
}

#if defined(__SSE2__)
// Four pixels of a group at once, for the two common cases; returns false for any
// other mix, which is then drawn pixel by pixel. The cells are at cell + to[k], the
// pixels at at + k step, their columns' records at rows[k].
//   Inside a building: four solid walls (colour 255, no pick-up mark, not see-through,
//   a wall texture) whose rows up to 7 above are final need their roof lines only.
//   Open ground: four cells that are not walls take their colours (near-white for
//   pick-up marks, near-black for colour 0) where their own rows are still free.
inline bool drawGroupOfFour(const uint8_t* cell, ptrdiff_t to1, ptrdiff_t to2, ptrdiff_t to3, uint16_t* rows,
                            uint8_t* at, ptrdiff_t step, ptrdiff_t pitch) {
    // Gathered in registers: four small stores read back as one vector would stall.
    auto word = [](const uint8_t* at) {
        int32_t w;
        std::memcpy(&w, at, sizeof w);
        return w;
    };
    const __m128i words = _mm_setr_epi32(word(cell), word(cell + to1), word(cell + to2), word(cell + to3));
    const __m128i pickup = _mm_cmpeq_epi32(_mm_and_si128(words, _mm_set1_epi32(PickupMark << 16)), _mm_set1_epi32(PickupMark << 16));
    const __m128i colour = _mm_and_si128(words, _mm_set1_epi32(0xFF));
    const __m128i kind = _mm_and_si128(_mm_srli_epi32(words, 8), _mm_set1_epi32(0xFF));
    const __m128i kindOk = _mm_and_si128(_mm_cmpgt_epi32(kind, _mm_setzero_si128()),
                                         _mm_cmplt_epi32(kind, _mm_set1_epi32(WallTextureCount + 1)));
    const __m128i wall = _mm_andnot_si128(pickup, _mm_and_si128(_mm_cmpeq_epi32(colour, _mm_set1_epi32(ColourBlack)), kindOk));
    const __m128i taken = _mm_srli_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows)), 1);
    // Each 16-bit record answer widened to its 32-bit lane.
    auto lanes = [](__m128i words16) { return _mm_unpacklo_epi16(words16, words16); };
    const int walls = _mm_movemask_ps(_mm_castsi128_ps(wall));
    if (walls == 15) {
        const __m128i solid = _mm_cmpeq_epi32(_mm_and_si128(words, _mm_set1_epi32(SeeThrough << 16)), _mm_setzero_si128());
        const __m128i covered = lanes(_mm_cmpeq_epi16(_mm_and_si128(taken, _mm_set1_epi16(0xFF)), _mm_set1_epi16(0xFF)));
        if (_mm_movemask_ps(_mm_castsi128_ps(_mm_and_si128(solid, covered))) != 15) return false;
        const ptrdiff_t roof = -FacadeHeight * pitch;
        at[roof] = RoofColour;
        at[step + roof] = RoofColour;
        at[2 * step + roof] = RoofColour;
        at[3 * step + roof] = RoofColour;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(rows), _mm_or_si128(taken, _mm_set1_epi16(1 << FacadeHeight)));
        return true;
    }
    if (walls != 0) return false;
    const __m128i free = lanes(_mm_cmpeq_epi16(_mm_and_si128(taken, _mm_set1_epi16(1)), _mm_setzero_si128()));
    const int freeLanes = _mm_movemask_ps(_mm_castsi128_ps(free));
    // colour + 1 where it is 0 (cmpeq gives -1), then near-white where marked
    const __m128i shown = _mm_sub_epi32(colour, _mm_cmpeq_epi32(colour, _mm_setzero_si128()));
    const __m128i value = _mm_or_si128(_mm_and_si128(pickup, _mm_set1_epi32(ColourNearWhite)), _mm_andnot_si128(pickup, shown));
    uint32_t bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(value, value), value)));
    if (freeLanes != 15) {
        // Ground just above a building, partly under its facades: the covered pixels
        // keep what they hold.
        const uint32_t fresh = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packs_epi16(_mm_packs_epi32(free, free), free)));
        const uint32_t held = at[0] | at[step] << 8 | at[2 * step] << 16 | static_cast<uint32_t>(at[3 * step]) << 24;
        bytes = (bytes & fresh) | (held & ~fresh);
    }
    at[0] = static_cast<uint8_t>(bytes);
    at[step] = static_cast<uint8_t>(bytes >> 8);
    at[2 * step] = static_cast<uint8_t>(bytes >> 16);
    at[3 * step] = static_cast<uint8_t>(bytes >> 24);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(rows), _mm_or_si128(taken, _mm_set1_epi16(1)));
    return true;
}
#endif

void fillRows(Image& target, int firstRow, int lastRow, uint8_t colour) {
    for (int row = firstRow; row <= lastRow; ++row) {
        std::memset(pixelAddress(target, 0, row), colour, static_cast<size_t>(target.width));
    }
}

}  // namespace

MapViewCell mapViewCell(int cabX, int cabY, int centreX, int centreY, int sx, int sy) {
    const int dx = sx - centreX, dy = sy - centreY;
    // my = round(cabY + dy - dx / 2), worked in halves so that ties go to even.
    return {cabX + dx + dy, halfToEven(2 * (cabY + dy) - dx)};
}

void drawMapView(const CityMap& map, const PlayerCar& player, const GameState& state, Image& target) {
    if (target.pixels == nullptr || target.bytesPerPixel != 1 || target.width <= 0 || target.height <= 0) return;
    const int width = target.width, height = target.height;

    const int cabX = roundAny(player.x), cabY = roundAny(player.y);
    const int centreX = roundAny(width / 2.0), centreY = roundAny(height / 2.0);
    const ptrdiff_t pitch = target.pitch;
    // A cab thrown far outside the city (or to a NaN) sees no cell of the grid; the
    // cell arithmetic below would overflow for it.
    const bool nearGrid = std::fabs(player.x) < 1e6f && std::fabs(player.y) < 1e6f;
    if (!nearGrid) fillRows(target, 0, height - 1, ColourBlack);
    // A pixel's roof and facade only ever land in its own screen column, up to 8 rows
    // above it, and the painter's order (top to bottom, the last write wins) matters
    // within a column only. The screen is walked by anti-diagonals (sx + sy constant),
    // each showing one column of the grid (constant x), which lies contiguous in
    // memory; and walked backwards, from the bottom-right one to the top-left one, so
    // that the first write to a pixel is the one that stays. Each screen column keeps
    // which of its nine rows from the current one up already hold their final value,
    // so that inside a building, where the walls below have covered everything but the
    // roof line, a wall costs one write.
    static thread_local std::vector<uint16_t> takenRows;
    takenRows.assign(static_cast<size_t>(width), 0);
    MapPass pass{state, takenRows.data(), pitch, 0};
    for (int d = width + height - 2; nearGrid && d >= 0; --d) {
        const int firstX = d - (height - 1) > 0 ? d - (height - 1) : 0;
        const int lastX = d < width - 1 ? d : width - 1;
        const int count = lastX - firstX + 1;
        const int mx = cabX + d - centreX - centreY;
        const int sy0 = d - firstX;
        // Twice the unrounded y of the cell at firstX; one step along the anti-diagonal
        // (right and up) takes 1.5 cells off it.
        const int twiceY = 2 * (cabY + sy0 - centreY) - (firstX - centreX);
        // The steps whose cell lies inside the shown grid, 0 < mx, my < MapSize - 1
        // (the outermost cells never show): 2 <= twiceY - 3 i <= 2 MapSize - 3.
        int first = std::max(0, ceilDiv(twiceY - (2 * MapSize - 3), 3));
        int last = std::min(count - 1, floorDiv(twiceY - 2, 3));
        if (mx <= 0 || mx >= MapSize - 1) first = count, last = count - 1;
        uint16_t* taken = pass.taken + firstX;
        const ptrdiff_t step = 1 - pitch;
        uint8_t* pixel = pixelAddress(target, firstX, sy0);
        // A pixel with no cell stays black, unless a facade from below has covered it.
        auto noCell = [&](int i) {
            const unsigned rows = taken[i] >> 1u;
            if (!(rows & 1)) pixel[i * step] = ColourBlack;
            taken[i] = static_cast<uint16_t>(rows | 1);
        };
        for (int i = 0; i < std::min(first, count); ++i) noCell(i);
        for (int i = std::max(last + 1, 0); i < count; ++i) noCell(i);
        if (first > last) continue;
        pass.u0 = 6 * mx;
        const uint8_t* column = reinterpret_cast<const uint8_t*>(&map.cells[mx * MapSize]);
        // Rows from 8 down need no test against the top of the screen. Four steps take
        // exactly 6 off the rounded y, so a group of four repeats the previous one's
        // pattern 6 cells further back.
        const int fastLast = std::min(last, sy0 - FacadeHeight);
        int i = first;
        if (i + 3 <= fastLast) {
            int my0 = halfToEven(twiceY - 3 * i), my1 = halfToEven(twiceY - 3 * (i + 1));
            int my2 = halfToEven(twiceY - 3 * (i + 2)), my3 = halfToEven(twiceY - 3 * (i + 3));
            uint8_t* at = pixel + i * step;
            uint16_t* rows = taken + i;
            const uint8_t* cell = column + sizeof(MapCell) * my0;
            // The other three cells of a group lie a fixed distance from the first.
            const ptrdiff_t to1 = sizeof(MapCell) * (my1 - my0), to2 = sizeof(MapCell) * (my2 - my0);
            const ptrdiff_t to3 = sizeof(MapCell) * (my3 - my0);
            const int dy1 = my1 - my0, dy2 = my2 - my0, dy3 = my3 - my0;
            const ptrdiff_t nextColumn = MapSize * static_cast<ptrdiff_t>(sizeof(MapCell));
            for (; i + 3 <= fastLast; i += 4, my0 -= 6, at += 4 * step, rows += 4, cell -= 6 * sizeof(MapCell)) {
                // The next anti-diagonal reads the column before this one, over about
                // the same rows: ask for it now, so that it arrives while this one draws.
                __builtin_prefetch(cell - nextColumn);
#if defined(__SSE2__)
                if (drawGroupOfFour(cell, to1, to2, to3, rows, at, step, pitch)) continue;
#endif
                mapPixel<false>(pass, rows, 0, my0, cell, at);
                mapPixel<false>(pass, rows + 1, 0, my0 + dy1, cell + to1, at + step);
                mapPixel<false>(pass, rows + 2, 0, my0 + dy2, cell + to2, at + 2 * step);
                mapPixel<false>(pass, rows + 3, 0, my0 + dy3, cell + to3, at + 3 * step);
            }
        }
        for (; i <= last; ++i) {
            const int my = halfToEven(twiceY - 3 * i);
            mapPixel<true>(pass, taken + i, sy0 - i, my, column + sizeof(MapCell) * my, pixel + i * step);
        }
    }
    fillRows(target, height - FacadeHeight < 0 ? 0 : height - FacadeHeight, height - 1, ColourBlack);

    // The cab: an arrow along its heading, turned into the projection.
    double a = headingRadians(player) + 0.3926988;
    const int tipX = roundAny(centreX + 6 * std::cos(a)), tipY = roundAny(centreY + 6 * std::sin(a));
    a -= 1.570795;
    const int leftX = roundAny(centreX + 3 * std::cos(a)), leftY = roundAny(centreY + 3 * std::sin(a));
    a += 3.14159;
    const int rightX = roundAny(centreX + 3 * std::cos(a)), rightY = roundAny(centreY + 3 * std::sin(a));
    drawLine(target, tipX, tipY, leftX, leftY, ColourNearWhite);
    drawLine(target, leftX, leftY, rightX, rightY, ColourNearWhite);
    drawLine(target, tipX, tipY, rightX, rightY, ColourNearWhite);
}

}  // namespace hc
