#pragma once
#include <cstdint>
#include <string>

#include "core/body.h"

namespace hc {

// Byte flags hold 0 for off and all bits set for on; a toggle inverts all bits.
constexpr uint8_t FlagOff = 0x00;
constexpr uint8_t FlagOn = 0xFF;
inline bool isOn(uint8_t flag) { return flag != 0; }
inline uint8_t toFlag(bool on) { return on ? FlagOn : FlagOff; }
inline void toggleFlag(uint8_t& flag) { flag = static_cast<uint8_t>(~flag); }

struct Passenger {
    Body pickup;             // x, y: the pick-up spot (whole numbers)
    Body destination;        // x, y: the drop-off spot
    int32_t portrait = 0;    // character 1..8
    std::string requestLine;
    std::string thanksLine;
    std::string complaintLine;
    uint8_t delivered = 0;   // byte flag
    int64_t fare = 0;
};

struct Raindrop {
    Body body;               // x, y in pixels; dirX, dirY, heading, travel, travelRate
    uint8_t active = 0;      // byte flag
};

constexpr int PassengerSlots = 16;
constexpr int RaindropSlots = 256;

// The record of one game. Arrays numbered from 1 in the game's rules keep an unused
// element 0, so passenger k is passengers[k] and damage kind 1 is damage[1].
struct Shift {
    Passenger passengers[PassengerSlots + 1];
    int32_t passengerAboard = 0;   // 0 = none
    int32_t passengerCount = 0;
    int32_t deliveredCount = 0;
    uint8_t raining = 0;
    int64_t frameCounter = 0;
    int64_t minutesLeft = 0;       // the shift runs while this is 0 or more
    double secondsLeft = 0;
    int64_t pendingFare = 0;       // the taxi meter
    int64_t score = 0;             // points; money in career mode
    int8_t turboLevel = 0;
    int8_t radiatorLevel = 0;
    int8_t brakeLevel = 0;
    int8_t tyreLevel = 0;
    uint8_t engineRunning = 0;
    uint8_t reverseGear = 0;
    uint8_t wipersOn = 0;
    uint8_t minimapZoom = 0;
    uint8_t mapView = 0;
    uint8_t showStats = 0;
    uint8_t lowDetail = 0;
    uint8_t assists = 0;           // the newcomer's guide (classic mode: off)
    uint8_t freeRide = 0;          // a free ride: the clock stands still until the driver ends it
    float engineHeat = 0;
    float brakeHeat = 0;
    float turboBoost = 0;
    float damage[4] = {0, 0, 0, 0};  // 1 bodywork, 2 brakes, 3 engine
    int32_t dashboardHeight = 0;
    double wiperAngle = 0;
    int32_t wiperDirection = 0;
    Raindrop raindrops[RaindropSlots + 1];
    int32_t nextRaindrop = 0;
    std::string speechText;
    double speechTimer = 0;
};

// Where the player's next stop is, for the newcomer's assists: the nearest waiting
// passenger's pick-up square while nobody is aboard, the destination square while
// somebody is. Filled by the simulation, drawn by the views.
struct FareGuide {
    bool active = false;    // there is a square to go to
    bool aboard = false;    // it is the destination of the passenger aboard
    Body target;            // its centre (x, y)
    int64_t distance = 0;   // what the guide shows: 0 only inside the square
    bool inSquare = false;  // the cab is inside it...
    bool tooFast = false;   // ...but moving too fast for the square to count
};

// The game's fixed constants shared across subsystems.
constexpr double GamePi = 3.14159;   // the game's value of pi, used wherever it turns angles
constexpr int RenderWidth = 640;
constexpr int RenderHeight = 480;

}  // namespace hc
