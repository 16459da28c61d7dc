#include "render/map_view.h"

#include <cmath>
#include <cstring>

#include "render/view_rounding.h"

namespace hc {

namespace {

constexpr uint8_t Black = 255;
constexpr uint8_t NearBlack = 1;
constexpr uint8_t NearWhite = 22;
constexpr uint8_t RoofColour = 64;
constexpr int FacadeHeight = 8;

// Half of an integer, rounded with halves to even: floor(s / 2), plus one when s is
// odd and that floor is odd.
inline int halfToEven(int s) { return (s >> 1) + (s & (s >> 1) & 1); }

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
    fillRows(target, 0, height - 1, Black);

    // Texture columns whose facade rows 0..6 are all opaque.
    bool opaqueFacade[WallTextureCount + 1][WallTextureSize];
    for (int kind = 1; kind <= WallTextureCount; ++kind) {
        for (int u = 0; u < WallTextureSize; ++u) {
            bool opaque = true;
            for (int k = 0; k < FacadeHeight - 1; ++k) opaque = opaque && state.wallTextures[kind][16 * k * WallTextureSize + u] != 0;
            opaqueFacade[kind][u] = opaque;
        }
    }
    const int cabX = roundAny(player.x), cabY = roundAny(player.y);
    const int centreX = roundAny(width / 2.0), centreY = roundAny(height / 2.0);
    const ptrdiff_t pitch = target.pitch;
    // A cab thrown far outside the city (or to a NaN) sees no cell of the grid; the
    // cell arithmetic below would overflow for it.
    const bool nearGrid = std::fabs(player.x) < 1e6f && std::fabs(player.y) < 1e6f;
    // A pixel's facade and roof only ever land in its own screen column, so the
    // painter's order (top to bottom) matters within a column only. Walking the screen
    // by anti-diagonals (sx + sy constant) keeps that order, and every anti-diagonal
    // shows one column of the grid (constant x), which lies contiguous in memory.
    for (int d = 0; nearGrid && d <= width + height - 2; ++d) {
        const int firstX = d - (height - 1) > 0 ? d - (height - 1) : 0;
        const int lastX = d < width - 1 ? d : width - 1;
        const int mx = cabX + d - centreX - centreY;
        if (mx <= 0 || mx >= MapSize - 1) continue;  // the outermost cells never show
        const MapCell* column = &map.cells[mx * MapSize];
        const bool belowInGrid = mx + 1 < MapSize - 1;
        const int sy0 = d - firstX;
        // Twice the unrounded y of the cell at firstX; one step along the anti-diagonal
        // (right and up) takes 1.5 cells off it, so four steps take exactly 6 and the
        // rounded y repeats its pattern every four pixels: my0[k] - 6 m at step 4 m + k.
        // belowY is the same for the pixel one row down, on the next anti-diagonal.
        const int twiceY = 2 * (cabY + sy0 - centreY) - (firstX - centreX);
        int my0[4], below0[4];
        for (int k = 0; k < 4; ++k) {
            my0[k] = halfToEven(twiceY - 3 * k);
            below0[k] = halfToEven(twiceY + 2 - 3 * k);
        }
        auto draw = [&](int my, int belowY, int sy, uint8_t* pixel) {
            if (static_cast<unsigned>(my - 1) >= static_cast<unsigned>(MapSize - 2)) return;  // the outermost cells never show
            const MapCell& cell = column[my];
            uint8_t c = (cell.flags & PickupMark) ? NearWhite : (cell.colour == 0 ? NearBlack : cell.colour);
            if (c != Black || cell.kind < 1 || cell.kind > WallTextureCount) {
                *pixel = c;
                return;
            }
            // A wall: a dark roof line 8 rows up, then the facade rising above the
            // cell, cut from every 16th row of its texture. Cells lower on the screen
            // are nearer the viewer and paint over those above.
            const bool roof = !(cell.flags & SeeThrough);
            if (roof && sy >= FacadeHeight) pixel[-FacadeHeight * pitch] = RoofColour;
            const int u = (6 * mx + 8 * my) & (WallTextureSize - 1);
            const uint8_t* facade = state.wallTextures[cell.kind].data() + u;
            constexpr int texRows = 16 * WallTextureSize;  // 16 texture rows per facade row
            // Inside a building the wall one row down paints an opaque facade over all
            // of this one but its top row, and its roof over that: the pixels come out
            // the same without these writes.
            if (sy + 1 < height && belowInGrid && belowY < MapSize - 1) {
                const MapCell& below = column[MapSize + belowY];
                if (!(below.flags & PickupMark) && below.colour == Black && below.kind >= 1 &&
                    below.kind <= WallTextureCount &&
                    opaqueFacade[below.kind][(6 * (mx + 1) + 8 * belowY) & (WallTextureSize - 1)]) {
                    if ((below.flags & SeeThrough) && sy >= FacadeHeight - 1 && facade[0] != 0) {
                        pixel[-(FacadeHeight - 1) * pitch] = facade[0];
                    }
                    return;
                }
            }
            if (sy >= FacadeHeight - 1) {
                uint8_t* top = pixel - (FacadeHeight - 1) * pitch;
#pragma GCC unroll 8
                for (int k = 0; k < FacadeHeight - 1; ++k) {
                    const uint8_t t = facade[k * texRows];
                    if (t != 0) top[k * pitch] = t;
                }
            } else {
                for (int k = FacadeHeight - 1 - sy; k < FacadeHeight - 1; ++k) {
                    const uint8_t t = facade[k * texRows];
                    if (t != 0) pixel[(k - (FacadeHeight - 1)) * pitch] = t;
                }
            }
            *pixel = facade[(FacadeHeight - 1) * texRows];  // the foot, written even when 0
        };
        const int count = lastX - firstX + 1;
        const ptrdiff_t step = 1 - pitch;
        uint8_t* pixel = pixelAddress(target, firstX, sy0);
        int i = 0;
        for (; i + 4 <= count; i += 4, pixel += 4 * step) {
            const int m = 6 * (i >> 2);
            draw(my0[0] - m, below0[0] - m, sy0 - i, pixel);
            draw(my0[1] - m, below0[1] - m, sy0 - i - 1, pixel + step);
            draw(my0[2] - m, below0[2] - m, sy0 - i - 2, pixel + 2 * step);
            draw(my0[3] - m, below0[3] - m, sy0 - i - 3, pixel + 3 * step);
        }
        for (; i < count; ++i, pixel += step) draw(my0[i & 3] - 6 * (i >> 2), below0[i & 3] - 6 * (i >> 2), sy0 - i, pixel);
    }
    fillRows(target, height - FacadeHeight < 0 ? 0 : height - FacadeHeight, height - 1, Black);

    // The cab: an arrow along its heading, turned into the projection.
    double a = headingRadians(player) + 0.3926988;
    const int tipX = roundAny(centreX + 6 * std::cos(a)), tipY = roundAny(centreY + 6 * std::sin(a));
    a -= 1.570795;
    const int leftX = roundAny(centreX + 3 * std::cos(a)), leftY = roundAny(centreY + 3 * std::sin(a));
    a += 3.14159;
    const int rightX = roundAny(centreX + 3 * std::cos(a)), rightY = roundAny(centreY + 3 * std::sin(a));
    drawLine(target, tipX, tipY, leftX, leftY, NearWhite);
    drawLine(target, leftX, leftY, rightX, rightY, NearWhite);
    drawLine(target, tipX, tipY, rightX, rightY, NearWhite);
}

}  // namespace hc
