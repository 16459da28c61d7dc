// Start-up, headless: from the program's first console line to the main menu's first
// frame, the real start-up sequence with a window that draws nowhere and silent audio.
// (The real game adds opening the display and the sound device.)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "assets/graphics_pack.h"
#include "core/data_path.h"
#include "core/system.h"
#include "frontend/game.h"
#include "platform/audio.h"
#include "platform/headless_window.h"
#include "platform/keyboard.h"
#include "render/world_view.h"
#include "shell/startup.h"
#include "sim/traffic.h"

namespace {

struct MenuReached {};

void BM_StartUpToTheMenu(benchmark::State& state) {
    // Saves go to a scratch folder; nothing is there, so nothing is read either.
    const std::string home = std::filesystem::temp_directory_path() / "hazardcab-bench-home";
    setenv("HAZARDCAB_HOME", home.c_str(), 1);
    hc::setDataFolder(HC_DATA_DIR);
    hc::chooseAudioOutput(hc::AudioOutputChoice::Silent);
    hc::setProcessEndHandler([](int) { throw MenuReached{}; });
    for (auto _ : state) {
        auto game = std::make_unique<hc::Game>();
        hc::HeadlessWindow window;
        // The first frame is the busy icon, the second the menu's first.
        int frames = 0;
        window.onPresent = [&](const hc::Image&) {
            if (++frames == 2) throw MenuReached{};
        };
        try {
            hc::runGame(*game, window);
        } catch (const MenuReached&) {
        }
        state.PauseTiming();
        hc::releaseGraphicsPack(game->state, game->font);
        hc::deleteCityMap(game->city);
        delete game->view;
        delete[] game->traffic;
        hc::destroyImage(game->screen.renderBuffer);
        hc::shutdownAudio(game->audio);
        hc::setActiveWindow(nullptr);
        state.ResumeTiming();
    }
    hc::setProcessEndHandler(nullptr);
}
BENCHMARK(BM_StartUpToTheMenu)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
