#pragma once
#include <cstdint>
#include <cstring>

#include "city/city_generator.h"
#include "city/city_map.h"
#include "core/random.h"
#include "support/digest.h"

namespace hc::test {

// A ShadeTable made for checking the generator: the ground colours that the generator
// shades (76, 77, 78, lines 19 and 234, the gate's 254 and 255) map to distinct values
// 100 + 17 * id + level, and every other colour to 1, so the colour and level of each
// shaded cell can be read back, and a cell shaded twice shows up as 1.
struct DecodingShadeTable {
    uint8_t table[256][17];
    static constexpr int GroundColours[7] = {76, 77, 78, 19, 234, 254, 255};
    DecodingShadeTable() {
        std::memset(table, 1, sizeof table);
        for (int id = 0; id < 7; ++id) {
            for (int level = 0; level < 17; ++level) {
                table[GroundColours[id]][level] = static_cast<uint8_t>(100 + 17 * id + level);
            }
        }
    }
    // Reads back a shaded colour: false when the value is not one the table produces.
    static bool decode(uint8_t value, int& colour, int& level) {
        if (value < 100 || value >= 100 + 17 * 7) return false;
        colour = GroundColours[(value - 100) / 17];
        level = (value - 100) % 17;
        return true;
    }
};

inline const DecodingShadeTable& decodingShadeTable() {
    static const DecodingShadeTable table;
    return table;
}

// One generated city per test binary: generation is the slow part of these tests.
struct SharedCity {
    CityMap* map = nullptr;
    CityPlan plan;
    explicit SharedCity(uint64_t seed) {
        map = newCityMap();
        seedRandom(seed);
        generateCityMap(*map, decodingShadeTable().table, &plan);
    }
    ~SharedCity() { deleteCityMap(map); }
};

constexpr uint64_t SharedCitySeed = 7700;

inline const SharedCity& sharedCity() {
    static const SharedCity city(SharedCitySeed);
    return city;
}

}  // namespace hc::test
