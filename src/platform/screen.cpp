#include "platform/screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/colours.h"
#include "core/system.h"
#include "draw/bmp.h"
#include "draw/builtin_font.h"
#include "platform/keyboard.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace hc {

namespace {

// A number as the game prints it in this line: a space where a minus sign would stand.
std::string signedField(int value) {
    std::string text = value < 0 ? "" : " ";
    text += std::to_string(value);
    return text;
}

uint32_t colourWord(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

void pushPalette(const ScreenContext& screen) {
    if (WindowBackend* window = activeWindow()) window->setPalette(screen.colourWords);
}

}  // namespace

void selectDisplayMode(ScreenContext& screen) {
    screen.displayWidth = -1;
    WindowBackend* window = activeWindow();
    if (window) {
        // The list is sorted ascending: the last mode is the widest (then tallest).
        for (const DisplayMode& mode : window->listModes()) {
            screen.displayWidth = mode.width;
            screen.displayHeight = mode.height;
        }
    }
    if (screen.displayWidth == -1) {
        logLine("No supported video modes available");
        endProcess(1);
    }
    // 1366 is not a multiple of 8, which many display paths cannot scan out.
    if (screen.displayWidth == 1366) screen.displayWidth = 1360;
    logLine("Setting resolution to " + signedField(screen.displayWidth) + "x" +
            signedField(screen.displayHeight));
}

void openScreen(ScreenContext& screen, int32_t mode, uint32_t windowFlags) {
    (void)windowFlags;  // the backend chooses its own window flags
    std::string title = "Hazard Cab 7700";
    screen.renderMode = mode;
    WindowBackend* window = activeWindow();
    bool opengl = false;
    int width = 0, height = 0;
    if (mode == RenderModeOpenGL) {
        opengl = true;
        width = screen.displayWidth;
        height = screen.displayHeight;
        title += " [OpenGL]";
    } else if (mode == RenderModeSoftware) {
        width = screen.renderWidth;
        height = screen.renderHeight;
        title += " [Software]";
    } else {
        logLine("Unsupported rendering mode");
        endProcess(1);
    }
    std::string error = "no window backend";
    if (!window || !window->open(width, height, opengl, &error)) {
        logLine("Cannot open the window: " + error);
        endProcess(1);
    }
    window->setTitle(title);
    window->hidePointer();

    // The render buffer holds palette indices in both modes; the OpenGL presentation
    // turns them into colour words as it uploads the texture.
    if (screen.renderBuffer) destroyImage(screen.renderBuffer);
    screen.renderBuffer = createImage(screen.renderWidth, screen.renderHeight, 1);
    if (!screen.renderBuffer) {
        logLine("Cannot create the render buffer");
        endProcess(1);
    }
    screen.pixels = screen.renderBuffer->pixels;
    screen.pitch = screen.renderBuffer->pitch;
    screen.bytesPerPixel = screen.renderBuffer->bytesPerPixel;

    for (int i = 0; i < 256; ++i) {
        setPaletteEntry(screen, i, BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]);
    }
    logLine("Screen depth: " + std::to_string(screen.bytesPerPixel));
}

namespace {

void drawShotNotice(ScreenContext& screen) {
    if (screen.shotNotice.empty() || clockSeconds() >= screen.shotNoticeUntil) return;
    Image& frame = *screen.renderBuffer;
    const size_t fits = static_cast<size_t>(std::max(frame.width / 8 - 2, 0));
    fillBox(frame, 0, 0, frame.width - 1, 11, ColourBlack);
    drawBuiltinText(frame, 8, 2, std::string_view(screen.shotNotice).substr(0, fits), ColourNearWhite);
}

}  // namespace

void presentFrame(ScreenContext& screen) {
    if (!screen.renderBuffer) return;
    drawShotNotice(screen);
    if (WindowBackend* window = activeWindow()) window->present(*screen.renderBuffer);
    // One screenshot per release: screens that present several frames between two
    // polls (transitions) must not grab again.
    if (screen.keys && wasReleased(*screen.keys, ActionScreenshot) &&
        screen.grabPoll != screen.keys->pollCount) {
        screen.grabPoll = screen.keys->pollCount;
        std::string reason;
        if (saveScreenshot(screen, localDateTime(), "", &reason).empty() && !reason.empty()) {
            // Shown at once, as a screen that waits for a key presents nothing more.
            screen.shotNotice = reason;
            screen.shotNoticeUntil = clockSeconds() + ShotNoticeSeconds;
            drawShotNotice(screen);
            if (WindowBackend* window = activeWindow()) window->present(*screen.renderBuffer);
        }
    }
}

void setPaletteEntry(ScreenContext& screen, int index, uint8_t red, uint8_t green, uint8_t blue) {
    if (index < 0 || index > 255) return;
    screen.colourWords[index] = colourWord(red, green, blue);
    screen.baseRed[index] = red;
    screen.baseGreen[index] = green;
    screen.baseBlue[index] = blue;
    pushPalette(screen);
}

Rgb paletteEntry(const ScreenContext& screen, int index) {
    if (index < 0 || index > 255) return Rgb{0, 0, 0};
    return Rgb{screen.baseRed[index], screen.baseGreen[index], screen.baseBlue[index]};
}

void applyGamma(ScreenContext& screen, float gamma) {
    screen.gamma = gamma;
    auto curve = [gamma](uint8_t v) {
        // Rounded half to even; a gamma below the options' range could reach 256.
        const double out = std::nearbyint(256.0 * std::pow(v / 256.0, static_cast<double>(gamma)));
        return static_cast<uint8_t>(out < 0 ? 0 : out > 255 ? 255 : out);
    };
    for (int i = 0; i < 256; ++i) {
        screen.colourWords[i] =
            colourWord(curve(screen.baseRed[i]), curve(screen.baseGreen[i]), curve(screen.baseBlue[i]));
    }
    pushPalette(screen);
}

std::string screenshotName(const LocalDateTime& when, int attempt) {
    char text[64];
    std::snprintf(text, sizeof text, "grab%02d-%02d-%04d%02d:%02d:%02d", when.month, when.day, when.year,
                  when.hour, when.minute, when.second);
    std::string name = text;
    if (attempt > 1) {
        name += '_';
        name += std::to_string(attempt);
    }
    return name + ".bmp";
}

std::string saveScreenshot(const ScreenContext& screen, const LocalDateTime& when,
                           const std::string& directory, std::string* failure) {
    if (!screen.renderBuffer) return "";
    const std::string prefix = directory.empty() ? "" : directory + "/";
    std::string reason;
    auto fail = [failure](const std::string& line) {
        logLine(line);
        if (failure) *failure = line;
        return std::string();
    };
    // Never replace a file: the next free suffix is taken, and the creation itself is
    // exclusive, so a file that appears meanwhile is not overwritten either.
    constexpr int Attempts = 100;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        const std::string name = screenshotName(when, attempt);
        if (writeBmp(*screen.renderBuffer, screen.colourWords, prefix + name, &reason, true)) {
            logLine("Saved " + name);
            return name;
        }
        std::error_code ignored;
        if (!std::filesystem::exists(prefix + name, ignored)) return fail("Screenshot " + name + " not saved: " + reason);
    }
    return fail("Screenshot " + screenshotName(when) + " not saved: " + std::to_string(Attempts) +
                " files of that second exist already");
}

}  // namespace hc
