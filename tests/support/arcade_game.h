#pragma once
// ArcadeGame: a headless game made ready for runShift as the program loop makes it:
// screen and keys, silent audio, trig tables, the generated graphics pack (tests skip
// without it: `if (!arcade.ready()) GTEST_SKIP() << arcade.skipReason();`), a seeded
// city and world view, the traffic cars and a fresh shift with a time limit.
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
        if (!loadGameGraphics(g, path)) {
            reason_ = "no loadable graphics pack at " + path;
            return;
        }
        g.city = newCityMap();
        seedRandom(seed);
        generateCityMap(*g.city, g.state.shadeTable);
        initView(*g.city, view, g.shift, RenderWidth, RenderHeight);
        g.traffic = (traffic_ = std::make_unique<TrafficCar[]>(TrafficCarCount)).get();
        resetShiftRecords(minutes);
        ready_ = true;
    }
    ~ArcadeGame() {
        Game& g = game();
        releaseGraphicsPack(g.state, g.font);
        destroyImage(g.state.heavyDamageOverlay);
        deleteCityMap(g.city);
        g.state.heavyDamageOverlay = nullptr, g.city = nullptr, g.traffic = nullptr;
        shutdownAudio(g.audio);
    }

    bool ready() const { return ready_; }
    const std::string& skipReason() const { return reason_; }

    // What a new arcade game resets, and the time limit.
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
