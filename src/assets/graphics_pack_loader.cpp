#include "assets/graphics_pack.h"

namespace hc {

// Kept apart from the pure loader so that tools and tests that bring their own
// palette do not need the screen.
bool loadGraphicsPack(GameState& state, FontSet& font, const ScreenContext& screen,
                      const std::string& path) {
    Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = paletteEntry(screen, i);
    const int bytesPerPixel = screen.renderBuffer ? screen.renderBuffer->bytesPerPixel : 1;
    return loadGraphicsPackWithPalette(state, font, palette, bytesPerPixel, path);
}

}  // namespace hc
