#pragma once
#include <cstdint>

#include "platform/image.h"

namespace hc {

struct KeyBindings;

constexpr int32_t RenderModeOpenGL = 1;
constexpr int32_t RenderModeSoftware = 2;

// Display mode, render buffer and palette of the game's one screen.
struct ScreenContext {
    int32_t renderMode = 0;
    Image* renderBuffer = nullptr;
    uint32_t texture = 0;
    uint32_t colourWords[256] = {};   // 0xFF000000 | r << 16 | g << 8 | b, after gamma
    uint8_t baseRed[256] = {};        // the BasePalette, never changed by gamma
    uint8_t baseGreen[256] = {};
    uint8_t baseBlue[256] = {};
    int32_t renderWidth = 0;
    int32_t renderHeight = 0;
    int32_t displayWidth = 0;
    int32_t displayHeight = 0;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    int32_t bytesPerPixel = 0;
    // The key table whose screenshot action presentFrame watches (set at start-up).
    const KeyBindings* keys = nullptr;
};

// The game's fixed palette, 256 entries of red, green, blue.
extern const uint8_t BasePalette[256][3];

// Fills the display size from the window backend's modes, or ends the program.
void selectDisplayMode(ScreenContext& screen);
// Opens the window, creates the render buffer, loads the palette.
void openScreen(ScreenContext& screen, int32_t mode, uint32_t windowFlags);
// Shows the render buffer; writes a screenshot when the screenshot key was released.
void presentFrame(ScreenContext& screen);
void setPaletteEntry(ScreenContext& screen, int index, uint8_t red, uint8_t green, uint8_t blue);
struct Rgb {
    uint8_t red, green, blue;
};
Rgb paletteEntry(const ScreenContext& screen, int index);
void applyGamma(ScreenContext& screen, float gamma);

inline Image& renderTarget(ScreenContext& screen) { return *screen.renderBuffer; }
inline uint32_t colourIndex(const ScreenContext&, int c) { return static_cast<uint32_t>(c); }

}  // namespace hc
