#include "sim/player_car.h"

#include <algorithm>
#include <cmath>

#include "sim/passengers.h"
#include "sim/windshield.h"

namespace hc {

namespace {

constexpr double Throttle = 0.003;
constexpr double SteerStep = 0.032;
constexpr double MaxTurnRate = 1.2;
constexpr double ThrottleCutSpeed = 1.3;
constexpr double GearChangeSpeed = 0.1;
// A frame longer than one tick is driven in equal steps of at most one tick: grip blends
// the velocity by dt x grip, which overshoots (and grows without bound) once that passes
// 1, and a long step would jump the car through walls or off the grid. A frame of a
// tick or less (50 frames a second and faster) is a single step, and any frame rate
// drives the same way. A frame longer than this (a stalled or suspended process) counts
// as this long.
constexpr double LongestFrameTicks = 1.0e6;
constexpr double CrashDamageSpeed = 0.2;
constexpr float IgnitionHeatLimit = 4.0f;
constexpr float EngineDeathHeat = 5.0f;

// The switch actions in the order in which they take precedence: only the first one
// released in a frame is handled.
constexpr int SwitchOrder[] = {ActionIgnition, ActionReverse,
                               ActionWipers,   ActionMinimapZoom,
                               ActionMapView,  ActionBack,
                               ActionMusic,    ActionStats,
                               ActionLowDetail};

void handleSwitch(int action, double speed, Shift& shift, CarSound& sound) {
    switch (action) {
        case ActionIgnition:
            if (isOn(shift.engineRunning)) {
                shift.engineRunning = FlagOff;
            } else if (shift.engineHeat < IgnitionHeatLimit) {
                shift.engineRunning = FlagOn;
            }
            break;
        case ActionReverse:
            // Only a standing car changes gear; a release at speed is simply lost.
            if (speed < GearChangeSpeed) toggleFlag(shift.reverseGear);
            break;
        case ActionWipers: toggleFlag(shift.wipersOn); break;
        case ActionMinimapZoom: toggleFlag(shift.minimapZoom); break;
        case ActionMapView: toggleFlag(shift.mapView); break;
        case ActionBack:
            // Ends the shift at the next clock step.
            shift.minutesLeft = 0;
            shift.secondsLeft = 0.0;
            shift.speechTimer = 0.0;
            break;
        case ActionMusic: sound.musicToggled = true; break;
        case ActionStats: toggleFlag(shift.showStats); break;
        case ActionLowDetail: toggleFlag(shift.lowDetail); break;
        default: break;
    }
}

void setCarSounds(const Shift& shift, double speed, float turnRate, double maxBoost, CarSound& sound,
                  double dt) {
    sound.engineFrequency = 120.0 * speed + 200.0;
    sound.engineOn = isOn(shift.engineRunning);

    // The skid fades in while the car turns hard at speed and fades out afterwards.
    const float g = sound.skidGain;
    if (speed > 0.2 && std::fabs(turnRate) > 0.6f) {
        sound.skidOn = true;
        if (g < 0.3f) sound.skidGain = static_cast<float>(std::min(g + dt * 0.04, 0.3));
    } else if (g > 0.0f) {
        sound.skidGain = static_cast<float>(std::max(g - dt * 0.02, 0.0));
    } else {
        sound.skidOn = false;
    }

    // The turbo whistles as loud as the boost is full.
    const double fullness = maxBoost > 0.0 ? shift.turboBoost / maxBoost : 0.0;
    sound.turboGain = static_cast<float>(0.1 * fullness);
    sound.turboOn = isOn(shift.engineRunning) && shift.turboBoost > 0.0f;
}

// A frame's length split into equal steps of at most one tick.
struct FrameSteps {
    int count;
    double ticks;  // each
};
FrameSteps frameSteps(double frameTicks) {
    double ticks = frameTicks > 0.0 ? frameTicks : 0.0;  // NaN counts as no time
    if (ticks > LongestFrameTicks) ticks = LongestFrameTicks;
    const int count = ticks > 1.0 ? static_cast<int>(std::ceil(ticks)) : 1;
    return {count, ticks / count};
}

// Whether any cell of the car's 3 by 3 box around (x, y) blocks.
bool boxBlocked(CityMap& map, float x, float y) {
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            if (isBlocked(map, x + static_cast<float>(i), y + static_cast<float>(j))) return true;
    return false;
}

// A glancing hit can leave the box inside a wall even after the bounce: the velocity then
// flips at every step, the bounce undoes itself, and no key frees the car (steering is
// reset at each hit). Such a car goes to the nearest place, along the grid's axes and
// diagonals and at most three cells away, where its box is free; a car hemmed in
// farther than that stays put. Only the directions back the way it came (the bounced
// velocity) or square to it are tried, the most nearly straight back first: the nearest
// free place ahead may lie beyond the wall, and the cab must not come out on its far side.
void moveOutOfWalls(PlayerCar& car, CityMap& map) {
    if (!boxBlocked(map, car.x, car.y)) return;
    constexpr float D = 0.7071f;
    struct Way {
        float x, y, back;
    };
    Way ways[8] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {D, D, 0}, {-D, D, 0}, {D, -D, 0}, {-D, -D, 0}};
    const double speed = std::hypot(car.vx, car.vy);
    for (Way& way : ways) {
        way.back = speed > 0.0 ? static_cast<float>((way.x * car.vx + way.y * car.vy) / speed) : 0.0f;
    }
    std::stable_sort(std::begin(ways), std::end(ways), [](const Way& a, const Way& b) { return a.back > b.back; });
    for (float d = 0.25f; d <= 3.0f; d += 0.25f) {
        for (const Way& way : ways) {
            if (way.back < -0.01f) break;
            const float x = car.x + d * way.x, y = car.y + d * way.y;
            if (!boxBlocked(map, x, y)) {
                car.x = x, car.y = y;
                return;
            }
        }
    }
}

// What the keys ask of the car this frame.
struct Controls {
    double accel = 0.0;
    double steer = 0.0;
    bool braking = false;
};

// One step of dt ticks (at most one) of the car's physics and collision. The passengers'
// slot test belongs to the frame's first step and the frame's starting speed.
void physicsStep(PlayerCar& car, Shift& shift, CityMap& map, const Controls& controls, double frameSpeed,
                 bool firstStep, double dt) {
    // 1. Step constants from the upgrades; speed is measured once, before anything moves.
    const double grip = 0.035 + 0.01 * shift.tyreLevel;
    const double brakePower = 0.004 + 0.002 * shift.brakeLevel;
    const double maxBoost = 0.55 * shift.turboLevel;
    const float x0 = car.x, y0 = car.y;
    const double speed = bodySpeed(car);
    double accel = controls.accel;
    const double steer = controls.steer;
    const bool braking = controls.braking;

    // 3. Throttle cut at top speed.
    if (speed > ThrottleCutSpeed) accel = 0.0;

    // 4. Turbo: builds with speed under throttle, drains without; what is left still pushes.
    if (accel > 0.0) {
        shift.turboBoost = static_cast<float>(shift.turboBoost + dt * speed * 0.025);
        if (shift.turboBoost > maxBoost) shift.turboBoost = static_cast<float>(maxBoost);
    } else {
        shift.turboBoost = static_cast<float>(shift.turboBoost - dt * 0.05);
        if (shift.turboBoost < 0.0f) shift.turboBoost = 0.0f;
    }
    accel += 0.001 * shift.turboBoost;

    // 5. Turn rate.
    if (steer == 0.0) {
        car.turnRate = static_cast<float>(car.turnRate * std::pow(0.9, dt));
    } else {
        car.turnRate = static_cast<float>(
            std::clamp(car.turnRate + dt * steer, -MaxTurnRate, MaxTurnRate));
    }

    // 6. Heading: a bent body pulls towards increasing heading; a standing car does not
    // turn and a slow one turns less; reverse mirrors the steering.
    double turn = car.turnRate;
    if (shift.damage[DamageBodywork] > 0.2f) turn += 0.3 * shift.damage[DamageBodywork];
    if (speed == 0.0) {
        turn = 0.0;
    } else if (speed < 0.2) {
        turn = turn * speed / 0.2;
    }
    if (isOn(shift.reverseGear)) turn = -turn;
    rotateBody(car, dt * turn);

    // 7. Grip pulls the velocity towards the new heading, keeping roughly its length.
    double g = dt * grip;
    if (braking) g /= 2.0;
    double vx = g * speed * car.dirX + (1.0 - g) * car.vx;
    double vy = g * speed * car.dirY + (1.0 - g) * car.vy;

    // 8-9. Force.
    if (braking) {
        double b = (1.0 - shift.damage[DamageBrakes]) * brakePower;
        if (speed < b) b = speed;
        const double theta = std::atan2(vy, vx);
        shift.brakeHeat = static_cast<float>(shift.brakeHeat + dt * b);
        // The brake stops the car but never pushes it backwards, even when grip has
        // shortened the velocity below b: a bite of the whole length stops it exactly,
        // without a rounding residue pointing the other way.
        const double length = std::sqrt(vx * vx + vy * vy);
        if (dt * b >= length) {
            vx = vy = 0.0;
        } else {
            vx -= dt * b * std::cos(theta);
            vy -= dt * b * std::sin(theta);
        }
    } else {
        if (isOn(shift.reverseGear)) accel = -2.0 * accel;
        vx += dt * accel * car.dirX;
        vy += dt * accel * car.dirY;
    }

    // 10. Rolling drag.
    const double drag = std::pow(0.997, dt);
    car.vx = static_cast<float>(vx * drag);
    car.vy = static_cast<float>(vy * drag);

    // 11. Passengers: one slot per frame, only while the car all but stood at the frame's
    // start.
    if (firstStep && frameSpeed < StopSpeed) {
        const int k = static_cast<int>(shift.frameCounter % PassengerSlots) + 1;
        const Passenger& passenger = shift.passengers[k];
        if (shift.passengerAboard == 0 && inSquare(car, passenger.pickup)) {
            tryPickUp(shift, map, k);
        } else if (shift.passengerAboard == k && inSquare(car, passenger.destination)) {
            tryDropOff(shift, map, k);
        }
    }

    // 12. Collision: the car is a 3 by 3 cell box at its position before the move. A hit
    // puts it back, reverses its velocity and steps it once along it.
    const bool crashed = boxBlocked(map, car.x, car.y);
    if (crashed) {
        if (speed > CrashDamageSpeed) {
            addDamage(shift, DamageBodywork, static_cast<float>(0.1 * speed));
        }
        car.x = x0;
        car.y = y0;
        car.vx = -car.vx;
        car.vy = -car.vy;
        car.turnRate = 0.0f;
        shift.turboBoost = 0.0f;
        car.x = static_cast<float>(car.x + dt * car.vx);
        car.y = static_cast<float>(car.y + dt * car.vy);
        if (shift.passengerAboard > 0 && shift.passengerAboard <= PassengerSlots) {
            say(shift, shift.passengers[shift.passengerAboard].complaintLine);
        }
    }

    // 13. Move (after a crash, a second step back along the reversed velocity).
    car.x = static_cast<float>(car.x + dt * car.vx);
    car.y = static_cast<float>(car.y + dt * car.vy);
    if (crashed) moveOutOfWalls(car, map);
}

}  // namespace

