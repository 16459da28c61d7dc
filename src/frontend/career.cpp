#include "frontend/career.h"

#include "city/city_generator.h"
#include "frontend/garage.h"
#include "platform/audio.h"
#include "shell/core/random.h"
#include "shell/game.h"
#include "shell/shift_loop.h"
#include "shell/startup.h"
#include "sim/passengers.h"

namespace hc {

namespace {

constexpr int GarageTrack = 2;
constexpr int CareerShiftMinutes = 4;

}  // namespace

void resetForCareerShift(Shift& shift, PlayerCar& player) {
    const int64_t money = shift.score;
    const int8_t turbo = shift.turboLevel;
    const int8_t radiator = shift.radiatorLevel;
    const int8_t brakes = shift.brakeLevel;
    const int8_t tyres = shift.tyreLevel;
    float wear[4];
    for (int k = 0; k < 4; ++k) wear[k] = shift.damage[k];

    newGameReset(shift, player);

    shift.score = money;
    shift.turboLevel = turbo;
    shift.radiatorLevel = radiator;
    shift.brakeLevel = brakes;
    shift.tyreLevel = tyres;
    for (int k = 0; k < 4; ++k) shift.damage[k] = wear[k];
}

void prepareCareerShift(Game& game) {
    drawBusyIcon(game.screen);
    generateCityMap(*game.city, game.state.shadeTable);
    resetForCareerShift(game.shift, game.player);
    openTrack(game.audio, randomChoice(4) + 1);
    setTimeLimit(game.shift, CareerShiftMinutes);
}

void runCareer(Game& game) {
    // A career entered from the main menu always starts from nothing: the turbo and
    // everything else come only from the garage.
    newGameReset(game.shift, game.player);
    for (;;) {
        openTrack(game.audio, GarageTrack);
        if (!runGarage(game)) return;
        prepareCareerShift(game);
        runShift(game);
    }
}

}  // namespace hc
