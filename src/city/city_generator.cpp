#include "city/city_generator.h"

#include <cmath>
#include <cstdlib>

#include "core/random.h"
#include "core/system.h"

namespace hc {

namespace {

MapCell groundTemplate() {
    MapCell cell{};
    makeGroundCell(cell);
    return cell;
}

MapCell wallTemplate(uint8_t kind) {
    MapCell cell{};
    makeWallCell(cell, kind);
    return cell;
}

// Low walls are see-through outlines that a car still cannot enter.
MapCell lowWallTemplate(uint8_t kind) {
    MapCell cell{};
    makeLowWallCell(cell, kind);
    setCellFlag(cell, Passable, false);
    return cell;
}

// A kerbside enclosure and a car parked in the street (4 x 4 lots).
void buildEnclosureLayout(CityMap& map, int a, int b) {
    fillRect(map, lowWallTemplate(16), a + 48, b + 24, a + 56, b + 39);
    MapCell floor = groundTemplate();
    setCellFlag(floor, Passable, false);
    fillRect(map, floor, a + 49, b + 25, a + 55, b + 38);
    placeParkedVehicle(map, a + 164, b + 75);
}

// A walled courtyard with pillars and a gate in the lot at the district's low corner
// (2 x 2 lots).
void buildCourtyardLayout(CityMap& map, int a, int b) {
    const MapCell wall = wallTemplate(15);
    const MapCell ground = groundTemplate();
    fillRect(map, wall, a + 17, b + 17, a + 110, b + 110);
    fillRect(map, ground, a + 18, b + 18, a + 109, b + 109);
    for (int p = 32; p <= 96; p += 16) {
        for (int q = 32; q <= 96; q += 16) cellAt(map, a + p, b + q) = wall;
    }
    MapCell gate = wallTemplate(14);
    setCellFlag(gate, Passable, true);
    fillRect(map, gate, a + 16, b + 48, a + 16, b + 63);
    fillRect(map, ground, a + 17, b + 48, a + 17, b + 63);
    placeParkedVehicle(map, a + 104, b + 23);
}

// An open square with a tower on a podium, a driveway in from the street and an
// enclosure (one big lot).
void buildSquareLayout(CityMap& map, int a, int b) {
    const MapCell podium = lowWallTemplate(18);
    const MapCell ground = groundTemplate();
    fillRect(map, ground, a + 48, b + 48, a + 208, b + 208);
    fillRect(map, podium, a + 80, b + 80, a + 176, b + 176);
    fillRect(map, wallTemplate(15), a + 96, b + 96, a + 160, b + 160);
    fillRect(map, ground, a + 112, b + 16, a + 143, b + 84);
    fillRect(map, lowWallTemplate(16), a + 48, b + 152, a + 56, b + 167);
    placeParkedVehicle(map, a + 54, b + 54);
}

void buildDistrict(CityMap& map, int i, int j, CityPlan* plan) {
    const int a = DistrictSize * i, b = DistrictSize * j;
    const int nx = 1 << randomChoice(3);
    const int ny = 1 << randomChoice(3);
    const int stepX = DistrictSize / nx;
    const int stepY = DistrictSize / ny;
    // Lots keep a 16-cell margin, so neighbouring margins make a 32-cell street.
    for (int x0 = a; x0 <= a + DistrictSize - 1; x0 += stepX) {
        for (int y0 = b; y0 <= b + DistrictSize - 1; y0 += stepY) {
            const uint8_t kind = static_cast<uint8_t>(randomChoice(11) + 1);
            fillRect(map, wallTemplate(kind), x0 + 16, y0 + 16, x0 + stepX - 17, y0 + stepY - 17);
        }
    }
    fillRect(map, wallTemplate(19), a + 14, b + 32, a + 15, b + 33);
    if (nx == ny) {
        if (nx == 4) buildEnclosureLayout(map, a, b);
        if (nx == 2) buildCourtyardLayout(map, a, b);
        if (nx == 1) buildSquareLayout(map, a, b);
    }
    const int mirror = randomChoice(4);
    if (plan) {
        plan->lotsX[i][j] = static_cast<uint8_t>(nx);
        plan->lotsY[i][j] = static_cast<uint8_t>(ny);
        plan->mirror[i][j] = static_cast<uint8_t>(mirror);
    }
    if (mirror == 1 || mirror == 3) mirrorBlockX(map, a, b, a + DistrictSize - 1, b + DistrictSize - 1);
    if (mirror == 2 || mirror == 3) mirrorBlockY(map, a, b, a + DistrictSize - 1, b + DistrictSize - 1);
}

// Edge lines 10 cells each side of the streets centred on multiples of 128, and the
// centre dashes of those streets (7 painted, 5 left, restarting at every multiple of
// 128 so that a 15-cell dash runs through each crossing).
uint8_t markedColour(uint8_t colour, int x, int y) {
    const int u = x % 128, v = y % 128;
    if (u == 10 || v == 10 || u == 118 || v == 118) colour = 19;
    if (u == 0) {
        if (v == 0 || (v - 1) % 12 <= 6) colour = 234;
    } else if (v == 0) {
        if ((u - 1) % 12 <= 6) colour = 234;
    }
    return colour;
}

}  // namespace

int groundLightLevel(int x, int y) {
    const int d = std::abs(x % 64 - 32) + std::abs(y % 64 - 32);
    return static_cast<int>(std::nearbyint(16.0 * (0.5 * d / 64.0 + 0.5)));
}

void generateCityMap(CityMap& map, ShadeTableRef shadeTable, CityPlan* plan) {
    logLine("Generating map");
    for (int x = 0; x < MapSize; ++x) {
        MapCell* column = &map.cells[x * MapSize];
        for (int y = 0; y < MapSize; ++y) makeGroundCell(column[y]);
    }
    for (int i = 0; i < DistrictsPerSide; ++i) {
        for (int j = 0; j < DistrictsPerSide; ++j) buildDistrict(map, i, j, plan);
    }
    // Every passable cell is marked and shaded exactly once; walls keep their colour.
    for (int x = 0; x < MapSize; ++x) {
        MapCell* column = &map.cells[x * MapSize];
        for (int y = 0; y < MapSize; ++y) {
            MapCell& cell = column[y];
            if (!hasFlag(cell, Passable)) continue;
            const uint8_t colour = markedColour(cell.colour, x, y);
            cell.colour = shadeTable[colour][groundLightLevel(x, y)];
        }
    }
    // Each edge cell is built once (corners too), one random number apiece.
    for (int k = 0; k < MapSize; ++k) {
        makeWallCell(cellAt(map, k, 0), 17);
        makeWallCell(cellAt(map, k, MapSize - 1), 17);
    }
    for (int k = 1; k < MapSize - 1; ++k) {
        makeWallCell(cellAt(map, 0, k), 17);
        makeWallCell(cellAt(map, MapSize - 1, k), 17);
    }
}

}  // namespace hc
