#pragma once
// ArcadeGame: a headless game made ready for runShift the way the program loop makes
// it ready: the 640 x 480 screen and default keys (HeadlessGame::openScreen), silent
// audio, the trig tables, a seeded random source, the generated graphics pack at
// HC_DATA_DIR "/graphics.pak" with its colour tables, a seeded city with the world
// view set up, 128 traffic cars, and a fresh shift with the cab at its start and a
// time limit.
//
//   ArcadeGame arcade;
//   if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();
//   arcade.window.pressKeyAt(31, 2);   // S: ignition released at the 3rd frame
//   arcade.runUntilEnd([&] { runShift(arcade.game()); });
//
// Header only: it is compiled into the tests that include it, which link the game's
// libraries (the shared test-support library links the platform only).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "city/city_generator.h"
#include "core/random.h"
#include "core/tables.h"
#include "platform/audio.h"
#include "render/world_view.h"
#include "shell/new_game.h"
#include "shell/startup.h"
#include "sim/passengers.h"
#include "sim/traffic.h"
#include "support/headless_game.h"

namespace hc {

class ArcadeGame : public HeadlessGame {
public:
    static constexpr uint64_t DefaultSeed = 7700;

    explicit ArcadeGame(uint64_t seed = DefaultSeed, int minutes = 4) {
        Game& g = game();
        openScreen();
        initAudio(g.audio);
        fillTrigTables();
        const std::string path = std::string(HC_DATA_DIR) + "/graphics.pak";
        if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
            std::fclose(probe);
        } else {
            reason_ = "no generated graphics pack at " + path;
            return;
        }
        if (!loadGameGraphics(g, path)) {
            reason_ = "the graphics pack at " + path + " did not load";
            return;
        }
        g.city = newCityMap();
        seedRandom(seed);
        generateCityMap(*g.city, g.state.shadeTable);
        initView(*g.city, view, g.shift, RenderWidth, RenderHeight);
        traffic_ = std::make_unique<TrafficCar[]>(TrafficCarCount);
        g.traffic = traffic_.get();
        resetShiftRecords(minutes);
        ready_ = true;
    }
    ~ArcadeGame() {
        Game& g = game();
        releaseGraphicsPack(g.state, g.font);
        destroyImage(g.state.heavyDamageOverlay);
        g.state.heavyDamageOverlay = nullptr;
        deleteCityMap(g.city);
        g.city = nullptr;
        g.traffic = nullptr;
        shutdownAudio(g.audio);
    }

    bool ready() const { return ready_; }
    const std::string& skipReason() const { return reason_; }

    // What a new arcade game resets: the shift's counters, the cab at its start
    // (heading +x), and the time limit.
    void resetShiftRecords(int minutes) {
        newGameReset(game().shift, game().player);
        setTimeLimit(game().shift, minutes);
    }

    ViewTables view;

private:
    bool ready_ = false;
    std::string reason_;
    std::unique_ptr<TrafficCar[]> traffic_;
};

}  // namespace hc
