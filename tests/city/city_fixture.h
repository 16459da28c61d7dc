#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "city/city_generator.h"
#include "city/city_map.h"
#include "core/random.h"
#include "core/system.h"

namespace hc::test {

// A ShadeTable that lets a test read back what the generator shaded: the ground colours
// (76, 77, 78, lines 19 and 234, the gate's 254 and 255) map to 100 + 17 * id + level,
// every other colour to 1, so a cell shaded twice shows up as 1.
struct DecodingShadeTable {
    uint8_t table[256][17];
    static constexpr int GroundColours[7] = {76, 77, 78, 19, 234, 254, 255};
    DecodingShadeTable() {
        std::memset(table, 1, sizeof table);
        for (int id = 0; id < 7; ++id)
            for (int level = 0; level < 17; ++level)
                table[GroundColours[id]][level] = static_cast<uint8_t>(100 + 17 * id + level);
    }
    // False when the value is not one the table produces.
    static bool decode(uint8_t value, int& colour, int& level) {
        if (value < 100 || value >= 100 + 17 * 7) return false;
        colour = GroundColours[(value - 100) / 17];
        level = (value - 100) % 17;
        return true;
    }
};

// One generated city per test binary: generation is the slow part of these tests.
struct SharedCity {
    static constexpr uint64_t Seed = 7700;
    CityMap* map = newCityMap();
    CityPlan plan;
    DecodingShadeTable shade;
    std::string console;
    SharedCity() {
        setConsoleSink([this](std::string_view text) { console += text; });
        seedRandom(Seed);
        generateCityMap(*map, shade.table, &plan);
        setConsoleSink(nullptr);
    }
    ~SharedCity() { deleteCityMap(map); }
};

inline const SharedCity& sharedCity() {
    static const SharedCity city;
    return city;
}

}  // namespace hc::test
