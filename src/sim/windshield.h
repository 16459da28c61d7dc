#pragma once

#include "core/records.h"

namespace hc {

// Speed of the wiper blade, radians per tick, and the angle at which it rests at the
// start of a shift (just past the left end of its sweep).
constexpr double WiperSpeed = 0.04;
constexpr double WiperRestAngle = 1.02 * GamePi;
// A drop within this many tenths of a degree of the blade (seen from its pivot) is wiped.
constexpr float WipeReach = 50.0f;

// One frame of the windshield over a render buffer of width by height pixels (the
// windshield ends dashboardHeight rows above the bottom): the wiper sweeps while it is
// switched on, the engine runs and the bodywork holds; every second frame each drop runs
// outwards with the car's speed and slides down, and vanishes off the glass or under the
// blade; rain toggles at random and, while it rains, new drops appear.
void updateWindshield(Shift& shift, const PlayerCar& car, double dt, int width, int height);

}  // namespace hc
