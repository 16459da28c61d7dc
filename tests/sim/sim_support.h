#pragma once
// Small hand-made worlds and a scripted keyboard for the simulation tests.
#include <algorithm>
#include <initializer_list>
#include <memory>

#include "city/city_map.h"
#include "core/actions.h"
#include "core/random.h"
#include "core/records.h"
#include "sim/passengers.h"
#include "sim/player_car.h"
#include "sim/traffic.h"

namespace hc::test {

struct MapDeleter {
    void operator()(CityMap* map) const { deleteCityMap(map); }
};
using MapPtr = std::unique_ptr<CityMap, MapDeleter>;

// A map that is solid everywhere (zero cells are not passable) but for open ground over
// the inclusive rectangle; walls go on it the same way.
inline MapPtr openGround(int x1, int y1, int x2, int y2) {
    MapPtr map(newCityMap());
    MapCell ground{};
    makeGroundCell(ground);
    fillRect(*map, ground, x1, y1, x2, y2);
    return map;
}
inline void putWall(CityMap& map, int x1, int y1, int x2, int y2) {
    MapCell wall{};
    makeWallCell(wall, 3);
    fillRect(map, wall, x1, y1, x2, y2);
}

// One key poll with exactly the listed actions down; releasing a key is a poll without it.
inline void poll(KeyBindings& keys, std::initializer_list<int> held = {}) {
    for (int a = 0; a <= ActionCount; ++a)
        keys.previous[a] = keys.now[a], keys.now[a] = std::find(held.begin(), held.end(), a) != held.end() ? -1 : 0;
}
// The key state of a poll at which exactly the listed switches went up.
inline void release(KeyBindings& keys, std::initializer_list<int> released) {
    for (int a = 0; a <= ActionCount; ++a) keys.now[a] = 0, keys.previous[a] = 0;
    for (int a : released) keys.previous[a] = -1;
}

// The simulation records of one game, the car at its new-game place.
struct Cab {
    PlayerCar car;
    Shift shift;
    KeyBindings keys;
    CarSound sound;
    Cab() {
        placeAt(1040, 1034);
        shift.turboLevel = 1, shift.dashboardHeight = 120, shift.nextRaindrop = 1;
        shift.wiperAngle = 1.02 * GamePi, shift.wiperDirection = 1;
        setTimeLimit(shift, 4);
    }
    void placeAt(float x, float y) {
        car = PlayerCar{};
        car.x = x, car.y = y, car.travelRate = 0.1f;
        rotateBody(car, 0);
    }
    void drive(CityMap& map, double dt = 1.0) { updatePlayerCar(car, shift, map, keys, sound, dt); }
    void frame(CityMap& map, std::initializer_list<int> held = {}, double dt = 1.0) {
        poll(keys, held);
        drive(map, dt);
        updateCabSystems(shift, car, dt);
        advanceClock(shift, dt);
    }
};

}  // namespace hc::test
