#include "shell/career.h"

#include <algorithm>
#include <string>

#include "frontend/game.h"
#include "frontend/garage.h"
#include "platform/audio.h"
#include "shell/new_game.h"
#include "shell/replays.h"
#include "shell/saves.h"
#include "shell/shift_loop.h"

namespace hc {

namespace {

constexpr int GarageTrack = 2;

// The shift is over, by its clock, the exit key or a closed window: its fares and
// earnings go into the books, and the career is saved at once.
void closeCareerShift(Game& game, int64_t moneyBefore) {
    CareerRecord& career = keptCareer(game);
    career.shiftsDriven += 1;
    career.faresDelivered += game.shift.deliveredCount;
    career.moneyEarned += std::max<int64_t>(0, game.shift.score - moneyBefore);
    shiftToCareer(game.shift, career);
    saveCareer(game);
    keepSettings(game);
}

}  // namespace

void runCareer(Game& game) {
    // The career comes from its own record (the save, or what this run kept), never
    // from what an arcade game left in the shift record.
    careerToShift(keptCareer(game), game.shift);
    const auto saveAndExit = [&game] {
        shiftToCareer(game.shift, keptCareer(game));
        return saveCareer(game);
    };
    for (;;) {
        openTrack(game.audio, GarageTrack);
        if (!runGarage(game, saveAndExit)) {
            // A window closed in the garage keeps what was bought there; a career the
            // garage did not change is not written again.
            const std::string before = careerText(keptCareer(game));
            shiftToCareer(game.shift, keptCareer(game));
            if (game.keys.quit && careerText(keptCareer(game)) != before) saveCareer(game);
            return;
        }
        const int64_t moneyBefore = game.shift.score;
        prepareShift(game, ShiftKind::Career);
        runShift(game);
        saveRecording(game, LastShiftReplay);
        closeCareerShift(game, moneyBefore);
        if (game.keys.quit) return;
    }
}

}  // namespace hc
