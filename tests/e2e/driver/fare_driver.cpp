#include "e2e/driver/fare_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hc::driver {

namespace {

constexpr double Pi = 3.14159265358979;
constexpr double TicksPerSecond = 50.0;
constexpr double TapGap = 0.35;  // seconds between switch presses, so each one lands

double wrapAngle(double a) { return std::remainder(a, 2 * Pi); }

void say(FareDriver& d, const std::string& text) {
    if (d.log) d.log(text);
}

// Crimson pixels where the cockpit's speed read-out sits: "000" lights up once the
// engine runs.
int readoutPixels(const Shot& shot) {
    int n = 0;
    for (int y = 455; y < 477; ++y) {
        for (int x = 280; x < 346; ++x) n += shot.at(x, y) == 27;
    }
    return n;
}

void tap(FareDriver& d, DriverAction& action, Tap key, double t) {
    action.taps.push_back(key);
    d.lastTapTime = t;
}

// Velocity from the fixes of the last 0.6 seconds (least squares), in cells per tick.
void estimateVelocity(FareDriver& d, double t) {
    std::vector<FareDriver::Fix> recent;
    for (const auto& f : d.fixes) {
        if (t - f.t <= 0.6) recent.push_back(f);
    }
    if (recent.size() < 3 || recent.back().t - recent.front().t < 0.15) {
        if (d.fixes.size() >= 2) {
            const auto& a = d.fixes[d.fixes.size() - 2];
            const auto& b = d.fixes.back();
            const double ticks = std::max(1e-3, (b.t - a.t) * TicksPerSecond);
            d.vx = (b.x - a.x) / ticks;
            d.vy = (b.y - a.y) / ticks;
        }
        return;
    }
    double mt = 0, mx = 0, my = 0;
    for (const auto& f : recent) mt += f.t, mx += f.x, my += f.y;
    const double n = static_cast<double>(recent.size());
    mt /= n, mx /= n, my /= n;
    double stt = 0, stx = 0, sty = 0;
    for (const auto& f : recent) {
        stt += (f.t - mt) * (f.t - mt);
        stx += (f.t - mt) * (f.x - mx);
        sty += (f.t - mt) * (f.y - my);
    }
    d.vx = stx / stt / TicksPerSecond;
    d.vy = sty / stt / TicksPerSecond;
}

// Steering state as the game keeps it, from the keys held since the last decision.
void advanceTurnRate(FareDriver& d, double ticks) {
    if (d.held.right) d.turnRate = std::min(1.2, d.turnRate + ticks * 0.032);
    else if (d.held.left) d.turnRate = std::max(-1.2, d.turnRate - ticks * 0.032);
    else d.turnRate *= std::pow(0.9, ticks);
}

bool insideTarget(const FareDriver& d) {
    return d.targetExact && std::abs(d.cabX - d.target.x) <= 3 && std::abs(d.cabY - d.target.y) <= 3;
}

// Finds the cab on a map-view shot; false when the shot cannot be matched.
bool locate(FareDriver& d, const Shot& shot, double t, double ticks) {
    const int guessX = static_cast<int>(std::lround(d.cabX + d.vx * ticks));
    const int guessY = static_cast<int>(std::lround(d.cabY + d.vy * ticks));
    CabFix fix = locateCab(*d.colours, shot, guessX, guessY, 5);
    const int wanted = std::max(40, fix.samples / 4);
    if (fix.score < wanted) fix = locateCab(*d.colours, shot, d.cabX, d.cabY, 24);
    if (fix.score < wanted) {
        say(d, "lost the cab on the map (score " + std::to_string(fix.score) + " of " + std::to_string(fix.samples) + ")");
        return false;
    }
    d.cabX = fix.x;
    d.cabY = fix.y;
    d.fixes.push_back({t, fix.x, fix.y});
    while (!d.fixes.empty() && t - d.fixes.front().t > 1.5) d.fixes.erase(d.fixes.begin());
    estimateVelocity(d, t);
    const double speed = std::hypot(d.vx, d.vy);
    const double scale = speed < 0.2 ? speed / 0.2 : 1.0;
    const double guess = d.heading + d.turnRate * scale * ticks * Pi / 180.0;
    const double read = readMapHeading(shot, guess, 0.8);
    if (read == read) d.heading = read;
    return true;
}

constexpr double TurnRadius = 11.0;  // cells: the tightest circle the cab drives at low speed

// False when the aim point lies inside the circle the cab would drive turning towards
// it: then no steering gets it there going forwards.
bool aimReachable(const FareDriver& d) {
    const double error = wrapAngle(std::atan2(d.farY - d.cabY, d.farX - d.cabX) - d.heading);
    if (std::fabs(error) < 50.0 * Pi / 180.0) return true;
    const double side = error > 0 ? 1.0 : -1.0;
    const double cx = d.cabX + TurnRadius * std::cos(d.heading + side * Pi / 2);
    const double cy = d.cabY + TurnRadius * std::sin(d.heading + side * Pi / 2);
    return std::hypot(d.farX - cx, d.farY - cy) >= TurnRadius;
}

// Keys that follow the path: pure pursuit for the wheel, and a speed from which the
// brakes can still slow the cab for the next bend or stop it at the target.
HeldKeys followPath(FareDriver& d, const std::vector<Cell>& path) {
    HeldKeys keys;
    const double speed = std::hypot(d.vx, d.vy);
    if (path.size() < 2) {
        keys.down = speed > 0.02;
        return keys;
    }
    std::vector<double> along(path.size(), 0.0);
    for (size_t i = 1; i < path.size(); ++i) {
        along[i] = along[i - 1] + std::hypot(double(path[i].x - path[i - 1].x), double(path[i].y - path[i - 1].y));
    }
    const double lookahead = 7.0 + 12.0 * speed;
    size_t aim = path.size() - 1;
    for (size_t i = 1; i < path.size(); ++i) {
        if (along[i] >= lookahead) {
            aim = i;
            break;
        }
    }
    d.aimX = path[aim].x;
    d.aimY = path[aim].y;
    // The point the turning-circle test looks at: 20 cells on, or the path's end.
    size_t far = path.size() - 1;
    for (size_t i = 1; i < path.size(); ++i) {
        if (along[i] >= 20.0) {
            far = i;
            break;
        }
    }
    d.farX = path[far].x;
    d.farY = path[far].y;
    const double desired = std::atan2(d.aimY - d.cabY, d.aimX - d.cabX);
    d.steerError = wrapAngle(desired - d.heading);
    const double error = d.steerError * 180.0 / Pi;  // degrees, + is clockwise

    // The first bend: where the path's own direction (over 20 steps, so that the
    // staircase of grid steps and drifting to the middle of a street do not count)
    // leaves the heading by 40 degrees.
    double bend = 1e9;
    for (size_t i = 0; i + 20 < path.size() && along[i] < 200.0; ++i) {
        const double dir = std::atan2(double(path[i + 20].y - path[i].y), double(path[i + 20].x - path[i].x));
        if (along[i] > 4.0 && std::fabs(wrapAngle(dir - d.heading)) > 40.0 * Pi / 180.0) {
            bend = along[i];
            break;
        }
    }
    constexpr double Brake = 0.0025;  // cells per tick per tick the driver counts on
    double wanted = std::min(0.9, std::sqrt(0.22 * 0.22 + 2 * Brake * std::max(0.0, bend - 8.0)));
    if (d.targetExact && path.back().x == d.target.x && path.back().y == d.target.y) {
        wanted = std::min(wanted, std::sqrt(0.05 * 0.05 + 2 * Brake * std::max(0.0, along.back() - 2.0)));
    }
    if (std::fabs(error) > 70.0) wanted = std::min(wanted, 0.15);
    keys.up = speed < wanted - 0.03;
    keys.down = speed > wanted + 0.06;
    if (d.trace) {
        char line[160];
        std::snprintf(line, sizeof line, "cab %d, %d speed %.2f wanted %.2f, bend in %.0f, path %.0f, steering error %.0f",
                      d.cabX, d.cabY, speed, wanted, bend, along.back(), error);
        say(d, line);
    }

    const double rate = std::clamp(error / 15.0, -1.2, 1.2);
    if (d.turnRate < rate - 0.1) keys.right = true;
    else if (d.turnRate > rate + 0.1) keys.left = true;
    return keys;
}

// Where to head while the destination square is not in sight. With an estimate of the
// destination, along one axis until level with it and then along the other, so that the
// ride keeps to long straight streets; without one, along the arrow.
Cell rideGoal(FareDriver& d) {
    if (!d.destinationKnown) {
        return {static_cast<int>(std::lround(d.cabX + 4000 * std::cos(d.bearing))),
                static_cast<int>(std::lround(d.cabY + 4000 * std::sin(d.bearing)))};
    }
    const double ex = d.destinationX - d.cabX, ey = d.destinationY - d.cabY;
    const Cell destination{static_cast<int>(std::lround(d.destinationX)), static_cast<int>(std::lround(d.destinationY))};
    if (std::hypot(ex, ey) < 120.0) return destination;
    if (d.axis < 0) {
        d.axis = std::fabs(std::cos(d.heading)) > std::fabs(std::sin(d.heading)) ? 0 : 1;
        if (std::fabs(d.axis == 0 ? ex : ey) < 60.0) d.axis = 1 - d.axis;
    }
    if (d.axis == 0 && std::fabs(ex) < 40.0) d.axis = 1;
    if (d.axis == 1 && std::fabs(ey) < 40.0) d.axis = 0;
    return d.axis == 0 ? Cell{destination.x, d.cabY} : Cell{d.cabX, destination.y};
}

void startBackingUp(FareDriver& d, double t, bool manoeuvre) {
    d.recoverStage = 1;
    d.recoverTime = t;
    d.manoeuvre = manoeuvre;
}

// Backing up: brake, reverse gear, back with the wheel turned the other way (steering
// is mirrored in reverse, so the nose swings towards the way on), brake, forward gear.
// Used when the cab is pressed against something, and as a manoeuvre when the way on
// lies inside the cab's turning circle.
bool backUp(FareDriver& d, DriverAction& action, double t) {
    const double speed = std::hypot(d.vx, d.vy);
    // Brakes to a stop, then changes gear (the game refuses below speed 0.1 only) and
    // goes on to the next stage.
    auto stopAndShift = [&](int next) {
        action.hold.down = true;
        if (t - d.recoverTime > 0.3 && speed < 0.05) {
            tap(d, action, Tap::Reverse, t);
            d.reverse = !d.reverse;
            d.recoverStage = next;
            d.recoverTime = t;
            if (next == 0) {
                d.stuckSince = -1.0;
                if (d.manoeuvre) d.manoeuvreEnd = t;
            }
        }
        return true;
    };
    switch (d.recoverStage) {
        case 1:
            return stopAndShift(2);
        case 2: {
            d.steerError = wrapAngle(std::atan2(d.farY - d.cabY, d.farX - d.cabX) - d.heading);
            action.hold.up = speed < 0.2;
            action.hold.left = d.steerError > 0.2;
            action.hold.right = d.steerError < -0.2;
            const double limit = d.manoeuvre ? 3.0 : 1.2;
            if (t - d.recoverTime > limit || (d.manoeuvre && t - d.recoverTime > 0.6 && aimReachable(d))) {
                d.recoverStage = 3;
                d.recoverTime = t;
            }
            return true;
        }
        case 3:
            return stopAndShift(0);
        default:
            return false;
    }
}

void readCockpit(FareDriver& d, const Shot& shot, double t) {
    const double arrow = readHudArrow(shot);
    d.hudChecks++;
    if (d.phase == Phase::ToPickup) {
        if (arrow == arrow) {
            d.phase = Phase::ToDestination;
            d.targetExact = false;
            d.failedChecks = 0;
            d.bestDistance = 1e9;
            d.bestDistanceTime = -1.0;
            say(d, "passenger aboard at " + std::to_string(d.cabX) + ", " + std::to_string(d.cabY));
        } else {
            d.failedChecks++;
            say(d, "no passenger yet");
        }
    } else if (d.phase == Phase::ToDestination) {
        if (arrow != arrow) {
            if (showsText(*d.font, shot, -1, 0, "1/16", 1)) {
                d.phase = Phase::Delivered;
                say(d, "delivered at " + std::to_string(d.cabX) + ", " + std::to_string(d.cabY) +
                           "; the cockpit shows 1/16");
            } else {
                d.phase = Phase::Failed;
                say(d, "the arrow is gone but the cockpit does not show 1/16");
            }
            return;
        }
        if (insideTarget(d)) {
            d.failedChecks++;
            say(d, "still aboard in the destination square");
        }
    }
    if (arrow == arrow) {
        d.bearing = wrapAngle(arrow + d.heading + Pi / 2);
        d.lastBearingTime = t;
        const int shown = readHudDistance(*d.font, shot);
        if (shown >= 0) {
            const double distance = (shown + 0.5) / 0.15;
            const bool first = !d.destinationKnown;
            d.destinationX = d.cabX + distance * std::cos(d.bearing);
            d.destinationY = d.cabY + distance * std::sin(d.bearing);
            d.destinationKnown = true;
            say(d, "destination about " + std::to_string(int(distance)) + " cells away, near " +
                       std::to_string(int(d.destinationX)) + ", " + std::to_string(int(d.destinationY)));
            if (first && distance > d.longestRide) {
                d.phase = Phase::TooFar;
                say(d, "too far for this drive");
            }
        }
    }
}

// A drive that comes no nearer for 45 seconds has gone wrong: it is given up, so that a
// new game can be tried.
bool stalled(FareDriver& d, double t) {
    if (!d.targetExact && !d.destinationKnown) return false;
    const double distance = d.targetExact ? std::hypot(double(d.target.x - d.cabX), double(d.target.y - d.cabY))
                                          : std::hypot(d.destinationX - d.cabX, d.destinationY - d.cabY);
    if (distance < d.bestDistance - 15.0 || d.bestDistanceTime < 0) {
        d.bestDistance = distance;
        d.bestDistanceTime = t;
        return false;
    }
    if (t - d.bestDistanceTime <= 45.0) return false;
    d.phase = Phase::Failed;
    say(d, "no nearer in 45 seconds; giving up at " + std::to_string(d.cabX) + ", " + std::to_string(d.cabY));
    return true;
}

// The start of the shift: ignition until the speed read-out lights up, the map view,
// where the cab is, and the pick-up square to go to.
void startShift(FareDriver& d, const Shot& shot, double t, DriverAction& action) {
    const bool map = isMapView(shot);
    const bool tapRecent = t - d.lastTapTime < TapGap;
    if (!map) {
        const int readout = readoutPixels(shot);
        if (d.baselineReadout < 0) d.baselineReadout = readout;
        if (!d.engineOn && readout > d.baselineReadout + 15) {
            d.engineOn = true;
            say(d, "engine running");
        }
        if (tapRecent) return;
        if (!d.engineOn) {
            // The shift opens with a fade that ignores keys: try again until the
            // read-out lights up.
            if (t - d.lastTapTime < 0.8) return;
            if (++d.ignitionTries > 10) {
                d.phase = Phase::Failed;
                say(d, "the engine does not start");
            } else {
                tap(d, action, Tap::Ignition, t);
            }
        } else {
            tap(d, action, Tap::MapView, t);
        }
        return;
    }
    if (!d.engineOn) {
        // A map view before the engine runs: back to the cockpit first.
        if (!tapRecent) tap(d, action, Tap::MapView, t);
        return;
    }
    if (!locate(d, shot, t, 0.0)) {
        const CabFix wide = locateCab(*d.colours, shot, 1040, 1034, 40);
        d.cabX = wide.x, d.cabY = wide.y;
        return;
    }
    d.heading = readMapHeading(shot, 0.0, 4.0);
    if (d.heading != d.heading) d.heading = 0.0;
    const auto squares = findSquares(*d.colours, shot, d.cabX, d.cabY, d.heading);
    if (squares.empty()) {
        d.phase = Phase::NoSquare;
        say(d, "no pick-up square on the map");
        return;
    }
    // The square with the shortest way there. One right beside the cab would need
    // turning on the spot, which the cab cannot do: those are left alone.
    LocalMap local;
    observeMap(*d.colours, shot, d.cabX, d.cabY, 320, local);
    const Square* best = nullptr;
    double bestCost = 1e18;
    for (const auto& s : squares) {
        const auto path = planPath(local, {d.cabX, d.cabY}, {s.x, s.y});
        double cost = 0.0;
        for (size_t i = 1; i < path.size(); ++i) {
            cost += std::hypot(double(path[i].x - path[i - 1].x), double(path[i].y - path[i - 1].y));
        }
        if (path.empty() || path.back().x != s.x || path.back().y != s.y) cost += 1000.0;
        if (std::hypot(double(s.x - d.cabX), double(s.y - d.cabY)) < 30.0) continue;
        if (cost < bestCost) {
            bestCost = cost;
            best = &s;
        }
    }
    if (best == nullptr) {
        d.phase = Phase::NoSquare;
        say(d, "the only pick-up squares in sight are right beside the cab");
        return;
    }
    d.target = {best->x, best->y};
    d.targetExact = true;
    d.phase = Phase::ToPickup;
    say(d, "cab at " + std::to_string(d.cabX) + ", " + std::to_string(d.cabY) + "; " +
               std::to_string(squares.size()) + " square(s) in sight; going to " + std::to_string(best->x) +
               ", " + std::to_string(best->y));
}

}  // namespace

