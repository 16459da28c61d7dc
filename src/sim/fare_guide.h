#pragma once

#include "core/body.h"
#include "core/records.h"

namespace hc {

// The newcomer's guide for the cab where it stands now.
FareGuide fareGuide(const Shift& shift, const PlayerCar& car);

}  // namespace hc
