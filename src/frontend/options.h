#pragma once
#include <string_view>

#include "draw/image.h"

namespace hc {

struct Game;
struct AudioEngine;
struct Shift;

constexpr int OptionsEntries = 5;
constexpr int OptionsAssists = 4;  // the newcomer's guide on, or classic mode

// Runs the options screen until "return" or the exit key: gamma, the music switch and
// the detail level, over the sunset picture with its scrolling floor. A window being
// closed ends it at once (keys.quit).
void runOptions(Game& game);

// The text of entry 1..4 as the current settings make it.
std::string_view optionsEntryText(int entry, const AudioEngine& audio, const Shift& shift);

// The gamma that follows g in the cycle 1.0, 0.8, 0.6, 1.2, 1.0 ... (single precision:
// a step that does not stay above 0.6 wraps to 1.2).
float nextGamma(float gamma);

// The still part of the picture: sky bands and the striped sun, filling the target.
void drawOptionsBackground(Image& target);
// The chequered floor over the lower part of the target, scrolled by phase (square
// rows); returns its first row.
int drawOptionsFloor(Image& target, double phase);

}  // namespace hc
