#include "frontend/assists.h"

#include "frontend/game.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "render/fare_guide_view.h"
#include "sim/passengers.h"

namespace hc {

namespace {

// A high ding on coming inside the square that counts, a rising fifth as a passenger
// gets in, a rising major chord's notes as one gets out.
void playFareCues(AudioEngine& audio, const FareCues& cues) {
    if (cues.delivered) {
        startCue(audio, 523.25, 659.25, 783.99, 0.6);
    } else if (cues.pickedUp) {
        startCue(audio, 659.25, 987.77, 0.0, 0.4);
    } else if (cues.entered) {
        startCue(audio, 1318.5, 0.0, 0.0, 0.25);
    }
}

// Once the engine runs, the square line follows the engine line at once; the map line
// follows once that has run out. Otherwise each waits until nothing is said, so that it
// never covers a passenger's words.
void coachNewcomer(Assists& assists, Shift& shift) {
    if (assists.coachStep == 1 && isOn(shift.engineRunning) &&
        (shift.speechTimer <= 0 || shift.speechText == CoachEngineLine)) {
        say(shift, CoachSquareLine);
        assists.coachStep = 2;
    } else if (assists.coachStep == 2 &&
               (shift.passengerAboard != 0 || shift.deliveredCount > 0 || isOn(shift.mapView))) {
        assists.coachStep = 3;  // found a fare or the map already: the map line would come too late
    } else if (assists.coachStep == 2 && shift.speechTimer <= 0) {
        say(shift, CoachMapLine);
        assists.coachStep = 3;
    }
}

const char* stallLine(StallHint hint) {
    switch (hint) {
        case StallHint::Wall: return StallWallLine;
        case StallHint::Traffic: return StallTrafficLine;
        case StallHint::Behind: return StallBehindLine;
        default: return nullptr;
    }
}

}  // namespace

const char* beginAssists(Game& game) {
    Assists& assists = game.assists;
    assists.watch = FareWatch{};
    assists.guide = FareGuide{};
    resetFareRoute(assists.route);
    // What the last shift left behind, before this one is counted.
    const bool nothingDelivered = assists.timedShiftRan && assists.lastDelivered == 0;
    assists.timedShiftRan = false;
    if (!isOn(game.shift.assists)) return nullptr;
    closeSquareOutlines(game.shift, *game.city);  // closed from the first picture on
    if (assists.coachStep == 0) {
        assists.coachStep = 1;
        return CoachEngineLine;
    }
    if (nothingDelivered && !assists.rideSuggested && !isOn(game.shift.freeRide)) {
        assists.rideSuggested = true;
        return CoachFreeRideLine;
    }
    return nullptr;
}

void stepAssists(Game& game) {
    Assists& assists = game.assists;
    Shift& shift = game.shift;
    if (!isOn(shift.assists)) {
        assists.guide = FareGuide{};
        return;
    }
    assists.guide = fareGuide(shift, game.player);
    updateFareRoute(assists.route, *game.city, game.player, assists.guide, RouteCellsPerFrame);
    playFareCues(game.audio, watchFare(assists.watch, shift, assists.guide));
    if (isOn(shift.engineRunning) && shift.speechTimer > 0 && shift.speechText == StartCarLine) shift.speechTimer = 0;
    coachNewcomer(assists, shift);
    const StallHint hint =
        watchStall(assists.watch, shift, game.player, *game.city, isHeld(game.keys, ActionUp), frameDelta(game.timer));
    if (const char* line = stallLine(hint)) say(shift, line);
    // A pick-up or drop-off this frame marked the squares afresh, with the game's gaps.
    closeSquareOutlines(shift, *game.city);
    if (!isOn(shift.freeRide)) {
        assists.timedShiftRan = true;
        assists.lastDelivered = shift.deliveredCount;
    }
}

const FareGuide* assistGuide(const Game& game) {
    return isOn(game.shift.assists) ? &game.assists.guide : nullptr;
}

void drawAssists(Game& game) {
    if (!isOn(game.shift.assists)) return;
    Image& target = renderTarget(game.screen);
    const Assists& assists = game.assists;
    const std::vector<int32_t>* route = assists.route.found ? &assists.route.cells : nullptr;
    if (isOn(game.shift.mapView)) {
        drawMapGuide(assists.guide, game.shift, game.player, game.font, target, route);
    } else {
        drawMinimapGuide(assists.guide, game.shift, game.player, target, route);
        drawFareGuide(assists.guide, game.player, game.font, target);
    }
}

}  // namespace hc
