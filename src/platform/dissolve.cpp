#include "platform/dissolve.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/frame_timer.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "core/colours.h"

namespace hc {

int dissolveBlockSize(int width) {
    // Narrow buffers would give a block of 0 pixels and a division by zero.
    const int n = static_cast<int>(std::nearbyint(width / 32.0));
    return std::clamp(n, 1, 20);
}

void transition(ScreenContext& screen, AudioEngine& audio, FrameTimer& timer, int8_t direction) {
    if (!screen.renderBuffer) return;
    Image& target = *screen.renderBuffer;
    const int width = target.width;
    const int height = target.height;
    const int n = dissolveBlockSize(width);
    const bool fadeIn = direction != FadeOut;
    const uint8_t black = static_cast<uint8_t>(colourIndex(screen, ColourBlack));

    Image* snapshot = createImage(width, height, target.bytesPerPixel);
    if (!snapshot) {
        // Without memory for the effect the change of screen is a plain cut.
        if (!fadeIn) fillImage(target, black);
        setMasterLevel(audio, fadeIn ? 1.0f : 0.0f);
        updateAudio(audio);
        presentFrame(screen);
        flushKeyboardBuffer();
        return;
    }
    copyRect(target, 0, 0, width, height, *snapshot, 0, 0);

    // A pixel's moment is (x mod n) + (y mod n) + floor(x / n) + floor(y / n): diagonal
    // order inside each n x n block, and each block one step later than the block to
    // its left or above it. The column and row parts are added per pixel.
    std::vector<int> columnPart(static_cast<size_t>(width));
    std::vector<int> rowPart(static_cast<size_t>(height));
    for (int x = 0; x < width; ++x) columnPart[static_cast<size_t>(x)] = x % n + x / n;
    for (int y = 0; y < height; ++y) rowPart[static_cast<size_t>(y)] = y % n + y / n;

    resetFrameTimer(timer);
    float t = 0.0f;
    bool done = false;
    while (!done) {
        // The window is being closed (each present lets it see its events): the effect
        // jumps to its end, so the close reaches the next poll now, not 2 seconds later.
        const WindowBackend* window = activeWindow();
        if (window && window->closePending()) t = static_cast<float>(width + height);
        copyRect(*snapshot, 0, 0, width, height, target, 0, 0);
        done = true;
        for (int y = 0; y < height; ++y) {
            const int row = rowPart[static_cast<size_t>(y)];
            for (int x = 0; x < width; ++x) {
                const float v = static_cast<float>(columnPart[static_cast<size_t>(x)] + row);
                if (v < t) {
                    if (!fadeIn) putPixel(target, x, y, black);
                } else {
                    if (fadeIn) putPixel(target, x, y, black);
                    done = false;
                }
            }
        }

        float level = std::min(t / static_cast<float>(2 * n), 1.0f);
        if (!fadeIn) level = 1.0f - level;
        setMasterLevel(audio, level);
        updateAudio(audio);
        presentFrame(screen);
        endFrame(timer);
        t = static_cast<float>(t + frameDelta(timer));
    }

    destroyImage(snapshot);
    flushKeyboardBuffer();
}

}  // namespace hc
