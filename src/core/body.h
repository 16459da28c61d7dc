#pragma once
#include <cstdint>

namespace hc {

// The kinematic record shared by the player car, the traffic cars' motion, the
// passengers' spots, the raindrops and the rays of the world view. Always copied whole.
struct Body {
    float x = 0, y = 0;          // position, cells (x is the first grid index)
    float dirX = 0, dirY = 0;    // CosTable / SinTable at headingIndex
    float travel = 0;            // distance accumulator: advanceBody adds d * travelRate
    float travelRate = 0;
    float heading = 0;           // tenths of a degree in [0, 3600); 0 along +x, 900 along +y
    float stepSignX = 0;         // 1.0 when dirX > 0, else -0.0001
    float stepSignY = 0;         // 1.0 when dirY > 0, else -0.0001
    uint8_t hitSide = 0;         // view rays only: 1 x boundary, 2 y boundary
    int32_t headingIndex = 0;    // floor(heading) mod 3600
    float vx = 0, vy = 0;        // velocity, cells per tick
    float turnRate = 0;          // degrees of heading change per tick, -1.2 to 1.2
};

// Turns the body by a number of degrees (|degrees| <= 360; farther turns wrap, and a
// turn that is not a number is no turn) and refreshes the derived direction fields;
// rotating by 0 only refreshes them.
void rotateBody(Body& body, double degrees);
// Moves the body d cells along its table direction and adds d * travelRate to travel.
void advanceBody(Body& body, double d);
// Length of the velocity.
float bodySpeed(const Body& body);
// Heading in radians, with the game's 3.14159 for pi.
double headingRadians(const Body& body);
// Starts a ray from a body: a copy with travel 0 and travelRate 1.
void beginRay(Body& dest, const Body& src);

// Fares, and every distance shown to the player, count 0.15 of a point per cell of
// straight line: this is that count for a line of dx by dy cells, before any rounding.
double fareUnits(double dx, double dy);

// The player's taxi is a single Body.
using PlayerCar = Body;

}  // namespace hc
