#pragma once
#include <cstdint>

namespace hc {

struct Rgb {
    uint8_t red, green, blue;
};

// The game's fixed palette, 256 entries of red, green, blue.
extern const uint8_t BasePalette[256][3];

// The base palette as colours.
inline Rgb basePaletteEntry(int index) {
    return Rgb{BasePalette[index][0], BasePalette[index][1], BasePalette[index][2]};
}

}  // namespace hc
