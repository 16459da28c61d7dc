#pragma once
#include <cstdint>
#include <string>

#include "city/city_map.h"
#include "core/records.h"

namespace hc {

struct TrafficCar;

// How long a spoken line stays on screen, in ticks.
constexpr double SpeechTicks = 300.0;
// Half the side of a passenger's square: the car is inside when both axes are within it.
constexpr float SquareReach = 4.0f;
// Below this speed (cells per tick) the cab stands still for the squares.
constexpr double StopSpeed = 0.1;

// Sets up a new shift: the cab's state, the traffic (count cars, normally 128, placed at
// free crossings), the 16 passengers with their spots, lines and fares, and the rain.
// The car keeps its position. Draws the random source in a fixed order.
void startShift(Shift& shift, PlayerCar& car, CityMap& map, TrafficCar* traffic, int count);

// minutes whole minutes and no seconds left.
void setTimeLimit(Shift& shift, int64_t minutes);

// Clears every mark of the grid, then marks the squares of the passengers still waiting.
void markPickups(const Shift& shift, CityMap& map);
// Clears the PickupMark flag of every cell of the grid.
void clearMarks(CityMap& map);
// Marks the two-cell frame of the 9 by 9 square round a spot, with a one-cell gap in
// the middle of each side (48 cells); cells outside the grid are skipped.
void markSquare(CityMap& map, const Body& spot);
// A random spot whose 9 by 9 surroundings are all passable: up to 21 draws, the last
// one kept when all fail.
Body chooseSpot(CityMap& map);
// The fare of a trip: 0.15 point per cell of straight-line distance, rounded down.
int64_t tripFare(const Body& pickup, const Body& destination);
// Whether a position lies in the 9 by 9 square round a spot.
bool inSquare(const Body& car, const Body& spot);

// Passenger k (1..16) gets in, unless already delivered: the meter shows the new fare,
// only the destination square stays marked and the passenger asks for the ride.
void tryPickUp(Shift& shift, CityMap& map, int k);
// Passenger k gets out: delivered, the waiting squares come back, and a thank-you.
void tryDropOff(Shift& shift, CityMap& map, int k);

// Makes text the speech line for 300 ticks, replacing any line still shown.
void say(Shift& shift, const std::string& text);

// The clock and meter step at the end of every frame: counts the frame, runs the clock
// down by dt ticks (in a free ride only once the driver has set it to 0:00 by ending the
// ride) and, with nobody aboard, counts one point of the meter into the score. The
// shift is over once minutesLeft is below 0.
void advanceClock(Shift& shift, double dt);
// The same without counting a frame: the clock and meter of one of a long frame's
// earlier steps.
void runClock(Shift& shift, double dt);

}  // namespace hc
