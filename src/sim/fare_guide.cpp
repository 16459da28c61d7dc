#include "sim/fare_guide.h"

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

bool watchStall(FareWatch& watch, const Shift& shift, const PlayerCar& car, bool throttle, double ticks) {
    constexpr double StallTicks = 120.0;
    constexpr double Reach = 3.0;
    const double dx = car.x - watch.stallX, dy = car.y - watch.stallY;
    if (!throttle || !isOn(shift.engineRunning) || watch.stalledTicks <= 0 || !(dx * dx + dy * dy <= Reach * Reach)) {
        // Counting starts afresh from here.
        watch.stallX = car.x, watch.stallY = car.y;
        watch.stalledTicks = throttle && isOn(shift.engineRunning) ? ticks : 0.0;
        watch.stallSaid = false;
        return false;
    }
    watch.stalledTicks += ticks;
    if (watch.stallSaid || watch.stalledTicks < StallTicks || shift.speechTimer > 0) return false;
    watch.stallSaid = true;
    return true;
}

}  // namespace hc
