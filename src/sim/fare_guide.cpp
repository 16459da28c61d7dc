#include "sim/fare_guide.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/passengers.h"

namespace hc {

FareGuide fareGuide(const Shift& shift, const PlayerCar& car) {
    FareGuide guide;
    const int aboard = shift.passengerAboard;
    if (aboard >= 1 && aboard <= PassengerSlots) {
        guide.active = true;
        guide.aboard = true;
        guide.target = shift.passengers[aboard].destination;
    } else {
        // The nearest square with a passenger still waiting in it; ties go to the first.
        double best = 0.0;
        const int count = shift.passengerCount < PassengerSlots ? shift.passengerCount : PassengerSlots;
        for (int k = 1; k <= count; ++k) {
            const Passenger& passenger = shift.passengers[k];
            if (isOn(passenger.delivered)) continue;
            const double dx = static_cast<double>(passenger.pickup.x) - car.x;
            const double dy = static_cast<double>(passenger.pickup.y) - car.y;
            const double distance = dx * dx + dy * dy;
            if (!guide.active || distance < best) {
                guide.active = true;
                guide.target = passenger.pickup;
                best = distance;
            }
        }
        // A waiting square the cab is inside is the one that counts, nearest or not.
        for (int k = 1; k <= count && guide.active && !inSquare(car, guide.target); ++k) {
            const Passenger& passenger = shift.passengers[k];
            if (!isOn(passenger.delivered) && inSquare(car, passenger.pickup)) guide.target = passenger.pickup;
        }
    }
    if (guide.active) guide.distance = guideDistance(car, guide.target);
    if (guide.active && inSquare(car, guide.target)) {
        guide.inSquare = true;
        guide.tooFast = bodySpeed(car) >= StopSpeed;
    }
    return guide;
}

FareCues watchFare(FareWatch& watch, const Shift& shift, const FareGuide& guide) {
    FareCues cues;
    cues.pickedUp = shift.passengerAboard != 0 && shift.passengerAboard != watch.aboard;
    cues.delivered = shift.deliveredCount > watch.delivered;
    cues.entered = guide.inSquare && !watch.inside && !cues.pickedUp && !cues.delivered;
    watch.inside = guide.inSquare;
    watch.aboard = shift.passengerAboard;
    watch.delivered = shift.deliveredCount;
    return cues;
}

int64_t guideDistance(const PlayerCar& car, const Body& spot) {
    if (inSquare(car, spot)) return 0;
    constexpr auto Far = static_cast<int64_t>(1e15);  // a cab thrown to nowhere reads as far as can be
    if (!std::isfinite(car.x) || !std::isfinite(car.y)) return Far;
    // How far the cab lies beyond the square's edges on each axis (0 on an axis it is within).
    const double ex = std::fmax(0.0, std::fabs(static_cast<double>(car.x) - spot.x) - SquareReach);
    const double ey = std::fmax(0.0, std::fabs(static_cast<double>(car.y) - spot.y) - SquareReach);
    const double shown = std::ceil(fareUnits(ex, ey));
    // Outside by a hair lies beyond an edge by more than nothing, so it reads 1.
    return shown < 1e15 ? static_cast<int64_t>(shown) : Far;
}

namespace {

// Whether a car's stamp lies within three cells of the cab, the way it pushes (ahead,
// or behind in reverse), across the width of its box.
bool carInTheWay(const PlayerCar& car, const CityMap& map, bool reverse) {
    const double a = headingRadians(car);
    const double ux = reverse ? -std::cos(a) : std::cos(a), uy = reverse ? -std::sin(a) : std::sin(a);
    for (int d = 1; d <= 3; ++d) {
        for (int side = -1; side <= 1; ++side) {
            const double x = std::floor(car.x + d * ux - side * uy), y = std::floor(car.y + d * uy + side * ux);
            if (!(x >= 0 && y >= 0 && x < MapSize && y < MapSize)) continue;
            if (hasFlag(cellAt(map, static_cast<int>(x), static_cast<int>(y)), Vehicle)) return true;
        }
    }
    return false;
}

}  // namespace

StallHint watchStall(FareWatch& watch, const Shift& shift, const PlayerCar& car, const CityMap& map, bool throttle,
                     double ticks) {
    constexpr double StallTicks = 120.0;
    constexpr double Reach = 3.0;
    const double dx = car.x - watch.stallX, dy = car.y - watch.stallY;
    if (!throttle || !isOn(shift.engineRunning) || watch.stalledTicks <= 0 || !(dx * dx + dy * dy <= Reach * Reach)) {
        // Counting starts afresh from here.
        watch.stallX = car.x, watch.stallY = car.y;
        watch.stalledTicks = throttle && isOn(shift.engineRunning) ? ticks : 0.0;
        watch.stallSaid = false;
        return StallHint::None;
    }
    watch.stalledTicks += ticks;
    if (watch.stallSaid || watch.stalledTicks < StallTicks || shift.speechTimer > 0) return StallHint::None;
    watch.stallSaid = true;
    // Reversing into anything, the way out is forward: never the reverse key again.
    if (isOn(shift.reverseGear)) return StallHint::Behind;
    return carInTheWay(car, map, false) ? StallHint::Traffic : StallHint::Wall;
}

namespace {

// What the route search keeps per cell: the way one step nearer the square (1 to 4, an
// offset of StepOffset), a cell of the square itself, or a cell without room for the cab.
constexpr uint8_t StepSource = 5, StepNoRoom = 6;
constexpr int32_t StepOffset[5] = {0, MapSize, -MapSize, 1, -1};
constexpr int32_t CellCount = MapSize * MapSize;

// Whether the cab's box fits round the cell: each of the nine cells Passable or a car's
// (cars move on; the grid holds their stamps only for now). Never on the grid's rim.
bool hasRoom(const CityMap& map, int32_t cell) {
    const int x = cell / MapSize, y = cell % MapSize;
    if (x < 1 || y < 1 || x > MapSize - 2 || y > MapSize - 2) return false;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            if ((map.cells[cell + i * MapSize + j].flags & (Passable | Vehicle)) == 0) return false;
    return true;
}

// The same for a neighbour of a cell with room, one step `away` from it: six of the nine
// cells are the neighbour's too, so only the far row of three needs a look.
bool hasRoomBeyond(const CityMap& map, int32_t cell, int32_t away) {
    const int x = cell / MapSize, y = cell % MapSize;
    if (x < 1 || y < 1 || x > MapSize - 2 || y > MapSize - 2) return false;
    const int32_t across = away == 1 || away == -1 ? MapSize : 1, far = cell + away;
    for (const int32_t c : {far - across, far, far + across})
        if ((map.cells[c].flags & (Passable | Vehicle)) == 0) return false;
    return true;
}

bool reached(const FareRoute& route, int32_t cell) {
    return route.step[cell] != 0 && route.step[cell] != StepNoRoom;
}

// Carries the breadth-first search on until `goal` is reached, nothing is left to
// spread from or `budget` cells have been spread from. Each cell is looked at for room
// once and queued once.
void searchUntil(FareRoute& route, const CityMap& map, int32_t goal, size_t budget) {
    for (size_t spent = 0; !reached(route, goal) && route.head < route.queue.size() && spent < budget; ++spent) {
        const int32_t cell = route.queue[route.head++];
        for (uint8_t d = 1; d <= 4; ++d) {
            const int32_t next = cell - StepOffset[d];  // one step from `next` by d leads back to `cell`
            if (route.step[next] != 0) continue;
            if (!hasRoomBeyond(map, next, -StepOffset[d])) {
                route.step[next] = StepNoRoom;
                continue;
            }
            route.step[next] = d;
            route.queue.push_back(next);
        }
    }
}

// The grid cell under a point, or -1 off the grid (or undefined).
int32_t cellUnder(double x, double y) {
    if (!(x >= 0 && y >= 0 && x < MapSize && y < MapSize)) return -1;
    return static_cast<int32_t>(x) * MapSize + static_cast<int32_t>(y);
}

}  // namespace

void resetFareRoute(FareRoute& route) {
    route.found = false;
    route.cells.clear();
    route.targetCell = route.fromCell = -1;
    route.searching = false;
}

bool updateFareRoute(FareRoute& route, const CityMap& map, const PlayerCar& car, const FareGuide& guide,
                     size_t budget) {
    const int32_t target = guide.active ? cellUnder(guide.target.x, guide.target.y) : -1;
    const int32_t from = cellUnder(car.x, car.y);
    if (target < 0 || from < 0) {
        const bool had = route.found || route.targetCell >= 0;
        resetFareRoute(route);
        return had;
    }
    if (target == route.targetCell && from == route.fromCell && !route.searching) return false;
    if (target != route.targetCell) {
        // A new square: the search starts afresh from every cell of it with room.
        if (route.step.size() != static_cast<size_t>(CellCount)) route.step.assign(CellCount, 0);
        else std::fill(route.step.begin(), route.step.end(), uint8_t{0});
        route.queue.clear();
        route.queue.reserve(CellCount);
        route.head = 0;
        route.targetCell = target;
        const double tx = guide.target.x, ty = guide.target.y;
        for (int x = static_cast<int>(std::ceil(tx - SquareReach - 0.5)); x <= std::floor(tx + SquareReach - 0.5); ++x)
            for (int y = static_cast<int>(std::ceil(ty - SquareReach - 0.5)); y <= std::floor(ty + SquareReach - 0.5); ++y) {
                const int32_t cell = cellUnder(x, y);
                if (cell < 0 || route.step[cell] != 0 || !hasRoom(map, cell)) continue;
                route.step[cell] = StepSource;
                route.queue.push_back(cell);
            }
    }
    route.fromCell = from;
    route.found = false;
    route.cells.clear();
    // The cab's own cell, or the nearest within two with room, nearer rings first.
    int32_t start = -1;
    const int fx = from / MapSize, fy = from % MapSize;
    for (int r = 0; r <= 2 && start < 0; ++r)
        for (int i = -r; i <= r && start < 0; ++i)
            for (int j = -r; j <= r && start < 0; ++j) {
                if (std::max(std::abs(i), std::abs(j)) != r || fx + i < 0 || fy + j < 0 || fx + i >= MapSize || fy + j >= MapSize) continue;
                const int32_t cell = (fx + i) * MapSize + fy + j;
                if (hasRoom(map, cell)) start = cell;
            }
    route.searching = false;
    if (start < 0) return true;
    searchUntil(route, map, start, budget);
    if (!reached(route, start)) {
        route.searching = route.head < route.queue.size();
        return true;
    }
    route.found = true;
    for (int32_t cell = start;; cell += StepOffset[route.step[cell]]) {
        route.cells.push_back(cell);
        if (route.step[cell] == StepSource || route.cells.size() >= static_cast<size_t>(CellCount)) break;
    }
    return true;
}

void closeSquareOutlines(const Shift& shift, CityMap& map) {
    auto close = [&map](const Body& spot) {
        // The open cells: two deep in the middle of each side.
        constexpr int Gaps[8][2] = {{0, 3}, {0, 4}, {0, -3}, {0, -4}, {3, 0}, {4, 0}, {-3, 0}, {-4, 0}};
        for (const auto& g : Gaps) {
            const double x = std::nearbyint(static_cast<double>(spot.x) + g[0]);
            const double y = std::nearbyint(static_cast<double>(spot.y) + g[1]);
            if (!(x >= 0 && y >= 0 && x < MapSize && y < MapSize)) continue;
            setCellFlag(cellAt(map, static_cast<int>(x), static_cast<int>(y)), PickupMark, true);
        }
    };
    const int aboard = shift.passengerAboard;
    if (aboard >= 1 && aboard <= PassengerSlots) {
        close(shift.passengers[aboard].destination);
        return;
    }
    for (int k = 1; k <= PassengerSlots; ++k)
        if (!isOn(shift.passengers[k].delivered)) close(shift.passengers[k].pickup);
}

}  // namespace hc
