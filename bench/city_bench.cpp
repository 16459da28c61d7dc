// Generation of a whole city: target under 100 ms.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "city/city_generator.h"
#include "core/random.h"
#include "core/system.h"

namespace {

struct ShadeTable {
    uint8_t table[256][17];
    ShadeTable() {
        for (int c = 0; c < 256; ++c)
            for (int l = 0; l < 17; ++l) table[c][l] = static_cast<uint8_t>((c * l) / 16);
    }
};

void BM_GenerateCityMap(benchmark::State& state) {
    static const ShadeTable shades;
    hc::CityMap* map = hc::newCityMap();
    uint64_t seed = 1;
    for (auto _ : state) {
        hc::seedRandom(seed++);
        hc::generateCityMap(*map, shades.table);
        benchmark::DoNotOptimize(map->cells[1000].colour);
    }
    hc::deleteCityMap(map);
}
BENCHMARK(BM_GenerateCityMap)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
