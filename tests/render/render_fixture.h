#pragma once
#include <cstdint>
#include <cstring>
#include <memory>

#include "assets/game_state.h"
#include "city/city_map.h"
#include "core/records.h"
#include "draw/image.h"
#include "render/world_view.h"

namespace hc::test {

// Synthetic artwork for the view tests: ShadeTable (c, L) is 17 c + L for the colours 1..13 used here,
// so a pixel tells its source colour (pixel / 17) and shade level (pixel % 17). Wall textures 1 + v mod 7
// (the texture row shows); vehicle sheets 8 + u mod 3; ground 13; sky 242..250 and some 0 by column and row.
constexpr uint8_t GroundColour = 13, Sentinel = 254;  // the sentinel is never drawn under this artwork

inline uint8_t skyTexel(int column, int row) { return (column + row) % 11 == 0 ? 0 : static_cast<uint8_t>(242 + (column * 7 + row * 3) % 9); }

// One map, view tables, records and render target shared by the tests of a binary.
struct RenderRig {
    CityMap* map = newCityMap();
    ViewTables tables;
    Shift shift;
    PlayerCar player;
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    Image* target = createImage(RenderWidth, RenderHeight);
    Image* sky = createImage(640, 240);

    RenderRig() {
        for (int c = 0; c < 256; ++c)
            for (int l = 0; l < 17; ++l) state->shadeTable[c][l] = static_cast<uint8_t>(17 * (c >= 1 && c <= 13 ? c : 1 + c % 13) + l);
        for (int k = 1; k <= WallTextureCount; ++k)
            for (int i = 0; i < WallTextureSize * WallTextureSize; ++i) state->wallTextures[k][i] = static_cast<uint8_t>(1 + i / WallTextureSize % 7);
        for (int m = 1; m <= VehicleSheetCount; ++m)
            for (int i = 0; i < VehicleSheetWidth * VehicleSheetHeight; ++i) state->vehicleSheets[m][i] = static_cast<uint8_t>(8 + i % 3);
        for (int i = 0; i < 640 * 240; ++i) *pixelAddress(*sky, i % 640, i / 640) = skyTexel(i % 640, i / 640);
        state->skyImage = sky, initView(*map, tables, shift, RenderWidth, RenderHeight);
    }
    ~RenderRig() { destroyImage(target), destroyImage(sky), deleteCityMap(map); }
    WorldViewScene scene() { return {*map, tables, player, shift, *state, *target}; }

    // Open ground of GroundColour everywhere, with the boundary wall round the edge.
    void openGround(bool boundary = true) {
        for (auto& cell : map->cells) cell = MapCell{GroundColour, 1, Passable, 0, 0};
        for (int k = 0; boundary && k < MapSize; ++k)
            cellAt(*map, k, 0) = cellAt(*map, k, MapSize - 1) = cellAt(*map, 0, k) = cellAt(*map, MapSize - 1, k) = MapCell{255, 17, Visible, 0, 0};
    }
    // Player pose and a clean shift (engine off, full detail, even frame).
    void pose(float x, float y, float heading) {
        player = PlayerCar{}, player.x = x, player.y = y, player.heading = heading, rotateBody(player, 0);
        shift.lowDetail = shift.engineRunning = 0, shift.damage[1] = 0, shift.frameCounter = 0;
    }
    uint8_t pixel(int x, int y) const { return *pixelAddress(*target, x, y); }
    void clearTarget(uint8_t value) { std::memset(target->pixels, value, static_cast<size_t>(target->pitch) * target->height); }
};

inline RenderRig& rig() { static RenderRig shared; return shared; }

}  // namespace hc::test