void addDamage(Shift& shift, int kind, float amount) {
    if (kind < DamageBodywork || kind > DamageEngine) return;
    shift.damage[kind] += amount;
    if (shift.damage[kind] > 1.0f) shift.damage[kind] = 1.0f;
}

void updatePlayerCar(PlayerCar& car, Shift& shift, CityMap& map, const KeyBindings& keys,
                     CarSound& sound, double frameTicks, const CarStepHook& afterStep) {
    const FrameSteps frame = frameSteps(frameTicks);
    const double speed = bodySpeed(car);
    sound.musicToggled = false;

    // 2. Controls, once a frame: the held keys, and the first switch released.
    Controls controls;
    if (isHeld(keys, ActionUp) && isOn(shift.engineRunning)) controls.accel = Throttle;
    if (isHeld(keys, ActionDown)) controls.braking = true;
    if (isHeld(keys, ActionLeft)) controls.steer = -SteerStep;
    if (isHeld(keys, ActionRight)) controls.steer = SteerStep;
    for (int action : SwitchOrder) {
        if (wasReleased(keys, action)) {
            handleSwitch(action, speed, shift, sound);
            break;
        }
    }

    // 3-13. Physics and collision, in equal steps.
    for (int step = 0; step < frame.count; ++step) {
        physicsStep(car, shift, map, controls, speed, step == 0, frame.ticks);
        if (afterStep && step + 1 < frame.count) afterStep(frame.ticks, false);
    }

    // 14. Car sounds, from the car as the physics left it; the last step's hook (the
    // cab's systems) follows them, as it follows the car's update in a short frame.
    setCarSounds(shift, speed, car.turnRate, 0.55 * shift.turboLevel, sound, frame.count * frame.ticks);
    if (afterStep) afterStep(frame.ticks, true);
}

