#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "artgen/picture.h"

namespace artgen {

// The icon's master picture, 64 x 64 palette indices (0 see-through).
constexpr int IconSize = 64;
// The sizes written for desktops' icon themes.
constexpr int IconSizes[] = {16, 32, 48, 64, 128, 256};

// Draws the game's icon from its own art: the taxi's front view from the vehicle
// picture, before the night sky and skyline of the sky picture, on a rounded square.
void drawIcon(const Picture& vehicles, const Picture& sky, Picture& icon);

// A square RGBA picture of the icon at any size: whole multiples of the master are
// enlarged pixel for pixel, smaller sizes average the pixels each one covers.
std::vector<uint8_t> iconPixels(const Picture& icon, int size);

// Writes dir/hazardcab-N.png for every size and dir/hazardcab-64.bmp (8 bits, index 0
// see-through) for the game's window. False with a reason when a file cannot be written.
bool writeIcons(const Picture& icon, const std::string& dir, std::string* error);

}  // namespace artgen
