#pragma once
#include <cstdint>

namespace hc {

constexpr int MapSize = 2048;

// Cell flags.
enum CellFlag : uint8_t {
    Passable = 1,
    Visible = 2,
    SeeThrough = 4,
    Vehicle = 8,
    TallVehicle = 16,
    SpriteAscending = 32,
    PickupMark = 64,
};

// One packed 5-byte cell of the city grid, copied whole.
struct MapCell {
    uint8_t colour;           // floor colour; 255 in walls, 0 in vehicles
    uint8_t kind;             // wall texture number, or vehicle model; 1 in plain ground
    uint8_t flags;            // CellFlag bits
    uint8_t spriteColYCross;  // vehicle cells: sprite column for a ray crossing a y boundary
    uint8_t spriteColXCross;  // vehicle cells: sprite column for a ray crossing an x boundary
};
static_assert(sizeof(MapCell) == 5, "cells are packed 5-byte values");

inline bool operator==(const MapCell& a, const MapCell& b) {
    return a.colour == b.colour && a.kind == b.kind && a.flags == b.flags &&
           a.spriteColYCross == b.spriteColYCross && a.spriteColXCross == b.spriteColXCross;
}

// The whole world: the world view's header, then 2048 x 2048 cells stored x-major
// (cell (x, y) is element x * 2048 + y), then the last blocking or hit cell. It is
// about 20 MB: allocate it on the heap (newCityMap).
struct CityMap {
    int32_t viewTop;
    int32_t viewBottom;
    int32_t horizonRow;
    float projScale;
    float eyeFactor;
    MapCell cells[MapSize * MapSize];
    MapCell probeCell;
};

// A zero-filled map on the heap.
CityMap* newCityMap();
void deleteCityMap(CityMap* map);

inline MapCell& cellAt(CityMap& map, int x, int y) { return map.cells[x * MapSize + y]; }
inline const MapCell& cellAt(const CityMap& map, int x, int y) {
    return map.cells[x * MapSize + y];
}
inline bool hasFlag(const MapCell& cell, uint8_t flag) { return (cell.flags & flag) != 0; }

// The cell at (floor(px), floor(py)) blocks when it is not Passable; a blocking cell
// is copied into probeCell. A point outside the grid blocks too (probeCell unchanged).
bool isBlocked(CityMap& map, float px, float py);

void setCellFlag(MapCell& cell, uint8_t flag, bool on);

// Cell constructors (each draws random numbers exactly as the generator needs).
void makeGroundCell(MapCell& cell);
void makeWallCell(MapCell& cell, uint8_t kind);
void makeLowWallCell(MapCell& cell, uint8_t kind);
void makeVehicleCell(MapCell& cell, uint8_t model, bool tall);

// Copies the template over the inclusive rectangle; Passable templates get a fresh
// colour template.colour - floor(2r) per cell. Nothing happens when x1 > x2 or y1 > y2;
// the part of the rectangle outside the grid is left out.
void fillRect(CityMap& map, const MapCell& cellTemplate, int x1, int y1, int x2, int y2);

// Mirror a block in place: X swaps (x, y) with (x1 + x2 - x, y) and turns every cell's
// SpriteAscending over (so mirrored vehicles still show their sprites the right way
// round); Y swaps (x, y) with (x, y1 + y2 - y). A block that does not lie wholly
// inside the grid, or whose corners are the wrong way round, is left alone.
void mirrorBlockX(CityMap& map, int x1, int y1, int x2, int y2);
void mirrorBlockY(CityMap& map, int x1, int y1, int x2, int y2);

// The vehicle stamp shared by parked vehicles and traffic. A vehicle covers 8 cells
// along its forward vector (fwdX, fwdY) and 4 across; the cell of footprint offset
// (a, b), a = -2..1 across and b = -3..4 along (b = 4 is the front row), is
// (X + fwdY * a + fwdX * b, Y + fwdX * a + fwdY * b). If every footprint cell is
// Passable, each is saved into saved[(a + 2) * 8 + (b + 3)] (when saved is not null)
// and overwritten with a vehicle cell of the model; returns false and writes nothing
// otherwise.
constexpr int VehicleFootprintCells = 32;
bool stampVehicle(CityMap& map, int X, int Y, int fwdX, int fwdY, uint8_t model, MapCell* saved);
// Puts the saved cells back over the footprint.
void unstampVehicle(CityMap& map, int X, int Y, int fwdX, int fwdY, const MapCell* saved);

// A parked vehicle of a random model (drawn first, 1 to 5) heading +x, covering x - 3
// to x + 4 by y - 2 to y + 1. Returns false, having written nothing, when any of those
// cells is not Passable.
bool placeParkedVehicle(CityMap& map, int x, int y);

}  // namespace hc
