#pragma once

#include "shell/core/body.h"

namespace hc {

struct Game;
struct Shift;

// Career mode: a new career (no money, no upgrades, no wear), then the garage and
// shift after shift. "Go to work" drives a four-minute shift in a new city with the
// car as the garage left it; when it ends the player is back in the garage with the
// new balance. Leaving the garage ends the career and returns. Opens its own music:
// track 2 in the garage, a random track at work. Nothing is kept between runs.
void runCareer(Game& game);

// Makes the game ready for the next career shift: the busy icon, a new city, the cab
// at its start and the shift's counters cleared but the money, the upgrade stages and
// the wear kept, a random driving track and the four-minute clock.
void prepareCareerShift(Game& game);

// The new-game reset of the counters and the cab, keeping what a career carries from
// shift to shift: the money, the four upgrade stages and the wear.
void resetForCareerShift(Shift& shift, PlayerCar& player);

}  // namespace hc
