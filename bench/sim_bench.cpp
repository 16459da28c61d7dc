// Cost of the simulation's share of a frame on a generated city: the traffic stamps,
// the player car and cab systems, the traffic's look-ahead and moves, and the clock;
// and of the frames that repaint the pick-up marks (a pick-up and a drop-off).
#include <benchmark/benchmark.h>

#include <vector>

#include "city/city_generator.h"
#include "city/city_map.h"
#include "core/actions.h"
#include "core/random.h"
#include "core/records.h"
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

}  // namespace