void updateCabSystems(Shift& shift, const PlayerCar& car, double dt, int width, int height) {
    // Heat and wear take the same steps as the car's physics.
    const FrameSteps frame = frameSteps(dt);
    const double speed = bodySpeed(car);
    for (int step = 0; step < frame.count; ++step) {
        const double t = frame.ticks;
        shift.engineHeat = static_cast<float>(shift.engineHeat + t * speed * 0.01);
        shift.brakeHeat = static_cast<float>(shift.brakeHeat * std::pow(0.999 - 0.0002 * shift.brakeLevel, t));
        if (shift.brakeHeat < 0.0f) shift.brakeHeat = 0.0f;
        shift.engineHeat =
            static_cast<float>(shift.engineHeat * std::pow(0.998 - 0.0005 * shift.radiatorLevel, t));
        if (shift.engineHeat < 0.0f) shift.engineHeat = 0.0f;
        if (shift.brakeHeat > 1.0f) addDamage(shift, DamageBrakes, static_cast<float>(t * 0.0002));
        if (shift.engineHeat > EngineDeathHeat) {
            // The engine overheats and dies; it restarts once it has cooled below 4.
            addDamage(shift, DamageEngine, static_cast<float>(t * 0.0002));
            shift.engineRunning = FlagOff;
        }
    }
    updateWindshield(shift, car, dt, width, height);
}

}  // namespace hc
