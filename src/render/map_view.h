#pragma once

#include "assets/game_state.h"
#include "city/city_map.h"
#include "core/body.h"
#include "draw/image.h"

namespace hc {

// Grid cell shown by a screen pixel of the map view: the oblique projection centred
// on the cab's cell (cabX, cabY), with the screen centre (centreX, centreY).
struct MapViewCell {
    int x;
    int y;
};
MapViewCell mapViewCell(int cabX, int cabY, int centreX, int centreY, int sx, int sy);

// One frame of the bird's-eye map: ground colours, 8-pixel facades with roof lines,
// pick-up squares and the cab arrow in the middle. Draws over the whole target (one
// byte per pixel).
void drawMapView(const CityMap& map, const PlayerCar& player, const GameState& state, Image& target);

}  // namespace hc
