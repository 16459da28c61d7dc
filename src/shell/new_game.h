#pragma once

#include <cstdint>

#include "core/body.h"

namespace hc {

struct Game;
struct Shift;

// Every reset of the shift record and the new-game sequence live here, so that the
// program loop, the career and the soak tool start their shifts the same way.

// Clears a new game's counters (wear, frame counter, meter, score, upgrade stages) and
// puts the cab at its start.
void newGameReset(Shift& shift, PlayerCar& player);

// The same, keeping what a career carries from shift to shift: the money, the four
// upgrade stages and the wear.
void resetForCareerShift(Shift& shift, PlayerCar& player);

// A free ride is an arcade game whose clock stands still until the driver ends it.
enum class ShiftKind { Arcade, Career, FreeRide };
// What the score picture says under the score of a free ride, which enters no best score.
constexpr const char* FreeRideNote = "a free ride: no best score";

// Makes the game ready for its next shift: the busy icon, a new city, the reset for the
// kind of shift (an arcade game or a free ride also gets the turbo at stage 1), a random
// driving track and the four-minute clock. The shift's recording starts from the random
// source as it stood before the city was made. A day (YYYYMMDD, 0 for none) seeds the
// random source from the date first: the city of the day, the same for every player.
void prepareShift(Game& game, ShiftKind kind, uint32_t day = 0);

// The random seed of a day's city.
uint64_t daySeed(uint32_t day);

}  // namespace hc
