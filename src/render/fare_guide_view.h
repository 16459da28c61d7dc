#pragma once

#include <cstdint>
#include <vector>

#include "assets/font.h"
#include "core/body.h"
#include "core/records.h"
#include "draw/image.h"

namespace hc {

// What the newcomer's guide shows (the assists; classic mode draws none of it).
//
// Over the cockpit, at the top of the screen, an arrow that points the way as a road
// sign does (up the screen is ahead of the cab, left is left): with nobody aboard a gold
// one towards the nearest waiting passenger, smaller and lower than the cockpit's own
// arrow so that the delivered count above it stays readable; with a passenger aboard a
// larger one, green for a destination ahead and rose for one behind, in the cockpit
// arrow's place. The guide's distance goes under it. While the cab is inside the square
// that counts, a steady ring in ColourInZone takes the arrow's place; "stop here!"
// while the cab is too fast there for the square to count.
void drawFareGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target);

// Over the dashboard's minimap (engine running): a hollow diamond on every square that
// can count now (gold waiting, green the destination, ColourInZone the one the cab is
// inside), larger than any car mark, and the cab as a blue arrow whose tip lies ahead
// of it. Under them the way by road to the guide's square, when one is given (its cells
// x * MapSize + y from the cab to the square), dotted in the square's colour.
void drawMinimapGuide(const FareGuide& guide, const Shift& shift, const PlayerCar& player, Image& target,
                      const std::vector<int32_t>* route = nullptr);

// Over the map view: the same diamonds in the view's projection, a pointer towards a
// square off the screen, the blue cab arrow in the middle, the distance and "stop
// here!" at the top, and the same dotted way by road under them.
void drawMapGuide(const FareGuide& guide, const Shift& shift, const PlayerCar& player, const FontSet& font,
                  Image& target, const std::vector<int32_t>* route = nullptr);

}  // namespace hc
