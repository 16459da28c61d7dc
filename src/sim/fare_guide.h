#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "city/city_map.h"
#include "core/body.h"
#include "core/records.h"

namespace hc {

// What the assists follow from frame to frame: whether the cab was inside the guide's
// square, who was aboard and how many had been delivered, and how long the cab has
// been stuck. Reset at each shift.
struct FareWatch {
    bool inside = false;
    int32_t aboard = 0;
    int32_t delivered = 0;
    double stalledTicks = 0;  // how long the throttle has been held without the cab getting away
    float stallX = 0, stallY = 0;  // from where
    bool stallSaid = false;        // the hint has been given for this stall
};

// This frame's moments for the assists' sounds.
struct FareCues {
    bool entered = false;    // the cab came inside the square that counts
    bool pickedUp = false;   // a passenger got in
    bool delivered = false;  // a passenger got out at the destination
};

// The newcomer's guide for the cab where it stands now. With nobody aboard it points to
// the nearest waiting passenger, unless the cab already stands in another waiting
// passenger's square: that one is the square that counts, so the guide shows it. Its
// distance is guideDistance's.
FareGuide fareGuide(const Shift& shift, const PlayerCar& car);

// The distance the guide shows: from the cab to the nearest edge of the square round
// the spot, in the units of the fare (0.15 a cell), rounded up. It is 0 exactly when the
// cab is inside the square, so a 0 always means "stop here".
int64_t guideDistance(const PlayerCar& car, const Body& spot);

// The moments since the last frame: coming inside the guide's square, a pick-up, a
// drop-off. Updates the watch. A pick-up or drop-off on this frame is not also an entry.
FareCues watchFare(FareWatch& watch, const Shift& shift, const FareGuide& guide);

// How to get free, once a stall has lasted long enough: nothing, the way out of a wall
// ahead (reverse), traffic waiting for the cab ahead (back off or go round), or anything
// behind a reversing cab (forward gear again).
enum class StallHint { None, Wall, Traffic, Behind };

// Says the hint once a stall, on the first frame on which the throttle has been held
// with the engine running for 120 ticks while the cab, caught on a wall or a car, stayed
// within 3 cells of where it was, and nothing else is being said. `ticks` is the frame's
// length in game ticks. (A caught cab bounces to and fro, so its speed alone does not
// tell.) The grid must hold the traffic's stamps: a car within three cells the way the
// cab pushes makes it Traffic.
StallHint watchStall(FareWatch& watch, const Shift& shift, const PlayerCar& car, const CityMap& map, bool throttle,
                     double ticks);

// The way by road from the cab to the guide's square, for the assists' maps. A
// breadth-first search over the grid's cells (four neighbours each) where the cab's
// 3 x 3 box has room: every cell of it Passable or a car's (traffic moves on), so a
// one-cell gap in a wall is no way through. It searches outwards from the square and
// keeps what it found, so that while the square stays the same the way from any cell
// it has already reached is only read off; moving to a cell not reached yet carries
// the same search on. All the space is allocated once and reused.
struct FareRoute {
    bool found = false;          // a way reaches the square from the cab's cell
    std::vector<int32_t> cells;  // the way, cell x * MapSize + y, from the cab to the square
    // The search kept between frames: what it runs for and how far it got.
    int32_t targetCell = -1;     // the square's centre cell; -1 when there is no search
    int32_t fromCell = -1;       // the cab's cell the way was read for
    std::vector<uint8_t> step;   // per cell: 0 not reached, 1 to 4 the step towards the square, 5 in it, 6 no room
    std::vector<int32_t> queue;  // the cells reached, in order; those from `head` on are still to be spread from
    size_t head = 0;
    bool searching = false;      // the search stopped at its budget before reaching the cab
};

// How many cells a frame's search may spread from: a search across the whole city
// takes a few frames rather than one long one.
constexpr size_t RouteCellsPerFrame = size_t{1} << 18;

// Brings the route up to date with the guide (nothing to follow when it is not active)
// and the cab's cell, searching further only when the square or the cab's cell has
// changed or the last call stopped at its budget (no way shows until the search gets
// to the cab). A cab whose own cell lacks room (scraping a wall) starts from the nearest
// cell within two that has room. Returns whether it changed the route.
bool updateFareRoute(FareRoute& route, const CityMap& map, const PlayerCar& car, const FareGuide& guide,
                     size_t budget = SIZE_MAX);

// Forgets the search (a new city, a new shift).
void resetFareRoute(FareRoute& route);

// Marks the middle of each side of every square that counts now, which the game's own
// marks leave open, so that the assists draw each square as one closed outline.
void closeSquareOutlines(const Shift& shift, CityMap& map);

}  // namespace hc
