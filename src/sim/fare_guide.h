#pragma once

#include "core/body.h"
#include "core/records.h"

namespace hc {

// The newcomer's guide for the cab where it stands now. With nobody aboard it points to
// the nearest waiting passenger, unless the cab already stands in another waiting
// passenger's square: that one is the square that counts, so the guide shows it.
FareGuide fareGuide(const Shift& shift, const PlayerCar& car);

// The moments since the last frame: coming inside the guide's square, a pick-up, a
// drop-off. Updates the watch. A pick-up or drop-off on this frame is not also an entry.
FareCues watchFare(FareWatch& watch, const Shift& shift, const FareGuide& guide);

// Whether to tell the driver how to get free: true once a stall, on the first frame on
// which the throttle has been held with the engine running for 120 ticks while the cab,
// caught on a wall or a car, stayed within 3 cells of where it was, and nothing else is
// being said. `ticks` is the frame's length in game ticks. (A caught cab bounces to and
// fro, so its speed alone does not tell.)
bool watchStall(FareWatch& watch, const Shift& shift, const PlayerCar& car, bool throttle, double ticks);

}  // namespace hc
