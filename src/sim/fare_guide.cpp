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
    }
    if (guide.active && inSquare(car, guide.target)) {
        guide.inSquare = true;
        guide.tooFast = bodySpeed(car) >= StopSpeed;
    }
    return guide;
}

}  // namespace hc
