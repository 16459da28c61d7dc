#pragma once
#include <cstdint>
#include <vector>

#include "assets/game_state.h"
#include "city/city_map.h"
#include "core/body.h"
#include "core/records.h"
#include "draw/image.h"

namespace hc {

// Rays stop here, and faces at this distance or farther are not drawn. The same 128
// is the height of a full face in the projection.
constexpr int MaxViewDistance = 128;

// Per-row and per-column tables of the world view, built once by initView for the
// render size and kept for the whole run.
struct ViewTables {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> rowLight;            // per row: light of a face whose lower end is here
    std::vector<uint8_t> rowShade;          // per row: ShadeTable level of the ground
    std::vector<float> rowFloorDistance;    // per row: distance of the ground seen there
    std::vector<float> headlightExponent;   // per column: 0.5 centre to 1.0 at the sides
    // Per row, for even then odd columns, then for low detail: 256 x the ground's
    // shade level, with the dither of that column parity in it (one level more on
    // every fourth row below full shade; none in low detail).
    std::vector<uint16_t> groundLevel;
    // The ShadeTable by level (level L, colour c at L * 256 + c), copied each frame, so
    // that a level's 256 colours lie together.
    std::vector<uint8_t> shadeByLevel;
    // Per column: the first row the sky does not fill this frame.
    std::vector<int16_t> skyStop;
    // One byte per pixel, 0 free and 255 drawn, stored column by column (column c, row
    // r at c * height + r). A column's part is cleared and used only while a column
    // that meets see-through cells is drawn; a column with one face needs none.
    std::vector<uint8_t> drawnMask;
};

inline uint8_t* maskColumn(ViewTables& tables, int column) {
    return tables.drawnMask.data() + static_cast<size_t>(column) * tables.height;
}

// What one frame of the world view reads, and the image it draws into (at least the
// size the tables were built for, one byte per pixel).
struct WorldViewScene {
    CityMap& map;
    ViewTables& tables;
    const PlayerCar& player;
    const Shift& shift;
    const GameState& state;
    Image& target;
    // The assists' guide, or none (classic mode): with a guide every square's marks show
    // steadily in the guide's colour (gold waiting, green the destination), and those of
    // the square the cab is inside in ColourInZone.
    const FareGuide* guide = nullptr;
};

// Sets the view header of the map, the shift's dashboard height and builds the tables
// for a render size.
void initView(CityMap& map, ViewTables& tables, Shift& shift, int width, int height);

// Draws one frame of the first-person view: faces, ground and sky.
void renderWorldView(const WorldViewScene& scene);

// Advances the ray to the next Visible cell or past the distance limit; updates travel
// and hitSide and copies the cell reached into the map's probeCell.
void castStep(CityMap& map, Body& ray);

// Draws the face described by probeCell and the ray into one column between two rows
// (unclipped on entry; a face a hair from the eye reaches far beyond the 32-bit range),
// skipping and marking rows of the column's mask.
void drawWallColumn(const WorldViewScene& scene, const Body& ray, int column, int64_t top, int64_t bottom);
// Draws the ground of one column from a row down to the view's last row, skipping
// rows marked in the column's mask, and marks the first row.
void drawFloorColumn(const WorldViewScene& scene, const Body& ray, int column, int startRow);

// Share of a full face's height above a vehicle face's top: tall vehicles stand higher.
inline float vehicleTopFactor(const MapCell& cell) { return hasFlag(cell, TallVehicle) ? 0.78f : 0.82f; }

}  // namespace hc
