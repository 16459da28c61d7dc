#pragma once
#include <cstdint>

namespace hc {

// The palette colours the code draws with by name. Index 0 is transparent in every
// image, texture, sheet and glyph; 23 to 27 are interface colours that shading never
// produces.
constexpr uint8_t ColourTransparent = 0;
constexpr uint8_t ColourNearBlack = 1;
constexpr uint8_t ColourNearWhite = 22;
constexpr uint8_t ColourBlue = 23;
constexpr uint8_t ColourPurple = 25;
constexpr uint8_t ColourRoyalBlue = 24;  // the assists' cab mark: nothing else draws it
constexpr uint8_t ColourInZone = 26;     // the assists' square while the cab is inside it
constexpr uint8_t ColourCrimson = 27;
constexpr uint8_t ColourDarkRed = 172;
constexpr uint8_t ColourRose = 180;
constexpr uint8_t ColourGreen = 222;
constexpr uint8_t ColourGold = 235;
constexpr uint8_t ColourBlack = 255;

}  // namespace hc
