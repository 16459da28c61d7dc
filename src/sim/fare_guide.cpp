#include "sim/fare_guide.h"

#include <cmath>

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
