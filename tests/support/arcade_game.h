#pragma once
// ArcadeGame: a headless game made ready for runShift as the program loop makes it: screen and keys, silent audio,
// trig tables, the generated graphics pack, a seeded city and world view, the traffic cars and a fresh shift with a
// time limit. Without the pack it throws, and the test fails saying so: the data is built before the tests.
#include <memory>
#include <stdexcept>
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
        if (!loadGameGraphics(g, path)) {
            shutdownAudio(g.audio);
            throw std::runtime_error("no loadable graphics pack at " + path + " (the game_data target builds it)");
        }
        g.city = newCityMap();
        seedRandom(seed);
        generateCityMap(*g.city, g.state.shadeTable);
        initView(*g.city, view, g.shift, RenderWidth, RenderHeight);
        g.traffic = (traffic_ = std::make_unique<TrafficCar[]>(TrafficCarCount)).get();
        resetShiftRecords(minutes);
    }
    ~ArcadeGame() {
        Game& g = game();
        releaseGraphicsPack(g.state, g.font);
        destroyImage(g.state.heavyDamageOverlay);
        deleteCityMap(g.city);
        g.state.heavyDamageOverlay = nullptr, g.city = nullptr, g.traffic = nullptr;
        shutdownAudio(g.audio);
    }

    // What a new arcade game resets, and the time limit.
    void resetShiftRecords(int minutes) {
        newGameReset(game().shift, game().player);
        setTimeLimit(game().shift, minutes);
    }

    ViewTables view;

private:
    std::unique_ptr<TrafficCar[]> traffic_;
};

}  // namespace hc
