#include "shell/new_game.h"

#include "city/city_generator.h"
#include "core/random.h"
#include "frontend/busy_icon.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "sim/passengers.h"

namespace hc {

namespace {

constexpr int ShiftMinutes = 4;

}  // namespace

void newGameReset(Shift& shift, PlayerCar& player) {
    shift.damage[1] = shift.damage[2] = shift.damage[3] = 0.0f;
    shift.frameCounter = 0;
    shift.pendingFare = 0;
    shift.score = 0;
    shift.turboLevel = shift.radiatorLevel = shift.brakeLevel = shift.tyreLevel = 0;
    player.x = 1040.0f;
    player.y = 1034.0f;
    player.travel = 0.0f;
    player.travelRate = 0.1f;
    player.heading = 0.0f;
    player.vx = player.vy = 0.0f;
    player.turnRate = 0.0f;
    // The direction fields follow the new heading, not the last game's.
    rotateBody(player, 0.0);
}


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

uint64_t daySeed(uint32_t day) { return 0x7700C17Dull * 100000000ull + day; }

void prepareShift(Game& game, ShiftKind kind, uint32_t day) {
    drawBusyIcon(game.screen);
    if (day != 0) seedRandom(daySeed(day));
    game.recording = Recording{};
    game.recordingLost = false;
    game.recording.start.random = randomState();
    game.recording.start.kind = kind == ShiftKind::Career ? ReplayKind::Career : ReplayKind::Arcade;
    game.recording.start.day = day;
    // The guide's state as the shift's start will find it (its first line hangs on it).
    game.recording.start.coachStep = game.assists.coachStep;
    game.recording.start.timedShiftRan = toFlag(game.assists.timedShiftRan);
    game.recording.start.lastDelivered = game.assists.lastDelivered;
    game.recording.start.rideSuggested = toFlag(game.assists.rideSuggested);
    generateCityMap(*game.city, game.state.shadeTable);
    if (kind == ShiftKind::Career) {
        resetForCareerShift(game.shift, game.player);
    } else {
        newGameReset(game.shift, game.player);
        game.shift.turboLevel = 1;
    }
    game.shift.freeRide = toFlag(kind == ShiftKind::FreeRide);
    openTrack(game.audio, randomChoice(4) + 1);
    setTimeLimit(game.shift, ShiftMinutes);
}

}  // namespace hc
