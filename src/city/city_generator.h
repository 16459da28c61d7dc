#pragma once
#include <cstdint>

#include "city/city_map.h"

namespace hc {

// Colour c at brightness L / 16, as built by the colour tables at start-up.
using ShadeTableRef = const uint8_t (&)[256][17];

constexpr int DistrictSize = 256;
constexpr int DistrictsPerSide = MapSize / DistrictSize;

// What the generator chose for each district (i, j) (i along x): lots across x and y
// (1, 2 or 4; equal counts get a special layout) and the mirror choice (bit 0: mirrored
// in x, bit 1: in y). For tools and tests that look for particular places.
struct CityPlan {
    uint8_t lotsX[DistrictsPerSide][DistrictsPerSide] = {};
    uint8_t lotsY[DistrictsPerSide][DistrictsPerSide] = {};
    uint8_t mirror[DistrictsPerSide][DistrictsPerSide] = {};
};

// Fills the whole grid with a new random city: 8 x 8 districts cut into building lots
// with 32-cell streets between them, a post and sometimes a special layout with a
// parked vehicle in each district, lane lines, street light and a boundary wall. Draws
// every random number from the shared source, so a seeded source replays a city.
void generateCityMap(CityMap& map, ShadeTableRef shadeTable, CityPlan* plan = nullptr);

// Light level (8 to 16) of the ground at (x, y): brightest where x and y are both
// multiples of 64, half brightness in the middle of each 64 x 64 square.
int groundLightLevel(int x, int y);

}  // namespace hc
