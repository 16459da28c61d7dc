#pragma once
#include <cstdint>
#include <string>

#include "draw/image.h"
#include "draw/palette.h"

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
    int64_t grabPoll = -1;  // the key poll whose screenshot release has been served
    float gamma = 1.0f;     // the gamma applied last
    // A screenshot that could not be written is said on screen too, along the top edge,
    // until this clock time.
    std::string shotNotice;
    double shotNoticeUntil = 0;
};

// Fills the display size from the window backend's modes, or ends the program.
void selectDisplayMode(ScreenContext& screen);
// Opens the window, creates the render buffer, loads the palette.
void openScreen(ScreenContext& screen, int32_t mode, uint32_t windowFlags);
// Shows the render buffer; writes a screenshot when the screenshot key was released.
// When it cannot be written, the reason is drawn over the top of the frames presented
// in the next three seconds, the first of them at once.
void presentFrame(ScreenContext& screen);
constexpr double ShotNoticeSeconds = 3.0;
void setPaletteEntry(ScreenContext& screen, int index, uint8_t red, uint8_t green, uint8_t blue);
Rgb paletteEntry(const ScreenContext& screen, int index);
void applyGamma(ScreenContext& screen, float gamma);

struct LocalDateTime;
// "grab" + MM-DD-YYYY + HH:MM:SS + ".bmp"; attempt 2, 3... put "_2", "_3"... before
// ".bmp" so that a second grab within the same second gets its own file.
std::string screenshotName(const LocalDateTime& when, int attempt = 1);
// Saves the render buffer under the first free screenshot name in directory (empty:
// the working directory) and logs "Saved " and the name, or why nothing was saved (that
// line also in failure). Returns the name, or an empty string when no file was written.
std::string saveScreenshot(const ScreenContext& screen, const LocalDateTime& when,
                           const std::string& directory = "", std::string* failure = nullptr);

inline Image& renderTarget(ScreenContext& screen) { return *screen.renderBuffer; }
inline uint32_t colourIndex(const ScreenContext&, int c) { return static_cast<uint32_t>(c); }

}  // namespace hc
