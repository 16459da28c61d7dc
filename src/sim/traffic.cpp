#include "sim/traffic.h"

#include <cmath>

#include "core/random.h"

namespace hc {

namespace {

inline int cellIndex(float v) { return static_cast<int>(std::floor(v)); }

// The forward vector from the heading, rounded to whole cells.
void refreshForward(TrafficCar& car) {
    const double radians = headingRadians(car.motion);
    car.fwdY = static_cast<int32_t>(std::nearbyint(std::sin(radians)));
    car.fwdX = static_cast<int32_t>(std::nearbyint(std::cos(radians)));
}

inline int wrap128(double v) {
    int m = static_cast<int>(std::fmod(v, 128.0));
    return m < 0 ? m + 128 : m;
}

// The turn a car may take at a corner point (cx, cy) of a crossing for its forward
// vector, in degrees; 0 when the corner offers it none.
double cornerTurn(int cx, int cy, int fwdX, int fwdY) {
    if (cx == 4 && cy == 4) {
        if (fwdX == -1) return -90;
        if (fwdY == 1) return 90;
    } else if (cx == 4 && cy == 125) {
        if (fwdX == -1) return 90;
        if (fwdY == -1) return -90;
    } else if (cx == 125 && cy == 4) {
        if (fwdY == 1) return -90;
        if (fwdX == 1) return 90;
    } else if (cx == 125 && cy == 125) {
        if (fwdX == 1) return -90;
        if (fwdY == -1) return 90;
    }
    return 0;
}

inline bool isCornerPoint(int cx, int cy) {
    return (cx == 4 || cx == 125) && (cy == 4 || cy == 125);
}

}  // namespace

void initTrafficCar(TrafficCar& car, float x, float y) {
    car.motion.x = x;
    car.motion.y = y;
    car.motion.heading = 0;
    rotateBody(car.motion, 0);
    car.fwdY = 0;
    car.fwdX = 1;
    car.blocked = FlagOff;
    car.model = static_cast<uint8_t>(randomChoice(5) + 1);
}

void stampTrafficCar(TrafficCar& car, CityMap& map) {
    if (!stampVehicle(map, cellIndex(car.motion.x), cellIndex(car.motion.y), car.fwdX, car.fwdY,
                      car.model, car.savedCells)) {
        car.blocked = FlagOn;
    }
}

void scanAhead(TrafficCar& car, const CityMap& map, const PlayerCar& player) {
    car.mayMove = FlagOn;
    const int qx = cellIndex(car.motion.x) + 8 * car.fwdX;
    const int qy = cellIndex(car.motion.y) + 8 * car.fwdY;
    if (qx <= 0 || qx >= MapSize - 1 || qy <= 0 || qy >= MapSize - 1) return;
    if (hasFlag(cellAt(map, qx, qy), Vehicle)) car.mayMove = FlagOff;
    if (std::nearbyint(std::fabs(qx - player.x)) <= 3 &&
        std::nearbyint(std::fabs(qy - player.y)) <= 3) {
        car.mayMove = FlagOff;
    }
}

void moveTrafficCar(TrafficCar& car, CityMap& map, double dt) {
    if (!isOn(car.blocked)) {
        unstampVehicle(map, cellIndex(car.motion.x), cellIndex(car.motion.y), car.fwdX, car.fwdY,
                       car.savedCells);
    }
    if (isOn(car.mayMove)) advanceBody(car.motion, dt * TrafficSpeed);

    if (isOn(car.blocked)) {
        // Turn back: a U-turn into the lane 7 cells to the car's left.
        rotateBody(car.motion, -90);
        advanceBody(car.motion, 7);
        rotateBody(car.motion, -90);
        advanceBody(car.motion, 1);
        refreshForward(car);
        car.blocked = FlagOff;
        return;
    }

    const int cx = wrap128(std::nearbyint(car.motion.x));
    const int cy = wrap128(std::nearbyint(car.motion.y));
    if (!isCornerPoint(cx, cy)) return;
    const int choice = randomChoice(2) + 1;
    if (choice == 1) {
        const double turn = cornerTurn(cx, cy, car.fwdX, car.fwdY);
        if (turn != 0) rotateBody(car.motion, turn);
        refreshForward(car);
    }
    // One cell on, so that the car has left the corner point by the next frame.
    advanceBody(car.motion, 1);
}

void stampAllTraffic(TrafficCar* cars, int count, CityMap& map) {
    for (int i = 0; i < count; ++i) stampTrafficCar(cars[i], map);
}

void moveAllTraffic(TrafficCar* cars, int count, CityMap& map, const PlayerCar& player,
                    double dt) {
    for (int i = 0; i < count; ++i) scanAhead(cars[i], map, player);
    for (int i = 0; i < count; ++i) moveTrafficCar(cars[i], map, dt);
}

}  // namespace hc
