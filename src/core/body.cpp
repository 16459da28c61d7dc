#include "core/body.h"

#include <cmath>

#include "core/tables.h"

namespace hc {

void rotateBody(Body& body, double degrees) {
    double turned = body.heading + 10.0 * degrees;
    // A turn that is not a number keeps the heading (or faces +x when there is none to
    // keep): a NaN must never reach the integer conversion below.
    if (!std::isfinite(turned)) turned = std::isfinite(body.heading) ? body.heading : 0.0;
    float heading = static_cast<float>(turned);
    // Callers turn by at most 360 degrees, so one wrap step each way suffices; anything
    // farther out first loses its whole turns.
    if (heading < -3600.0f || heading >= 7200.0f) heading = std::fmod(heading, 3600.0f);
    if (heading < 0.0f) heading += 3600.0f;
    if (heading >= 3600.0f) heading -= 3600.0f;
    body.heading = heading;
    int index = static_cast<int>(std::floor(heading)) % 3600;
    if (index < 0) index += 3600;
    body.headingIndex = index;
    body.dirX = CosTable[index];
    body.dirY = SinTable[index];
    body.stepSignX = body.dirX > 0.0f ? 1.0f : -0.0001f;
    body.stepSignY = body.dirY > 0.0f ? 1.0f : -0.0001f;
}

void advanceBody(Body& body, double d) {
    body.x = static_cast<float>(body.x + d * body.dirX);
    body.y = static_cast<float>(body.y + d * body.dirY);
    body.travel = static_cast<float>(body.travel + d * body.travelRate);
}

float bodySpeed(const Body& body) {
    return std::fabs(std::sqrt(body.vx * body.vx + body.vy * body.vy));
}

double headingRadians(const Body& body) { return body.heading / 1800.0 * 3.14159; }

double fareUnits(double dx, double dy) { return 0.15 * std::sqrt(dx * dx + dy * dy); }

void beginRay(Body& dest, const Body& src) {
    dest = src;
    dest.travel = 0.0f;
    dest.travelRate = 1.0f;
}

}  // namespace hc
