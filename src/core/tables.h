#pragma once

namespace hc {

// Cosine and sine of i tenths of a degree, i = 0..3600, filled by an accumulated
// single-precision angle the way the game always has. They are filled before main
// runs; fillTrigTables refills them (idempotent).
extern float CosTable[3601];
extern float SinTable[3601];
void fillTrigTables();

}  // namespace hc
