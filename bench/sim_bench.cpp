// Cost of the simulation's share of a frame on a generated city: the traffic stamps,
// the player car and cab systems, the traffic's look-ahead and moves, and the clock;
// of the frames that repaint the pick-up marks (a pick-up and a drop-off); and of the
// assists' search for the way by road across the city.
#include <benchmark/benchmark.h>

#include <vector>

#include "city/city_generator.h"
#include "city/city_map.h"
#include "core/actions.h"
#include "core/random.h"
#include "core/records.h"
#include "sim/fare_guide.h"
#include "sim/passengers.h"
#include "sim/player_car.h"
#include "sim/traffic.h"

namespace {

constexpr int Cars = 128;

struct World {
    hc::CityMap* map = hc::newCityMap();
    std::vector<hc::TrafficCar> traffic = std::vector<hc::TrafficCar>(Cars);
    hc::PlayerCar car;
    hc::Shift shift;
    hc::KeyBindings keys;
    hc::CarSound sound;

    World() {
        static uint8_t shade[256][17];
        for (int c = 0; c < 256; ++c)
            for (int l = 0; l < 17; ++l) shade[c][l] = static_cast<uint8_t>(c);
        hc::seedRandom(7700);
        hc::generateCityMap(*map, shade);
        car.x = 1040;
        car.y = 1034;
        car.travelRate = 0.1f;
        shift.turboLevel = 1;
        shift.dashboardHeight = 120;
        hc::startShift(shift, car, *map, traffic.data(), Cars);
        hc::setTimeLimit(shift, 1000000);
        hc::markPickups(shift, *map);
        shift.engineRunning = hc::FlagOn;
        shift.wipersOn = hc::FlagOn;
        shift.raining = hc::FlagOn;
    }
    ~World() { hc::deleteCityMap(map); }

    void frame(int step) {
        hc::stampAllTraffic(traffic.data(), Cars, *map);
        // Throttle with a slow weave, so the car drives, turns, and now and then crashes.
        for (int a = 0; a <= hc::ActionCount; ++a) keys.previous[a] = keys.now[a];
        keys.now[hc::ActionUp] = -1;
        keys.now[hc::ActionRight] = (step / 40) % 2 ? -1 : 0;
        hc::updatePlayerCar(car, shift, *map, keys, sound, 1.0);
        hc::updateCabSystems(shift, car, 1.0);
        hc::moveAllTraffic(traffic.data(), Cars, *map, car, 1.0);
        hc::advanceClock(shift, 1.0);
    }
};

World& world() {
    static World w;
    return w;
}

void BM_SimulationFrame(benchmark::State& state) {
    World& w = world();
    int step = 0;
    for (auto _ : state) {
        w.frame(step++);
        benchmark::DoNotOptimize(w.car.x);
    }
}
BENCHMARK(BM_SimulationFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A frame in which a passenger gets in: the whole grid's marks are cleared and the
// destination square is painted.
void BM_PickUpFrame(benchmark::State& state) {
    World& w = world();
    int step = 0;
    for (auto _ : state) {
        w.shift.passengerAboard = 0;
        w.shift.passengers[1].delivered = hc::FlagOff;
        hc::tryPickUp(w.shift, *w.map, 1);
        w.frame(step++);
        benchmark::DoNotOptimize(w.shift.pendingFare);
    }
}
BENCHMARK(BM_PickUpFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A frame in which a passenger gets out: the grid is cleared and the 15 waiting squares
// come back.
void BM_DropOffFrame(benchmark::State& state) {
    World& w = world();
    int step = 0;
    for (auto _ : state) {
        w.shift.passengers[1].delivered = hc::FlagOff;
        w.shift.passengerAboard = 1;
        w.shift.deliveredCount = 0;
        hc::tryDropOff(w.shift, *w.map, 1);
        w.frame(step++);
        benchmark::DoNotOptimize(w.shift.deliveredCount);
    }
}
BENCHMARK(BM_DropOffFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClearMarks(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        hc::clearMarks(*w.map);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearMarks)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The first open cell along the diagonal from (from, from) by `step` whose 3 x 3 box is
// all open: a place the cab can stand.
float openDiagonalCell(const hc::CityMap& map, int from, int step) {
    for (int d = from;; d += step) {
        bool open = true;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j) open = open && hc::hasFlag(hc::cellAt(map, d + i, d + j), hc::Passable);
        if (open) return static_cast<float>(d) + 0.5f;
    }
}

// The assists' route from near one corner of the city to near the other: a new square,
// so the search runs afresh over most of the grid, a frame's budget at a time (the time
// is the whole search's; "frames" how many frames it spans). Then the frame after the
// cab moves on by a cell along the way, which only reads the way off again.
// A cab near one corner of the city, and the guide to a square near the other.
struct AcrossTheCity {
    hc::PlayerCar cab;
    hc::FareGuide guide;
    explicit AcrossTheCity(const hc::CityMap& map) {
        cab.x = cab.y = openDiagonalCell(map, 40, 1);
        guide.active = true;
        guide.target.x = guide.target.y = openDiagonalCell(map, hc::MapSize - 40, -1);
    }
};

void BM_RouteAcrossTheCity(benchmark::State& state) {
    World& w = world();
    auto [cab, guide] = AcrossTheCity(*w.map);
    hc::FareRoute route;
    int frames = 0;
    for (auto _ : state) {
        hc::resetFareRoute(route);
        frames = 0;
        do ++frames, hc::updateFareRoute(route, *w.map, cab, guide, hc::RouteCellsPerFrame);
        while (route.searching);
        benchmark::DoNotOptimize(route.cells.data());
    }
    state.counters["frames"] = frames;
    state.counters["cells"] = static_cast<double>(route.cells.size());
    state.counters["searched"] = static_cast<double>(route.queue.size());
    if (!route.found) state.SkipWithError("no way across the city");
}
BENCHMARK(BM_RouteAcrossTheCity)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RouteNextCell(benchmark::State& state) {
    World& w = world();
    auto [cab, guide] = AcrossTheCity(*w.map);
    hc::FareRoute route;
    hc::updateFareRoute(route, *w.map, cab, guide);
    const hc::PlayerCar start = cab;
    const int32_t next = route.cells.size() > 1 ? route.cells[1] : route.cells[0];
    int k = 0;
    for (auto _ : state) {
        // To and fro between the first two cells of the way.
        cab = start;
        if (++k % 2) cab.x = next / hc::MapSize + 0.5f, cab.y = next % hc::MapSize + 0.5f;
        hc::updateFareRoute(route, *w.map, cab, guide);
        benchmark::DoNotOptimize(route.cells.data());
    }
}
BENCHMARK(BM_RouteNextCell)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
