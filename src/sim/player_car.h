#pragma once

#include "city/city_map.h"
#include "platform/audio.h"
#include "platform/keyboard.h"
#include "shell/core/records.h"

namespace hc {

// One frame of the player's taxi, after the keys were polled: the switches (one per
// frame, the first released in the order ignition, reverse, wipers, minimap zoom, map
// view, exit, music, statistics, low detail), throttle, turbo boost, steering, tyre
// grip, brakes and drag; the passenger pick-up and drop-off test; the collision test
// against the grid with its bounce; and the engine, skid and turbo sound parameters
// (channels 2 to 4 of audio; the music key toggles channel 1). dt is the frame's length
// in ticks of 1/50 second; the physics drives at most 4 ticks of a longer frame.
void updatePlayerCar(PlayerCar& car, Shift& shift, CityMap& map, const KeyBindings& keys,
                     AudioEngine& audio, double dt);

// One frame of engine heat, brake heat and the wear they cause, then the windshield
// (rain, drops and wiper) over a render buffer of width by height pixels. Runs right
// after updatePlayerCar.
void updateCabSystems(Shift& shift, const PlayerCar& car, double dt, int width = RenderWidth,
                      int height = RenderHeight);

// Damage kinds.
constexpr int DamageBodywork = 1;
constexpr int DamageBrakes = 2;
constexpr int DamageEngine = 3;

// Adds wear of one kind (1..3), capped at 1.0.
void addDamage(Shift& shift, int kind, float amount);

}  // namespace hc
