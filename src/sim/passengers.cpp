#include "sim/passengers.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "core/random.h"
#include "sim/dialogue.h"
#include "sim/traffic.h"

namespace hc {

namespace {

constexpr int SpotDraws = 21;
// A traffic car that finds no free crossing after this many draws is left where the last
// draw put it: its stamp is then refused every frame and it turns back until it finds
// the streets, instead of the shift hanging on a map without free crossings.
constexpr int TrafficPlacementDraws = 100000;

bool spotIsFree(CityMap& map, int x, int y) {
    if (x < 4 || x > MapSize - 5 || y < 4 || y > MapSize - 5) return false;
    for (int i = -4; i <= 4; ++i) {
        for (int j = -4; j <= 4; ++j) {
            if (isBlocked(map, static_cast<float>(x + i), static_cast<float>(y + j))) return false;
        }
    }
    return true;
}

}  // namespace

void startShift(Shift& shift, PlayerCar& car, CityMap& map, TrafficCar* traffic, int count) {
    shift.engineRunning = FlagOff;
    shift.reverseGear = FlagOff;
    shift.wipersOn = FlagOff;
    shift.wiperAngle = 1.02 * GamePi;
    shift.wiperDirection = 1;
    shift.engineHeat = 0;
    shift.brakeHeat = 0;
    shift.turboBoost = 0;
    car.vx = 0;
    car.vy = 0;
    car.heading = 0;
    car.turnRate = 0;

    for (int i = 0; i < count; ++i) {
        TrafficCar& trafficCar = traffic[i];
        for (int draw = 0; draw < TrafficPlacementDraws; ++draw) {
            const float cx = static_cast<float>((randomChoice(14) + 1) * 128);
            const float cy = static_cast<float>((randomChoice(14) + 1) * 128 + 4);
            initTrafficCar(trafficCar, cx, cy);
            if (!isBlocked(map, trafficCar.motion.x, trafficCar.motion.y)) break;
        }
    }

    shift.passengerAboard = 0;
    shift.passengerCount = PassengerSlots;
    shift.deliveredCount = 0;
    for (int k = 1; k <= PassengerSlots; ++k) {
        Passenger& passenger = shift.passengers[k];
        passenger.pickup = chooseSpot(map);
        passenger.destination = chooseSpot(map);
        passenger.delivered = FlagOff;
        composeDialogue(passenger, randomChoice(8) + 1);
        passenger.fare = tripFare(passenger.pickup, passenger.destination);
    }

    shift.nextRaindrop = 1;
    shift.raining = FlagOff;
    const Body still{};
    for (int k = 1; k <= RaindropSlots; ++k) {
        beginRay(shift.raindrops[k].body, still);
        shift.raindrops[k].active = FlagOff;
    }

    shift.minimapZoom = FlagOff;
    shift.mapView = FlagOff;
    shift.showStats = FlagOff;
    shift.lowDetail = FlagOff;
}

void setTimeLimit(Shift& shift, int64_t minutes) {
    shift.minutesLeft = minutes;
    shift.secondsLeft = 0;
}

void markPickups(const Shift& shift, CityMap& map) {
    clearMarks(map);
    for (int k = 1; k <= PassengerSlots; ++k) {
        const Passenger& passenger = shift.passengers[k];
        if (!isOn(passenger.delivered)) markSquare(map, passenger.pickup);
    }
}

void clearMarks(CityMap& map) {
    // The grid is 20 MB of packed 5-byte cells, so this pass is bound by memory speed.
    // It works on 40-byte blocks (eight cells, five whole words) and writes a block back
    // only when a mark is found in it: marks are rare, and reading without writing halves
    // the traffic.
    constexpr int BlockBytes = 40;
    constexpr int FlagsOffset = offsetof(MapCell, flags);
    uint8_t maskBytes[BlockBytes] = {};
    for (int cell = 0; cell < BlockBytes / 5; ++cell) maskBytes[cell * 5 + FlagsOffset] = PickupMark;
    uint64_t mask[5];
    std::memcpy(mask, maskBytes, sizeof mask);

    uint8_t* bytes = reinterpret_cast<uint8_t*>(map.cells);
    constexpr size_t total = sizeof(map.cells);
    static_assert(total % BlockBytes == 0, "the grid is a whole number of blocks");
    for (size_t at = 0; at < total; at += BlockBytes) {
        uint64_t block[5];
        std::memcpy(block, bytes + at, sizeof block);
        const uint64_t marked = (block[0] & mask[0]) | (block[1] & mask[1]) |
                                (block[2] & mask[2]) | (block[3] & mask[3]) |
                                (block[4] & mask[4]);
        if (marked == 0) continue;
        for (int w = 0; w < 5; ++w) block[w] &= ~mask[w];
        std::memcpy(bytes + at, block, sizeof block);
    }
}

void markSquare(CityMap& map, const Body& spot) {
    for (int i = -4; i <= 4; ++i) {
        for (int j = -4; j <= 4; ++j) {
            const bool onFrame = std::abs(i) >= 3 || std::abs(j) >= 3;
            if (!onFrame || i == 0 || j == 0) continue;
            const double x = std::nearbyint(static_cast<double>(spot.x) + i);
            const double y = std::nearbyint(static_cast<double>(spot.y) + j);
            if (!(x >= 0 && y >= 0 && x < MapSize && y < MapSize)) continue;
            MapCell& cell = cellAt(map, static_cast<int>(x), static_cast<int>(y));
            setCellFlag(cell, PickupMark, true);
        }
    }
}

Body chooseSpot(CityMap& map) {
    Body spot{};
    for (int draw = 0; draw < SpotDraws; ++draw) {
        const int x = randomChoice(MapSize);
        const int y = randomChoice(MapSize);
        spot.x = static_cast<float>(x);
        spot.y = static_cast<float>(y);
        if (spotIsFree(map, x, y)) break;
    }
    return spot;
}

int64_t tripFare(const Body& pickup, const Body& destination) {
    const double dx = static_cast<double>(destination.x) - pickup.x;
    const double dy = static_cast<double>(destination.y) - pickup.y;
    return static_cast<int64_t>(std::floor(fareUnits(dx, dy)));
}

bool inSquare(const Body& car, const Body& spot) {
    return std::fabs(car.x - spot.x) <= SquareReach && std::fabs(car.y - spot.y) <= SquareReach;
}

void tryPickUp(Shift& shift, CityMap& map, int k) {
    if (k < 1 || k > PassengerSlots) return;
    Passenger& passenger = shift.passengers[k];
    if (isOn(passenger.delivered)) return;
    shift.passengerAboard = k;
    // The meter shows the new trip; whatever the last fare had left on it is dropped.
    shift.pendingFare = passenger.fare;
    clearMarks(map);
    markSquare(map, passenger.destination);
    say(shift, passenger.requestLine);
}

void tryDropOff(Shift& shift, CityMap& map, int k) {
    if (k < 1 || k > PassengerSlots || shift.passengerAboard != k) return;
    Passenger& passenger = shift.passengers[k];
    passenger.delivered = FlagOn;
    shift.passengerAboard = 0;
    shift.deliveredCount += 1;
    markPickups(shift, map);
    say(shift, passenger.thanksLine);
}

void say(Shift& shift, const std::string& text) {
    shift.speechText = text;
    shift.speechTimer = SpeechTicks;
}

void advanceClock(Shift& shift, double dt) {
    shift.frameCounter += 1;
    runClock(shift, dt);
}

void runClock(Shift& shift, double dt) {
    // A free ride's clock stands still until the driver ends the ride, which leaves it
    // at 0:00; from there it runs out at this step as any shift's does.
    const bool standing = isOn(shift.freeRide) && (shift.minutesLeft > 0 || shift.secondsLeft > 0);
    if (!standing) shift.secondsLeft -= dt * 0.02;
    if (shift.secondsLeft < 0) {
        shift.secondsLeft += 60;
        shift.minutesLeft -= 1;
    }
    if (shift.passengerAboard == 0 && shift.pendingFare > 0) {
        shift.pendingFare -= 1;
        shift.score += 1;
    }
}

}  // namespace hc
