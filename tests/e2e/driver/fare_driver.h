#pragma once
// A driver that plays one fare from what the screen shows: it starts the engine,
// switches to the map view, picks the nearest pick-up square, drives there and stops
// in it, reads the cockpit's destination arrow, follows it until the destination
// square shows on the map, stops in that one, and checks the cockpit's delivered
// count. It sees only screenshots and answers with keys, so the same driver plays the
// real game under X (through xdotool and F2 grabs) and the headless game in tests.
#include <functional>
#include <string>
#include <vector>

#include "e2e/driver/screen_reader.h"

namespace hc::driver {

struct HeldKeys {
    bool up = false, down = false, left = false, right = false;
};

// Switch keys, pressed and released once.
enum class Tap { Ignition, MapView, Reverse };

struct DriverAction {
    HeldKeys hold;
    std::vector<Tap> taps;
};

enum class Phase { Starting, ToPickup, ToDestination, Delivered, NoSquare, TooFar, Failed };
const char* phaseName(Phase phase);

struct FareDriver {
    const StreetColours* colours = nullptr;
    const FontSet* font = nullptr;
    std::function<void(const std::string&)> log;
    bool trace = false;  // log the speed and steering of every decision
    double longestRide = 1e9;  // cells: a passenger going further is given up at once

    Phase phase = Phase::Starting;
    // What the driver believes.
    int cabX = 1040, cabY = 1034;  // the cab's cell; a new game puts it here
    double heading = 0.0;          // radians
    double vx = 0.0, vy = 0.0;     // cells per tick
    double turnRate = 0.0;         // its estimate of the game's steering state
    double steerError = 0.0;       // radians between the heading and the path ahead
    double aimX = 0.0, aimY = 0.0; // the point of the path the wheel aims at
    double farX = 0.0, farY = 0.0; // a point further on, for the turning-circle test
    bool engineOn = false;
    bool reverse = false;
    Cell target{};
    bool targetExact = false;  // the target square itself is known, not just its bearing
    double bearing = 0.0;      // towards the destination, radians on the grid
    bool destinationKnown = false;  // an estimate from the cockpit's arrow and distance
    double destinationX = 0.0, destinationY = 0.0;
    int axis = -1;  // on a long ride: 0 drive along x first, 1 along y, -1 not chosen

    // Cells the cab ran into that the map view did not show as blocked (low walls have
    // no roof line): remembered and planned round from then on.
    std::vector<Cell> learnedBlocked;
    // Where the last plan ended when its goal was out of reach.
    Cell planEnd{};
    bool hasPlanEnd = false;

    // Bookkeeping.
    struct Fix {
        double t;
        int x, y;
    };
    std::vector<Fix> fixes;
    double lastTime = -1.0;
    double lastTapTime = -10.0;
    double lastBearingTime = -100.0;
    double stoppedSince = -1.0;
    double stuckSince = -1.0;
    int recoverStage = 0;  // 0 driving; 1 braking, 2 backing up, 3 braking again
    double recoverTime = -1.0;
    bool manoeuvre = false;  // backing up to turn, not because the cab was stuck
    double manoeuvreEnd = -100.0;
    double bestDistance = 1e9;  // nearest the cab has come to where it is going
    double bestDistanceTime = -1.0;
    int failedChecks = 0;
    int baselineReadout = -1;  // crimson pixels of the speed read-out with the engine off
    double startTime = -1.0;
    bool wantHud = false;  // the next decision needs the cockpit picture
    int ignitionTries = 0;
    int hudChecks = 0;
    HeldKeys held;
};

// One decision from one screenshot taken at `seconds` (any steady clock).
DriverAction driveStep(FareDriver& driver, const Shot& shot, double seconds);

// True when the shot is the map view (its bottom rows are black, the cockpit is gone).
bool isMapView(const Shot& shot);

}  // namespace hc::driver
