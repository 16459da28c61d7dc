#include "city/city_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "core/random.h"
#include "core/colours.h"

namespace hc {

CityMap* newCityMap() {
    void* memory = std::calloc(1, sizeof(CityMap));
    if (!memory) throw std::bad_alloc();
    return static_cast<CityMap*>(memory);
}

void deleteCityMap(CityMap* map) { std::free(map); }

bool isBlocked(CityMap& map, float px, float py) {
    const double fx = std::floor(px), fy = std::floor(py);
    if (!(fx >= 0 && fy >= 0 && fx < MapSize && fy < MapSize)) return true;
    const MapCell& cell = cellAt(map, static_cast<int>(fx), static_cast<int>(fy));
    if (hasFlag(cell, Passable)) return false;
    map.probeCell = cell;
    return true;
}

void setCellFlag(MapCell& cell, uint8_t flag, bool on) {
    if (on) {
        cell.flags |= flag;
    } else {
        cell.flags &= static_cast<uint8_t>(~flag);
    }
}

void makeGroundCell(MapCell& cell) {
    cell.colour = static_cast<uint8_t>(78 - static_cast<int>(std::floor(2 * nextRandom())));
    cell.kind = 1;
    cell.flags = Passable;
}

void makeWallCell(MapCell& cell, uint8_t kind) {
    makeGroundCell(cell);
    cell.colour = ColourBlack;
    cell.kind = kind;
    setCellFlag(cell, Passable, false);
    setCellFlag(cell, Visible, true);
}

void makeLowWallCell(MapCell& cell, uint8_t kind) {
    makeGroundCell(cell);
    cell.colour = ColourBlack;
    cell.kind = kind;
    setCellFlag(cell, Visible, true);
    setCellFlag(cell, SeeThrough, true);
}

void makeVehicleCell(MapCell& cell, uint8_t model, bool tall) {
    cell.kind = model;
    setCellFlag(cell, Vehicle, true);
    setCellFlag(cell, TallVehicle, tall);
    setCellFlag(cell, Passable, false);
    setCellFlag(cell, Visible, true);
    setCellFlag(cell, SeeThrough, true);
}

void fillRect(CityMap& map, const MapCell& cellTemplate, int x1, int y1, int x2, int y2) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, MapSize - 1);
    y2 = std::min(y2, MapSize - 1);
    const bool passable = hasFlag(cellTemplate, Passable);
    for (int x = x1; x <= x2; ++x) {
        MapCell* column = &map.cells[x * MapSize];
        for (int y = y1; y <= y2; ++y) {
            MapCell cell = cellTemplate;
            if (passable) {
                cell.colour = static_cast<uint8_t>(
                    cellTemplate.colour - static_cast<int>(std::floor(2 * nextRandom())));
            }
            column[y] = cell;
        }
    }
}

namespace {
bool blockInsideGrid(int x1, int y1, int x2, int y2) {
    return x1 >= 0 && y1 >= 0 && x2 < MapSize && y2 < MapSize && x1 <= x2 && y1 <= y2;
}
}  // namespace

void mirrorBlockX(CityMap& map, int x1, int y1, int x2, int y2) {
    if (!blockInsideGrid(x1, y1, x2, y2)) return;
    // Columns of constant x are contiguous, so the mirror swaps column segments.
    for (int x = x1; x < x1 + (x2 - x1 + 1) / 2; ++x) {
        MapCell* low = &map.cells[x * MapSize + y1];
        MapCell* high = &map.cells[(x1 + x2 - x) * MapSize + y1];
        std::swap_ranges(low, low + (y2 - y1 + 1), high);
    }
    for (int x = x1; x <= x2; ++x) {
        MapCell* column = &map.cells[x * MapSize];
        for (int y = y1; y <= y2; ++y) column[y].flags ^= SpriteAscending;
    }
}

void mirrorBlockY(CityMap& map, int x1, int y1, int x2, int y2) {
    if (!blockInsideGrid(x1, y1, x2, y2)) return;
    for (int x = x1; x <= x2; ++x) {
        MapCell* column = &map.cells[x * MapSize];
        std::reverse(column + y1, column + y2 + 1);
    }
}

namespace {
inline int footprintX(int X, int fwdX, int fwdY, int a, int b) { return X + fwdY * a + fwdX * b; }
inline int footprintY(int Y, int fwdX, int fwdY, int a, int b) { return Y + fwdX * a + fwdY * b; }
}  // namespace

bool stampVehicle(CityMap& map, int X, int Y, int fwdX, int fwdY, uint8_t model, MapCell* saved) {
    for (int a = -2; a <= 1; ++a) {
        for (int b = -3; b <= 4; ++b) {
            const int cx = footprintX(X, fwdX, fwdY, a, b);
            const int cy = footprintY(Y, fwdX, fwdY, a, b);
            if (isBlocked(map, static_cast<float>(cx), static_cast<float>(cy))) return false;
        }
    }
    MapCell vehicle{};
    for (int a = -2; a <= 1; ++a) {
        for (int b = -3; b <= 4; ++b) {
            MapCell& cell = cellAt(map, footprintX(X, fwdX, fwdY, a, b), footprintY(Y, fwdX, fwdY, a, b));
            if (saved) saved[(a + 2) * 8 + (b + 3)] = cell;
            makeVehicleCell(vehicle, model, model >= 5);
            // Which 16-texel column of the sheet each cell shows: the side view along the
            // car, the rear view across its back row and the front view across its front.
            const uint8_t along = static_cast<uint8_t>(b + 7);
            const uint8_t across = static_cast<uint8_t>(b == 4 ? a + 14 : a + 2);
            if (fwdY == 0) {
                setCellFlag(vehicle, SpriteAscending, fwdX > 0);
                vehicle.spriteColYCross = along;
                vehicle.spriteColXCross = across;
            } else {
                setCellFlag(vehicle, SpriteAscending, fwdY > 0);
                vehicle.spriteColYCross = across;
                vehicle.spriteColXCross = along;
            }
            cell = vehicle;
        }
    }
    return true;
}

void unstampVehicle(CityMap& map, int X, int Y, int fwdX, int fwdY, const MapCell* saved) {
    for (int a = -2; a <= 1; ++a) {
        for (int b = -3; b <= 4; ++b) {
            cellAt(map, footprintX(X, fwdX, fwdY, a, b), footprintY(Y, fwdX, fwdY, a, b)) =
                saved[(a + 2) * 8 + (b + 3)];
        }
    }
}

bool placeParkedVehicle(CityMap& map, int x, int y) {
    const uint8_t model = static_cast<uint8_t>(randomChoice(5) + 1);
    return stampVehicle(map, x, y, 1, 0, model, nullptr);
}

}  // namespace hc
