#pragma once

#include "assets/game_state.h"
#include "draw/image.h"

namespace hc {

// The shattered windshield shown over the view once the bodywork is more than half
// wrecked: a spider-web of cracks round an impact point, drawn in code from a fixed
// seed (the same picture every run, and the game's shared random source is not
// touched). Lines are near-white with a black shadow; everything else is 0
// (transparent). The overlay is placed at (80, 0) and covers the glass above the dash.
constexpr int DamageOverlayWidth = 480;
constexpr int DamageOverlayHeight = 360;

// A new overlay image (1 byte per pixel), or null when it cannot be created.
Image* createHeavyDamageOverlay();
// Fills the state's overlay slot once; later calls keep the existing picture.
void ensureHeavyDamageOverlay(GameState& state);

}  // namespace hc
