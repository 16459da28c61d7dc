#pragma once
#include <cstdint>

#include "city/city_map.h"
#include "core/records.h"

namespace hc {

// One car of the city's traffic. It exists in the grid only as vehicle cells: it is
// stamped in at the start of every frame (so that the view draws it and the player's
// collision test hits it) and taken out again after the frame's drawing, when it moves.
struct TrafficCar {
    MapCell savedCells[VehicleFootprintCells];  // what the last stamp overwrote, slot (a + 2) * 8 + (b + 3)
    uint8_t blocked = 0;   // byte flag: the last stamp met a non-passable cell and wrote nothing
    uint8_t mayMove = 0;   // byte flag: scanAhead found the way ahead clear this frame
    Body motion;           // position, heading (a multiple of 900) and its table direction
    int32_t fwdY = 0;      // round(sin) of the heading
    int32_t fwdX = 0;      // round(cos) of the heading
    uint8_t model = 0;     // vehicle model 1..5 (5 is tall)
};

// How far a car drives per tick, in cells.
constexpr double TrafficSpeed = 0.3;

// Puts a car at (x, y) heading +x with a random model (one draw of the random source).
void initTrafficCar(TrafficCar& car, float x, float y);

// Writes the car's 8 by 4 footprint into the grid, saving the cells it covers; when any
// footprint cell is not passable (or outside the grid) nothing is written and the car is
// marked blocked.
void stampTrafficCar(TrafficCar& car, CityMap& map);

// Looks 8 cells ahead of the car's centre: the car may move unless that cell holds a
// vehicle or lies within 3 cells of the player (each axis, rounded). A probe on or past
// the grid's edge never stops the car.
void scanAhead(TrafficCar& car, const CityMap& map, const PlayerCar& player);

// Takes a stamped car out of the grid, moves it dt * 0.3 cells if it may, and then
// either turns it back (when its stamp was blocked) or lets it turn at a crossing's
// corner point with even chance (one draw of the random source at a corner point).
void moveTrafficCar(TrafficCar& car, CityMap& map, double dt);

// The three passes of a frame over all cars, in index order: stamp every car before the
// frame's simulation and drawing; afterwards let every car look ahead, then move them.
void stampAllTraffic(TrafficCar* cars, int count, CityMap& map);
void moveAllTraffic(TrafficCar* cars, int count, CityMap& map, const PlayerCar& player,
                    double dt);

}  // namespace hc
