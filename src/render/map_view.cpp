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

// Half of an integer, rounded with halves to even.
inline int halfToEven(int s) {
    const int low = s >= 0 ? s / 2 : -((1 - s) / 2);  // floor(s / 2)
    if ((s & 1) == 0) return low;
    return (low & 1) == 0 ? low : low + 1;
}

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

    const int cabX = roundAny(player.x), cabY = roundAny(player.y);
    const int centreX = roundAny(width / 2.0), centreY = roundAny(height / 2.0);
    const ptrdiff_t pitch = target.pitch;
    for (int sy = 0; sy < height; ++sy) {
        uint8_t* line = pixelAddress(target, 0, sy);
        const int dy = sy - centreY;
        for (int sx = 0; sx < width; ++sx) {
            const int dx = sx - centreX;
            const int mx = cabX + dx + dy;
            if (mx <= 0 || mx >= MapSize - 1) continue;
            const int my = halfToEven(2 * (cabY + dy) - dx);
            if (my <= 0 || my >= MapSize - 1) continue;  // the outermost cells never show
            const MapCell& cell = map.cells[mx * MapSize + my];
            uint8_t c = (cell.flags & PickupMark) ? NearWhite : (cell.colour == 0 ? NearBlack : cell.colour);
            if (c == Black && cell.kind >= 1 && cell.kind <= WallTextureCount) {
                // A wall: a dark roof line 8 rows up, then the facade rising above the
                // cell, cut from every 16th row of its texture. Later rows are nearer
                // the viewer and paint over earlier ones.
                if (!(cell.flags & SeeThrough) && sy - FacadeHeight >= 0) line[sx - FacadeHeight * pitch] = RoofColour;
                const uint8_t* texels = state.wallTextures[cell.kind].data();
                const int u = (6 * mx + 8 * my) & (WallTextureSize - 1);
                for (int k = 0; k < FacadeHeight; ++k) {
                    const int r = sy - (FacadeHeight - 1) + k;
                    const uint8_t t = texels[16 * k * WallTextureSize + u];
                    if (r >= 0 && t != 0) line[sx + (r - sy) * pitch] = t;
                    c = t;
                }
            }
            line[sx] = c;  // for a wall, the facade's bottom texel even when it is 0
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
