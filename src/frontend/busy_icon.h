#pragma once

namespace hc {

struct ScreenContext;

// Clears the render buffer, draws the hourglass in near-white in its middle and
// presents it: shown while a city is generated or the game loads.
void drawBusyIcon(ScreenContext& screen);

}  // namespace hc
