// Start-up cost of the graphics pack: decoding the generated pack and building the two
// colour tables. Run with the pack generated (the game_data target).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/colour_tables.h"
#include "assets/graphics_pack.h"

namespace {

const std::vector<uint8_t>& packBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> data;
        const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
        if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
            uint8_t chunk[65536];
            for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
                data.insert(data.end(), chunk, chunk + got);
            std::fclose(file);
        }
        return data;
    }();
    return bytes;
}

const hc::Rgb* basePalette() {
    static hc::Rgb palette[256];
    for (int i = 0; i < 256; ++i) {
        palette[i] = {hc::BasePalette[i][0], hc::BasePalette[i][1], hc::BasePalette[i][2]};
    }
    return palette;
}

struct Tables {
    uint8_t shade[256][hc::ShadeLevels];
    uint8_t grey[256];
};

void BM_DecodeAndColourTables(benchmark::State& state) {
    const std::vector<uint8_t>& pack = packBytes();
    if (pack.empty()) {
        state.SkipWithError("graphics.pak has not been generated");
        return;
    }
    auto buffer = std::make_unique<uint8_t[]>(hc::PackBufferSize);
    auto tables = std::make_unique<Tables>();
    for (auto _ : state) {
        const hc::PackDecodeResult result =
            hc::decodePack(pack.data(), pack.size(), buffer.get(), hc::PackBufferSize);
        hc::buildShadeTable(basePalette(), tables->shade);
        hc::buildGreyTable(basePalette(), tables->grey);
        benchmark::DoNotOptimize(result.length);
        benchmark::DoNotOptimize(tables->shade[200][8]);
    }
}
BENCHMARK(BM_DecodeAndColourTables)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_DecodeOnly(benchmark::State& state) {
    const std::vector<uint8_t>& pack = packBytes();
    if (pack.empty()) {
        state.SkipWithError("graphics.pak has not been generated");
        return;
    }
    auto buffer = std::make_unique<uint8_t[]>(hc::PackBufferSize);
    for (auto _ : state) {
        const hc::PackDecodeResult result =
            hc::decodePack(pack.data(), pack.size(), buffer.get(), hc::PackBufferSize);
        benchmark::DoNotOptimize(result.length);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_ShadeTable(benchmark::State& state) {
    auto tables = std::make_unique<Tables>();
    for (auto _ : state) {
        hc::buildShadeTable(basePalette(), tables->shade);
        benchmark::DoNotOptimize(tables->shade[200][8]);
    }
}
BENCHMARK(BM_ShadeTable)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
