#pragma once
#include <cstdint>

#include "platform/image.h"

namespace hc {

constexpr int FontGlyphs = 50;
constexpr int FontStyles = 5;

// The game font: 50 glyphs of 10 x 10 pixels in 5 styles, colour 0 transparent.
// The image of glyph g in style s is glyphs[g * 5 + s].
struct FontSet {
    Image* glyphs[FontGlyphs * FontStyles] = {};
    int32_t lineCursorY = 0;  // y of the next line printed by printLine
};

}  // namespace hc
