#include "shell/career.h"

#include "frontend/game.h"
#include "frontend/garage.h"
#include "platform/audio.h"
#include "shell/new_game.h"
#include "shell/shift_loop.h"

namespace hc {

namespace {

constexpr int GarageTrack = 2;

}  // namespace

void runCareer(Game& game) {
    // A career entered from the main menu always starts from nothing: the turbo and
    // everything else come only from the garage.
    newGameReset(game.shift, game.player);
    for (;;) {
        openTrack(game.audio, GarageTrack);
        if (!runGarage(game)) return;
        prepareShift(game, ShiftKind::Career);
        runShift(game);
    }
}

}  // namespace hc