const char* phaseName(Phase phase) {
    switch (phase) {
        case Phase::Starting: return "starting";
        case Phase::ToPickup: return "to the pick-up";
        case Phase::ToDestination: return "to the destination";
        case Phase::Delivered: return "delivered";
        case Phase::NoSquare: return "no pick-up square in sight";
        case Phase::TooFar: return "the destination is too far";
        case Phase::Failed: return "failed";
    }
    return "?";
}

bool isMapView(const Shot& shot) {
    for (int y = MapRows; y < ShotHeight; ++y) {
        for (int x = 0; x < ShotWidth; x += 4) {
            if (shot.at(x, y) != 255) return false;
        }
    }
    return true;
}

DriverAction driveStep(FareDriver& d, const Shot& shot, double t) {
    DriverAction action;
    if (d.startTime < 0) d.startTime = t;
    const double ticks = d.lastTime < 0 ? 0.0 : std::max(0.0, (t - d.lastTime) * TicksPerSecond);
    d.lastTime = t;
    advanceTurnRate(d, ticks);
    const bool map = isMapView(shot);
    const bool tapRecent = t - d.lastTapTime < TapGap;
    auto finish = [&]() {
        d.held = action.hold;
        return action;
    };
    if (d.phase == Phase::Delivered || d.phase == Phase::NoSquare || d.phase == Phase::TooFar ||
        d.phase == Phase::Failed) {
        return finish();
    }

    if (d.phase == Phase::Starting) {
        startShift(d, shot, t, action);
        return finish();
    }

    if (!map) {
        // The cockpit: read it if asked to, then back to the map.
        if (d.wantHud) {
            readCockpit(d, shot, t);
            d.wantHud = false;
            d.stoppedSince = -1.0;
            if (d.phase == Phase::Delivered || d.phase == Phase::Failed || d.phase == Phase::TooFar) return finish();
        }
        if (d.failedChecks > 6) {
            d.phase = Phase::Failed;
            say(d, "the square does not take the cab");
            return finish();
        }
        if (!tapRecent) tap(d, action, Tap::MapView, t);
        action.hold.down = std::hypot(d.vx, d.vy) > 0.3;
        return finish();
    }

    if (!locate(d, shot, t, ticks)) return finish();
    const double speed = std::hypot(d.vx, d.vy);

    // Squares in sight: keep the target on its square, or find the destination.
    const auto squares = findSquares(*d.colours, shot, d.cabX, d.cabY, d.heading);
    if (d.phase == Phase::ToDestination && !d.targetExact && !squares.empty()) {
        const Square* best = nullptr;
        double bestOff = 1e9;
        for (const auto& s : squares) {
            const double dir = std::atan2(double(s.y - d.cabY), double(s.x - d.cabX));
            const double off = std::fabs(wrapAngle(dir - d.bearing));
            if (off < bestOff) bestOff = off, best = &s;
        }
        if (best != nullptr && bestOff < 0.5) {
            d.target = {best->x, best->y};
            d.targetExact = true;
            d.bestDistance = 1e9;
            d.bestDistanceTime = -1.0;
            say(d, "destination square in sight at " + std::to_string(best->x) + ", " + std::to_string(best->y));
        }
    } else if (d.targetExact) {
        for (const auto& s : squares) {
            if (std::abs(s.x - d.target.x) <= 4 && std::abs(s.y - d.target.y) <= 4) d.target = {s.x, s.y};
        }
    }

    if (backUp(d, action, t)) return finish();

    // The bearing goes stale as the cab moves: look at the cockpit again now and then.
    if (d.phase == Phase::ToDestination && !d.targetExact && t - d.lastBearingTime > 5.0 && !tapRecent) {
        d.wantHud = true;
        tap(d, action, Tap::MapView, t);
        return finish();
    }

    if (insideTarget(d)) {
        action.hold.down = speed > 0.0;
        if (d.stoppedSince < 0) d.stoppedSince = t;
        // Standing in the square for a second: the game has tested the passenger by
        // then (one slot a frame); the cockpit tells whether it worked.
        if (t - d.stoppedSince > 1.2 && !tapRecent) {
            d.wantHud = true;
            tap(d, action, Tap::MapView, t);
        }
        return finish();
    }
    d.stoppedSince = -1.0;

    Cell goal = d.target;
    if (!d.targetExact) goal = rideGoal(d);

    if (stalled(d, t)) return finish();
    LocalMap local;
    observeMap(*d.colours, shot, d.cabX, d.cabY, 320, local);
    for (const Cell& c : d.learnedBlocked) {
        const int i = c.x - local.originX, j = c.y - local.originY;
        if (i >= 0 && j >= 0 && i < local.size && j < local.size) local.cells[size_t(j) * local.size + i] = Seen::Blocked;
    }
    const auto path = planPath(local, {d.cabX, d.cabY}, goal, d.hasPlanEnd ? &d.planEnd : nullptr);
    d.hasPlanEnd = !path.empty() && (path.back().x != goal.x || path.back().y != goal.y);
    if (d.hasPlanEnd) d.planEnd = path.back();
    action.hold = followPath(d, path);
    // A manoeuvre that did not help is not repeated at once: the wheel gets a chance
    // at full lock first.
    if (!aimReachable(d) && std::hypot(d.vx, d.vy) < 0.25 && t - d.manoeuvreEnd > 4.0) {
        say(d, "the way on is inside the turning circle; backing up");
        startBackingUp(d, t, true);
        action.hold = {};
        action.hold.down = true;
        return finish();
    }

    // Throttle held and the cab does not move: pressed against something.
    if (action.hold.up && speed < 0.02) {
        if (d.stuckSince < 0) d.stuckSince = t;
        if (t - d.stuckSince > 1.5) {
            say(d, "stuck at " + std::to_string(d.cabX) + ", " + std::to_string(d.cabY) + "; backing up");
            // Whatever stops the cab lies just ahead of it.
            const double cx = std::cos(d.heading), cy = std::sin(d.heading);
            for (int ahead = 2; ahead <= 4; ++ahead) {
                for (int side = -2; side <= 2; ++side) {
                    d.learnedBlocked.push_back({static_cast<int>(std::lround(d.cabX + ahead * cx - side * cy)),
                                                static_cast<int>(std::lround(d.cabY + ahead * cy + side * cx))});
                }
            }
            startBackingUp(d, t, false);
            action.hold = {};
            action.hold.down = true;
        }
    } else {
        d.stuckSince = -1.0;
    }
    return finish();
}

}  // namespace hc::driver
