#pragma once
#include "sequencer.h"

namespace musicgen {

// The game's four tracks: 1 the menu theme, 2 the garage and help pages, 3 and 4 for
// driving.
Song menuTheme();
Song garageTheme();
Song crosstown();
Song redLightRun();
Song songNumber(int track);  // 1..4

}  // namespace musicgen
