#pragma once
#include <cstdint>

#include "core/records.h"
#include "sim/fare_guide.h"

namespace hc {

struct Game;

// The newcomer's assists, whole: the guide to the next square, its sounds, the how-to
// lines and the stall hint. The shift loop knows them only by the three calls below;
// with the assists off (classic mode) none of them does anything, so the game looks and
// sounds exactly as it always has.
struct Assists {
    FareGuide guide;           // this frame's
    FareWatch watch;           // last frame's squares and fares, and the stall count
    FareRoute route;           // the way by road to the guide's square, for the maps
    int8_t coachStep = 0;      // the first shift's how-to lines: 0 not yet, 1 engine, 2 squares, 3 done
    bool timedShiftRan = false;  // a timed shift with the assists has run since the last start
    int32_t lastDelivered = 0;   // ...and delivered this many
    bool rideSuggested = false;  // the free ride has been suggested once this run
};

// The game's own line at a shift's start, when the assists have none to say instead;
// with the assists it goes once the engine runs.
constexpr const char* StartCarLine = "press [S] to start the car.";

// The how-to lines, as the speech bubble says them.
constexpr const char* CoachEngineLine = "Press S to start the engine";
constexpr const char* CoachSquareLine = "Stop inside a marked square to pick up a fare";
constexpr const char* CoachMapLine = "Tab shows the map: find the gold diamonds";
constexpr const char* CoachFreeRideLine = "No fare yet? Try a free ride from the menu: no clock";
// Said when the throttle is held and the cab, caught on a wall or a car, does not move.
constexpr const char* StallWallLine = "Stuck? Press R, back away, steer clear";
constexpr const char* StallTrafficLine = "Traffic waits for you: back off or go round";
constexpr const char* StallBehindLine = "Blocked behind: change to forward, steer clear";

// A new shift's start, once its record is set up and before its first picture: the
// guide and the watch start afresh. Returns the first line to say (press S in the first
// assisted shift of a run; the free ride, once, after a timed shift that delivered
// nobody), or none, when the game's own line goes in its place.
const char* beginAssists(Game& game);

// The frame's step, after the cab has moved and before anything is drawn: the guide and
// its way by road, its sounds, the how-to lines (the game's start line ends once the
// engine runs), the stall hint and the squares' outlines.
void stepAssists(Game& game);

// The guide for the world view, or none in classic mode.
const FareGuide* assistGuide(const Game& game);

// Draws the guide over the frame: over the cockpit and the minimap, or over the map view.
void drawAssists(Game& game);

}  // namespace hc
