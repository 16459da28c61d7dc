#include "sim/windshield.h"

#include <cmath>

#include "core/random.h"

namespace hc {

void updateWindshield(Shift& shift, const PlayerCar& car, double dt, int width, int height) {
    const double speed = bodySpeed(car);
    const double glassBottom = height - shift.dashboardHeight;

    // The blade sweeps the upper half-plane round the pivot and turns at either end.
    if (isOn(shift.wipersOn) && isOn(shift.engineRunning) && shift.damage[1] < 0.5f) {
        shift.wiperAngle += dt * shift.wiperDirection * WiperSpeed;
        const double turns = shift.wiperAngle / GamePi;
        if (turns < 1.0 || turns > 2.0) {
            shift.wiperDirection = -shift.wiperDirection;
            shift.wiperAngle += dt * shift.wiperDirection * WiperSpeed;
        }
    }
    Body blade{};
    rotateBody(blade, shift.wiperAngle / GamePi * 180.0);

    // Each frame moves either the odd or the even slots, so a drop moves every second frame.
    for (int k = static_cast<int>(shift.frameCounter % 2) + 1; k <= RaindropSlots; k += 2) {
        Raindrop& drop = shift.raindrops[k];
        if (!isOn(drop.active)) continue;
        advanceBody(drop.body, dt * drop.body.travelRate * speed);
        drop.body.y = static_cast<float>(drop.body.y + dt * 0.2);
        if (drop.body.x < 0 || drop.body.y < 0 || drop.body.x > width ||
            drop.body.y > glassBottom) {
            drop.active = FlagOff;
        } else if (std::fabs(drop.body.heading - blade.heading) <= WipeReach) {
            drop.active = FlagOff;
        }
    }

    // Rain comes and goes about once every 100 seconds.
    const double toggle = nextRandom();
    if (dt > 0 && toggle * 5000.0 / dt < 1.0) toggleFlag(shift.raining);

    if (!isOn(shift.raining)) return;
    const double spawn = nextRandom();
    if (!(dt > 0 && spawn * 4.0 / dt < 1.0)) return;
    int k = shift.nextRaindrop;
    if (k < 1 || k > RaindropSlots) k = 1;
    Raindrop& drop = shift.raindrops[k];
    drop.body.x = static_cast<float>(std::floor(nextRandom() * width));
    drop.body.y = static_cast<float>(std::floor(nextRandom() * glassBottom));
    drop.body.travelRate = static_cast<float>(nextRandom() + 1.0);
    drop.active = FlagOn;
    // The drop runs straight away from the blade's pivot.
    drop.body.heading = 0;
    const double away = std::atan2(drop.body.y - glassBottom, drop.body.x - width / 2.0);
    rotateBody(drop.body, away / GamePi * 180.0);
    shift.nextRaindrop = k + 1 > RaindropSlots ? 1 : k + 1;
}

}  // namespace hc
