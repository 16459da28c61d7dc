#include "frontend/options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "assets/font.h"
#include "core/frame_timer.h"
#include "frontend/game.h"
#include "frontend/menus.h"
#include "platform/audio.h"
#include "platform/dissolve.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "render/view_rounding.h"
#include "core/colours.h"

namespace hc {

namespace {

// The sky's colours from the top of the screen down.
constexpr uint8_t SkyColours[18] = {47,  209, 210, 211, 206, 192, 191, 190, 189,
                                    188, 187, 186, 58,  59,  60,  61,  62,  63};
constexpr uint32_t FloorColour = ColourBlack;
constexpr int SunFirstColour = 173;


}  // namespace

std::string_view optionsEntryText(int entry, const AudioEngine& audio, const Shift& shift) {
    switch (entry) {
        case 1: return "gamma adjust";
        case 2: return audio.channels[MusicChannel].enabled != 0 ? "music on" : "music off";
        case 3: return isOn(shift.lowDetail) ? "low detail gfx" : "high detail gfx";
        case 4: return isOn(shift.assists) ? "assists on" : "classic mode";
        case 5: return "return";
        default: return {};
    }
}

float nextGamma(float gamma) {
    const float next = gamma - 0.2f;
    // Compared with 0.6 in double precision: the float just above it is still applied.
    return static_cast<double>(next) > 0.6 ? next : 1.2f;
}

void drawOptionsBackground(Image& target) {
    const int width = target.width;
    const int height = target.height;
    if (width <= 0 || height <= 0) return;

    // Sky: 17 bands from top to bottom, each lower half dithered half and half with the
    // entry round(t) so that the steps soften. Where t is a half and both roundings go
    // to even, that entry is two steps above the band: the row blends with the band
    // just above instead.
    for (int y = 0; y < height; ++y) {
        const double t = 16.0 * y / height;
        const int band = roundAny(1.0 + t);
        drawLine(target, 0, y, width - 1, y, SkyColours[band]);
        if (t - std::floor(t) >= 0.5) {
            const int blend = std::max(roundAny(t), band - 1);
            for (int x = (y % 2 == 0) ? 0 : 1; x < width; x += 2) putPixel(target, x, y, SkyColours[blend]);
        }
    }

    // Sun: from the bottom of the disc upwards, rows stay empty until the count turns
    // positive, then ever wider bands are separated by one-row gaps.
    const int cx = roundAny(width / 2.0);
    const int cy = roundAny(height / 2.0);
    const int radius = roundAny(height * 0.25);
    int period = 1;
    int count = roundAny(height * -0.15);
    for (int y = cy + radius; y >= cy - radius; --y) {
        count += 1;
        if (count == period) {
            period = roundAny(period * 1.5);
            count = 0;
            continue;
        }
        if (count <= 0 || y < 0 || y >= height) continue;
        const uint32_t colour = static_cast<uint32_t>(
            std::floor(10.0 * (y - radius) / (2.0 * radius)) + SunFirstColour);
        const int shift = 2 * (y % 2) - 1;  // alternate rows lean left and right
        const int dy = y - cy;
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (x < 0 || x >= width) continue;
            const int dx = (x - cx) + shift;
            if (std::sqrt(static_cast<double>(dx * dx + dy * dy)) < radius) putPixel(target, x, y, colour);
        }
    }
}

int drawOptionsFloor(Image& target, double phase) {
    const int width = target.width;
    const int height = target.height;
    const int top = roundAny(height * 0.6 + 1.0);
    const int middle = roundAny(width / 2.0);
    int s = roundAny(width / 64.0);
    if (s < 1) s = 1;
    for (int y = top; y < height; ++y) {
        if (y >= 0) {
            const long long b = std::llround(std::nearbyint(phase + (y - top) / (s / 16.0)));
            for (int x = 0; x < width; ++x) {
                const long long a = std::llround(std::nearbyint(std::abs(x - middle) / static_cast<double>(s)));
                if (((a ^ b) & 1) == 0) putPixel(target, x, y, FloorColour);
            }
        }
        s += 1;  // the squares widen towards the viewer
    }
    return top;
}

void runOptions(Game& game) {
    Image& target = renderTarget(game.screen);
    Image* background = createImage(target.width, target.height, target.bytesPerPixel);
    if (background) drawOptionsBackground(*background);

    int selected = 1;
    float gamma = 1.0f;
    double phase = 0.0;
    bool first = true;
    double lastFrame = 0.0;
    const int x = roundAny(target.width * 0.5 - 44.0);

    for (;;) {
        pollKeys(game.keys);
        if (game.keys.quit) break;
        if (background) {
            blitImage(*background, target, 0, 0, false);
        } else {
            fillImage(target, colourIndex(game.screen, SkyColours[0]));
        }
        drawTitleBar(game.font, target, "options");
        const int top = drawOptionsFloor(target, phase);
        // The column ends 16 rows above the floor, whatever the number of entries.
        const int y0 = top - 16 - 20 * OptionsEntries;
        for (int i = 1; i <= OptionsEntries; ++i) {
            if (i == selected && !blinkShows(game.shift.frameCounter)) continue;
            printText(game.font, target, x, y0 + 20 * i, optionsEntryText(i, game.audio, game.shift), 3);
        }

        if (wasReleased(game.keys, ActionUp)) {
            selected = selected == 1 ? OptionsEntries : selected - 1;
        } else if (wasReleased(game.keys, ActionDown)) {
            selected = selected == OptionsEntries ? 1 : selected + 1;
        } else if (wasReleased(game.keys, ActionBack)) {
            break;
        } else if (wasReleased(game.keys, ActionSelect)) {
            if (selected == OptionsEntries) break;
            if (selected == 1) {
                gamma = nextGamma(gamma);
                applyGamma(game.screen, gamma);
            } else if (selected == 2) {
                int8_t& enabled = game.audio.channels[MusicChannel].enabled;
                enabled = static_cast<int8_t>(~enabled);
            } else if (selected == 3) {
                toggleFlag(game.shift.lowDetail);
            } else if (selected == OptionsAssists) {
                toggleFlag(game.shift.assists);
            }
        }

        if (first) {
            transition(game.screen, game.audio, game.timer, FadeIn);
            first = false;
        }
        phase -= 0.02 * frameDelta(game.timer);
        game.shift.frameCounter += 1;
        presentFrame(game.screen);
        updateAudio(game.audio);
        endFrame(game.timer);
        paceMenuFrame(lastFrame);
    }

    if (!game.keys.quit) transition(game.screen, game.audio, game.timer, FadeOut);
    destroyImage(background);
}

}  // namespace hc
