#include "core/tables.h"

#include <cmath>

namespace hc {

float CosTable[3601];
float SinTable[3601];

void fillTrigTables() {
    // The angle accumulates in single precision; the accumulated sum, not i * step,
    // is what enters the functions, so the last entries carry the rounding drift.
    const double step = static_cast<double>(3.14159f) / 180.0;
    float a = 0.0f;
    for (int i = 0; i <= 3600; ++i) {
        CosTable[i] = static_cast<float>(std::cos(a / 10.0));
        SinTable[i] = static_cast<float>(std::sin(a / 10.0));
        a = static_cast<float>(a + step);
    }
}

namespace {
// The tables are pure functions of their index: fill them before anything runs so
// that every test and tool sees them without depending on start-up.
const bool tablesFilled = (fillTrigTables(), true);
}  // namespace

}  // namespace hc
