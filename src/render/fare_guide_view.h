#pragma once

#include "assets/font.h"
#include "core/body.h"
#include "core/records.h"
#include "draw/image.h"

namespace hc {

// What the newcomer's guide shows (the assists; classic mode draws none of it).
//
// Over the cockpit: a filled arrow at the top of the screen towards the next square, gold
// for the nearest waiting passenger, green or rose for the destination as the cockpit's
// own arrow is; the distance under it while nobody is aboard (the cockpit shows the
// destination's); "stop here!" while the cab is inside the square but too fast for it to
// count.
void drawFareGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target);

// Over the map view: a ring round the cab, a pointer on it towards the square, a box on
// the square when it is on the screen, the distance and "stop here!" at the top.
void drawMapGuide(const FareGuide& guide, const PlayerCar& player, const FontSet& font, Image& target);

}  // namespace hc
