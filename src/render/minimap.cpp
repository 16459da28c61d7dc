// The cockpit's small navigation screen.
#include "render/minimap.h"

#include <cmath>

#include "core/colours.h"
#include "render/view_rounding.h"

namespace hc {

namespace {

// One axis of the window: start at 0 or at the far edge when the cab is within half a
// window of it, else centred (rounded) on the cab.
int windowStart(float position, int zoom, int samples) {
    const int half = samples / 2 * zoom;
    const int last = MapSize - samples * zoom;
    if (position < static_cast<float>(half)) return 0;
    if (position > static_cast<float>(MapSize - half)) return last;
    const int start = roundAny(static_cast<double>(position) - half);
    // Only an undefined position gets here out of range; keep every sample on the grid.
    return start < 0 ? 0 : (start > last ? last : start);
}

}  // namespace

int minimapZoom(const Shift& shift) { return isOn(shift.minimapZoom) ? 4 : 2; }

MinimapWindow minimapWindow(const PlayerCar& player, int zoom) {
    return {windowStart(player.x, zoom, MinimapColumns), windowStart(player.y, zoom, MinimapRows)};
}

void drawMinimap(const CityMap& map, const PlayerCar& player, const Shift& shift, const FontSet& font,
                 Image& target) {
    const int sx0 = target.width - 100, sy0 = target.height - 88;
    if (!isOn(shift.engineRunning)) {
        const bool overheated = shift.engineHeat > 4.0f;
        printText(font, target, sx0 + 2, sy0 + 2, overheated ? "engine" : "systems off", 3);
        printText(font, target, sx0 + 2, sy0 + 12, overheated ? "overheat" : "", 3);
        return;
    }

    const int z = minimapZoom(shift);
    const MinimapWindow window = minimapWindow(player, z);
    const auto fz = static_cast<float>(z);

    // Passability of the previous column's samples, with one extra entry above the top
    // row; the panel's border counts as passable.
    bool prevStore[MinimapRows + 1];
    for (bool& p : prevStore) p = true;
    bool* prev = prevStore + 1;

    int qx = sx0 + MinimapColumns / 2, qy = sy0 + MinimapRows / 2;
    for (int i = 0; i < MinimapColumns; ++i) {
        const int cellX = window.x0 + z * i;
        const MapCell* column = &cellAt(map, cellX, window.y0);
        const bool cabColumn = std::fabs(player.x - static_cast<float>(cellX)) < fz;
        for (int j = 0; j < MinimapRows; ++j) {
            const MapCell& cell = column[z * j];
            const int px = sx0 + i, py = sy0 + j;
            if (cabColumn && std::fabs(player.y - static_cast<float>(window.y0 + z * j)) < fz) {
                qx = px;
                qy = py;
            }
            const bool passable = hasFlag(cell, Passable);
            if (hasFlag(cell, PickupMark)) {
                plotPixel(target, px, py, ColourNearWhite);
            } else if (passable != prev[j] || passable != prev[j - 1]) {
                plotPixel(target, px, py, ColourCrimson);
            }
            prev[j] = passable;
        }
    }

    // The cab: a small arrowhead along its heading.
    double a = headingRadians(player);
    const double tx = qx + 4 * std::cos(a), ty = qy + 4 * std::sin(a);
    a -= 1.570795;
    const double lx = qx + 2 * std::cos(a), ly = qy + 2 * std::sin(a);
    a += 3.14159;
    const double rx = qx + 2 * std::cos(a), ry = qy + 2 * std::sin(a);
    drawLine(target, roundAny(tx), roundAny(ty), roundAny(lx), roundAny(ly), ColourNearWhite);
    drawLine(target, roundAny(lx), roundAny(ly), roundAny(rx), roundAny(ry), ColourNearWhite);
    drawLine(target, roundAny(tx), roundAny(ty), roundAny(rx), roundAny(ry), ColourNearWhite);
}

}  // namespace hc
