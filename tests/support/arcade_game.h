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

#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "platform/audio.h"
#include "render/world_view.h"
#include "shell/core/random.h"
#include "shell/core/tables.h"
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
        if (!loadGraphicsPack(g.state, g.font, g.screen, path)) {
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
        Game& g = game();
        g.shift.damage[1] = g.shift.damage[2] = g.shift.damage[3] = 0.0f;
        g.shift.frameCounter = 0;
        g.shift.pendingFare = 0;
        g.shift.score = 0;
        g.player = PlayerCar{};
        g.player.x = 1040.0f;
        g.player.y = 1034.0f;
        g.player.travelRate = 0.1f;
        rotateBody(g.player, 0.0);
        g.shift.minutesLeft = minutes;
        g.shift.secondsLeft = 0.0;
    }

    ViewTables view;

private:
    bool ready_ = false;
    std::string reason_;
    std::unique_ptr<TrafficCar[]> traffic_;
};

}  // namespace hc
