#pragma once
#include <cstdint>

#include "draw/palette.h"

namespace hc {

constexpr int ShadeLevels = 17;

// ShadeTable entry (c, L): the palette colour closest to colour c at brightness L / 16.
// Distance is the sum over the channels of |target - candidate|, each term rounded to
// the nearest integer with halves to even; candidates are 1..255 without the interface
// colours 23..27, and ties keep the lowest index. Colour 0 shades to 255 at every level.
void buildShadeTable(const Rgb palette[256], uint8_t table[256][ShadeLevels]);

// GreyTable entry c: the grey (candidates 1..37) closest to the darkened luminance
// (0.3 r + 0.59 g + 0.11 b) * 0.6 of colour c, colour 0 counting as black; same
// distance and tie rule.
void buildGreyTable(const Rgb palette[256], uint8_t table[256]);

}  // namespace hc
