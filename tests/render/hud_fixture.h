#pragma once
#include <algorithm>
#include <memory>
#include <string>

#include "assets/font.h"
#include "assets/game_state.h"
#include "core/records.h"
#include "draw/image.h"
#include "render/hud.h"
#include "support/digest.h"

namespace hc::test {

// Synthetic pictures for the HUD and minimap tests, each told apart by its colours: glyph g of style s
// a 10 x 10 square of 1 + 5 g + s; cockpit rows 0..60 transparent (the windshield), the rest 90 with lamp
// A 41, lamp B 42 and 1 in the last pixel (the least colour that is drawn); hudIcon a 4 x 4 square of 200 amid 0; portrait k 100 + k but its top-left pixel 0.
constexpr uint8_t Background = 253;  // the picture under the HUD: no glyph has this colour
constexpr uint8_t DashColour = 90, LampAColour = 41, LampBColour = 42, DropColour = 200;

inline int glyphColour(int glyph, int style) { return 1 + 5 * glyph + style; }

struct HudRig {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    FontSet font;
    Shift shift;
    PlayerCar player;
    Image* target = createImage(RenderWidth, RenderHeight);

    HudRig() {
        for (int i = 0; i < FontGlyphs * FontStyles; ++i) fillImage(*(font.glyphs[i] = createImage(GlyphSize, GlyphSize)), glyphColour(i / FontStyles, i % FontStyles));
        Image& cockpit = *(state->cockpitImage = createImage(640, 180));
        fillImage(cockpit, DashColour), fillBox(cockpit, 0, 0, 639, 60, 0), putPixel(cockpit, 639, 179, 1);
        fillBox(cockpit, 284, 107, 295, 120, LampAColour), fillBox(cockpit, 297, 107, 308, 120, LampBColour);
        fillImage(*(state->hudIcon = createImage(8, 8)), 0), fillBox(*state->hudIcon, 2, 2, 5, 5, DropColour);
        for (int k = 1; k <= PortraitCount; ++k)
            fillImage(*(state->passengerPortraits[k] = createImage(64, 64)), static_cast<uint32_t>(100 + k)), putPixel(*state->passengerPortraits[k], 0, 0, 0);
        reset();
    }
    ~HudRig() {
        for (Image* image : font.glyphs) destroyImage(image);
        for (Image* image : state->passengerPortraits) destroyImage(image);
        for (Image* image : {state->cockpitImage, state->hudIcon, target}) destroyImage(image);
    }
    HudRig(const HudRig&) = delete;

    // A fresh shift (engine off, dry, nobody aboard, the wiper straight down under the dashboard),
    // the cab at (1000, 1000) heading +x, and a plain background.
    void reset() {
        shift = Shift{}, player = PlayerCar{}, player.x = player.y = 1000, rotateBody(player, 0), fillImage(*target, Background);
        shift.dashboardHeight = 120, shift.minutesLeft = 4, shift.passengerCount = 16, shift.wiperAngle = 1.570795;
    }
    void draw(double frameDelta = 1.0) { drawHud(HudScene{shift, player, *state, font, *target, frameDelta}); }
    uint8_t pixel(int x, int y) const { return *pixelAddress(*target, x, y); }
    int count(int x1, int y1, int x2, int y2, uint8_t c) const {  // in the rectangle (x1, y1)-(x2, y2)
        int n = 0; for (int y = y1; y <= y2; ++y) n += static_cast<int>(std::count(pixelAddress(*target, x1, y), pixelAddress(*target, x2 + 1, y), c)); return n;
    }
    // The glyph drawn with its top-left corner at (x, y), as "g/s", or "-" for none.
    std::string glyphAt(int x, int y) const { const int c = pixel(x, y); return c < 1 || c > 250 ? "-" : std::to_string((c - 1) / 5) + "/" + std::to_string((c - 1) % 5); }
};

}  // namespace hc::test
