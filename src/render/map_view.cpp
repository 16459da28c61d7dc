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
        int sy = d - firstX;
        // Twice the unrounded y of the cell; one step along the anti-diagonal (right
        // and up) takes 1.5 cells off it.
        int twiceY = 2 * (cabY + sy - centreY) - (firstX - centreX);
        uint8_t* pixel = pixelAddress(target, firstX, sy);
        for (int sx = firstX; sx <= lastX; ++sx, --sy, twiceY -= 3, pixel += 1 - pitch) {
            const int my = halfToEven(twiceY);
            if (my <= 0 || my >= MapSize - 1) continue;  // the outermost cells never show
            const MapCell& cell = column[my];
            uint8_t c = (cell.flags & PickupMark) ? NearWhite : (cell.colour == 0 ? NearBlack : cell.colour);
            if (c == Black && cell.kind >= 1 && cell.kind <= WallTextureCount) {
                // A wall: a dark roof line 8 rows up, then the facade rising above the
                // cell, cut from every 16th row of its texture. Cells lower on the
                // screen are nearer the viewer and paint over those above.
                const bool roof = !(cell.flags & SeeThrough);
                if (roof && sy >= FacadeHeight) pixel[-FacadeHeight * pitch] = RoofColour;
                const int u = (6 * mx + 8 * my) & (WallTextureSize - 1);
                const uint8_t* facade = state.wallTextures[cell.kind].data() + u;
                constexpr int texRows = 16 * WallTextureSize;  // 16 texture rows per facade row
                // Inside a building the wall one row down paints an opaque facade over
                // all of this one but its top row, and its roof over that: the pixels
                // come out the same without these writes.
                const MapCell* below = nullptr;
                const int belowY = halfToEven(twiceY + 2);
                if (sy + 1 < height && mx + 1 < MapSize - 1 && belowY < MapSize - 1) below = &column[MapSize + belowY];
                if (below && !(below->flags & PickupMark) && below->colour == Black && below->kind >= 1 &&
                    below->kind <= WallTextureCount &&
                    opaqueFacade[below->kind][(6 * (mx + 1) + 8 * belowY) & (WallTextureSize - 1)]) {
                    if ((below->flags & SeeThrough) && sy >= FacadeHeight - 1 && facade[0] != 0) {
                        pixel[-(FacadeHeight - 1) * pitch] = facade[0];
                    }
                    continue;
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
                c = facade[(FacadeHeight - 1) * texRows];  // the foot, written even when 0
            }
            *pixel = c;
        }
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
