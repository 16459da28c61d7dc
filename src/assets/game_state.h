#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/records.h"
#include "draw/image.h"

namespace hc {

constexpr int WallTextureCount = 20;
constexpr int VehicleSheetCount = 6;
constexpr int WallTextureSize = 128;
constexpr int VehicleSheetWidth = 256;
constexpr int VehicleSheetHeight = 42;
constexpr int PortraitCount = 8;
constexpr int GarageItemCount = 10;

// Texel (row, column) at row * 128 + column; index 0 is transparent.
using WallTexture = std::array<uint8_t, WallTextureSize * WallTextureSize>;
// Texel (row, column) at row * 256 + column; index 0 is transparent.
using VehicleSheet = std::array<uint8_t, VehicleSheetWidth * VehicleSheetHeight>;

// One entry of the garage's list.
struct GarageItem {
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
    std::string label;
    int8_t repairKind = 0;               // 0 none, 1 bodywork, 2 brakes
    int8_t Shift::*stageRef = nullptr;   // the upgrade stage the entry raises, if any
};

// The asset store and tables that start-up hands to every screen. Lists numbered from
// 1 keep an unused element 0.
struct GameState {
    GarageItem garage[GarageItemCount + 1];
    WallTexture wallTextures[WallTextureCount + 1] = {};
    VehicleSheet vehicleSheets[VehicleSheetCount + 1] = {};
    Image* passengerPortraits[PortraitCount + 1] = {};
    Image* cockpitImage = nullptr;
    Image* skyImage = nullptr;
    Image* hudIcon = nullptr;
    Image* titleImage = nullptr;
    Image* menuBackdrop = nullptr;
    Image* garageBackdrop = nullptr;
    Image* garageIcon = nullptr;
    Image* heavyDamageOverlay = nullptr;
    uint8_t shadeTable[256][17] = {};  // colour c at brightness L / 16
    uint8_t greyTable[256] = {};
};

}  // namespace hc
