#pragma once
#include <functional>

#include "city/city_map.h"
#include "core/actions.h"
#include "core/records.h"

namespace hc {

// What the car sounds like after a frame, for the shift loop to hand to the audio
// engine. The skid fields are read as well as written: the shift loop fills them from
// the skid channel before the frame (a dissolve fades every channel), and the car fades
// them from there.
struct CarSound {
    bool engineOn = false;
    double engineFrequency = 0;  // Hz; the engine's tones run at f, 1.25 f and 0.124 f
    bool skidOn = false;
    float skidGain = 0;
    bool turboOn = false;
    float turboGain = 0;         // the whistle runs an octave above the engine
    bool musicToggled = false;   // the music key was released this frame
};

// One frame of the player's taxi, after the keys were polled: the switches (one per
// frame, the first released in the order ignition, reverse, wipers, minimap zoom, map
// view, exit, music, statistics, low detail), throttle, turbo boost, steering, tyre
// grip, brakes and drag; the passenger pick-up and drop-off test; the collision test
// against the grid with its bounce; and what the car sounds like. dt is the frame's length
// in ticks of 1/50 second; a longer frame than one tick is driven in equal steps of at
// most a tick, so every frame rate drives the same way. afterStep, when given, runs after
// each step with its length in ticks and whether it was the frame's last (that one after
// the car's sounds are set), so that the cab's systems, the traffic and the clock can
// take the same steps.
using CarStepHook = std::function<void(double ticks, bool lastStep)>;
void updatePlayerCar(PlayerCar& car, Shift& shift, CityMap& map, const KeyBindings& keys,
                     CarSound& sound, double dt, const CarStepHook& afterStep = {});

// One frame of engine heat, brake heat and the wear they cause (in the same steps as the
// car), then the windshield (rain, drops and wiper) over a render buffer of width by
// height pixels. Runs right after updatePlayerCar.
void updateCabSystems(Shift& shift, const PlayerCar& car, double dt, int width = RenderWidth,
                      int height = RenderHeight);

// Damage kinds.
constexpr int DamageBodywork = 1;
constexpr int DamageBrakes = 2;
constexpr int DamageEngine = 3;

// Adds wear of one kind (1..3), capped at 1.0.
void addDamage(Shift& shift, int kind, float amount);

}  // namespace hc
