#pragma once

#include "assets/font.h"
#include "city/city_map.h"
#include "core/body.h"
#include "core/records.h"
#include "draw/image.h"

namespace hc {

// The dashboard's navigation screen: 100 x 80 samples of the grid around the cab,
// drawn over the cockpit with its top-left corner 100 pixels from the right and 88
// from the bottom of the target.
constexpr int MinimapColumns = 100;
constexpr int MinimapRows = 80;

// Cells per sample: 2, or 4 with the zoom switch on.
int minimapZoom(const Shift& shift);

// The grid cell of sample (0, 0): the window is centred on the cab unless it would
// leave the grid.
struct MinimapWindow {
    int x0;
    int y0;
};
MinimapWindow minimapWindow(const PlayerCar& player, int zoom);

// Street outlines in crimson where passable and blocked samples meet (the panel's top
// and left edges count as passable), pick-up squares and the cab's arrow in near-white.
// With the engine off the screen shows "systems off", or "engine" / "overheat" after
// the engine stopped from heat.
void drawMinimap(const CityMap& map, const PlayerCar& player, const Shift& shift, const FontSet& font,
                 Image& target);

}  // namespace hc
