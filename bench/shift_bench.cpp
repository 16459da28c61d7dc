// One arcade frame as the shift loop plays it, without the presentation: traffic
// stamps, key poll, player and cab, world view, HUD, minimap, traffic moves and the
// game clock, on a seeded city over a scripted drive of 10,000 frames. Reports the
// median and the slowest frame. Run with the pack generated (the game_data target).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "city/city_generator.h"
#include "core/random.h"
#include "core/system.h"
#include "core/tables.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "platform/headless_window.h"
#include "platform/keyboard.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "render/damage_overlay.h"
#include "render/world_view.h"
#include "shell/shift_loop.h"
#include "shell/startup.h"
#include "sim/passengers.h"
#include "sim/traffic.h"

namespace {

constexpr int DriveFrames = 10000;
constexpr int KeyUp = 72, KeyDown = 80, KeyLeft = 75, KeyRight = 77, KeyIgnition = 31, KeyWipers = 17, KeyZoom = 44;

struct Arcade {
    hc::HeadlessWindow window;
    std::unique_ptr<hc::Game> game = std::make_unique<hc::Game>();
    std::unique_ptr<hc::ViewTables> view = std::make_unique<hc::ViewTables>();
    std::unique_ptr<hc::TrafficCar[]> traffic = std::make_unique<hc::TrafficCar[]>(hc::TrafficCarCount);
    std::string error;

    Arcade() {
        hc::Game& g = *game;
        hc::setActiveWindow(&window);
        hc::chooseAudioOutput(hc::AudioOutputChoice::Silent);
        hc::initAudio(g.audio);
        hc::selectDisplayMode(g.screen);
        g.screen.renderWidth = hc::RenderWidth;
        g.screen.renderHeight = hc::RenderHeight;
        g.screen.keys = &g.keys;
        hc::openScreen(g.screen, hc::RenderModeSoftware, 0);
        hc::bindDefaultKeys(g.keys);
        hc::fillTrigTables();
        const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
        if (!hc::loadGameGraphics(g, path)) {
            error = "no usable graphics pack at " + path;
            return;
        }
        hc::ensureHeavyDamageOverlay(g.state);
        g.city = hc::newCityMap();
        g.traffic = traffic.get();
        hc::seedRandom(7700);
        hc::generateCityMap(*g.city, g.state.shadeTable);
        hc::initView(*g.city, *view, g.shift, hc::RenderWidth, hc::RenderHeight);
        g.player.x = 1040.0f;
        g.player.y = 1034.0f;
        g.player.travelRate = 0.1f;
        hc::rotateBody(g.player, 0.0);
        hc::startShift(g.shift, g.player, *g.city, g.traffic, hc::TrafficCarCount);
        hc::markPickups(g.shift, *g.city);
        hc::say(g.shift, "press [S] to start the car.");
        g.shift.minutesLeft = 1000;
        hc::resetFrameTimer(g.timer);

        // The drive: the engine started, wipers on, zoom switched now and then, and a
        // simple driver that keeps to the streets: full throttle while the way ahead is
        // clear, braking and turning towards the clearer side when it is not.
        window.holdKey(KeyIgnition, 2, 2);
        window.holdKey(KeyWipers, 4, 4);
        for (int poll = 500; poll < DriveFrames; poll += 1500) window.holdKey(KeyZoom, poll, poll);
        window.onPoll = [this](int64_t poll) { drive(poll); };
    }

    // Whether the street is open d cells away at an angle (radians) from the heading.
    bool open(double angle, double d) {
        const hc::PlayerCar& car = game->player;
        const double a = hc::headingRadians(car) + angle;
        return !hc::isBlocked(*game->city, static_cast<float>(car.x + d * std::cos(a)),
                              static_cast<float>(car.y + d * std::sin(a)));
    }

    void drive(int64_t poll) {
        if (poll < 6) return;
        bool clear = true;
        for (double d = 3; d <= 24 && clear; d += 3) clear = open(0.0, d);
        int left = 0, right = 0;
        for (double d = 6; d <= 30; d += 6) {
            left += open(-0.7, d);
            right += open(0.7, d);
        }
        const double speed = hc::bodySpeed(game->player);
        if (clear || speed < 0.1) window.holdKey(KeyUp, poll, poll);
        if (!clear && speed >= 0.1) window.holdKey(KeyDown, poll, poll);
        if (!clear || left + right < 6) window.holdKey(left > right ? KeyLeft : KeyRight, poll, poll);
    }

    ~Arcade() {
        hc::Game& g = *game;
        hc::releaseGraphicsPack(g.state, g.font);
        hc::destroyImage(g.state.heavyDamageOverlay);
        hc::destroyImage(g.screen.renderBuffer);
        hc::deleteCityMap(g.city);
        hc::shutdownAudio(g.audio);
        hc::setActiveWindow(nullptr);
        hc::chooseAudioOutput(hc::AudioOutputChoice::Device);
    }
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_ArcadeFrame(benchmark::State& state) {
    Arcade arcade;
    if (!arcade.error.empty()) {
        state.SkipWithError(arcade.error.c_str());
        return;
    }
    hc::Game& g = *arcade.game;
    hc::ShiftProfile profile;
    hc::resetShiftProfile(profile, hc::clockSeconds());
    // Wall time per frame, and the thread's own CPU time, which leaves out the time
    // the process waited for a core on a busy machine.
    std::vector<double> wallMs, cpuMs;
    wallMs.reserve(DriveFrames);
    cpuMs.reserve(DriveFrames);
    double path = 0;
    for (auto _ : state) {
        for (int frame = 0; frame < DriveFrames; ++frame) {
            const float x = g.player.x, y = g.player.y;
            const double cpuStart = threadCpuMs();
            const auto start = std::chrono::steady_clock::now();
            hc::simulateAndDrawFrame(g, *arcade.view, profile);
            hc::advanceClock(g.shift, hc::frameDelta(g.timer));
            const auto end = std::chrono::steady_clock::now();
            cpuMs.push_back(threadCpuMs() - cpuStart);
            wallMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
            path += std::hypot(g.player.x - x, g.player.y - y);
        }
        benchmark::DoNotOptimize(renderTarget(g.screen).pixels);
    }
    std::sort(wallMs.begin(), wallMs.end());
    std::sort(cpuMs.begin(), cpuMs.end());
    state.counters["median_ms"] = wallMs[wallMs.size() / 2];
    state.counters["p99_ms"] = wallMs[wallMs.size() * 99 / 100];
    state.counters["max_ms"] = wallMs.back();
    state.counters["cpu_median_ms"] = cpuMs[cpuMs.size() / 2];
    state.counters["cpu_max_ms"] = cpuMs.back();
    state.counters["path_cells"] = path;
    state.counters["delivered"] = g.shift.deliveredCount;
}
BENCHMARK(BM_ArcadeFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
