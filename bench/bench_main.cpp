// The benchmarks' main: the game's progress lines ("Generating map" and the like) are
// silenced, so that a benchmark's JSON on standard output holds nothing else.
#include <benchmark/benchmark.h>

#include <string_view>

#include "core/system.h"

int main(int argc, char** argv) {
    hc::setConsoleSink([](std::string_view) {}, false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
