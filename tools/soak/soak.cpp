// Plays the game headless for a long stretch of game time, screen after screen, the way
// a player who never stops would: the menu, an arcade shift to its end, the options and
// the help pages, a career (garage, a shift at work, back in the garage, a refused
// purchase, leaving). The clock is controlled, so game time runs far faster than real
// time. The resident size is read after every round; after the first rounds (warm-up)
// it must not grow by more than a small bound.
//
//   hc_soak [game-minutes=30] [growth-limit-kb=4096]
// Prints one line per round and exits with 1 when the resident size grew too much.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "assets/graphics_pack.h"
#include "city/city_generator.h"
#include "frontend/career.h"
#include "frontend/garage.h"
#include "frontend/help_pages.h"
#include "frontend/menus.h"
#include "frontend/options.h"
#include "platform/audio.h"
#include "render/world_view.h"
#include "shell/core/random.h"
#include "shell/game.h"
#include "shell/shift_loop.h"
#include "shell/startup.h"
#include "sim/passengers.h"
#include "sim/traffic.h"
#include "support/headless_game.h"

namespace hc {
namespace {

constexpr int Up = 72, Down = 80, Left = 75, Right = 77, Enter = 28, Esc = 1, KeyS = 31, KeyW = 17,
              KeyZ = 44, Tab = 15, F3 = 61, F4 = 62;

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// What the key driver does on the screen the soak is showing.
enum class Screen { Menu, Shift, Garage, Options, Help };

struct Driver {
    explicit Driver(HeadlessGame& game) : hg(game) {}
    HeadlessGame& hg;
    Screen screen = Screen::Menu;
    std::vector<int> menuTaps;  // keys to release, one every few polls, on the next screen
    int64_t since = -1;         // first poll seen on this screen
    size_t next = 0;

    void enter(Screen s, std::vector<int> taps) {
        screen = s;
        menuTaps = std::move(taps);
        since = -1;
        next = 0;
    }
    void tap(int key, int64_t poll) { hg.window.holdKey(key, poll, poll); }

    void onPoll(int64_t poll) {
        if (since < 0) since = poll;
        const int64_t t = poll - since;
        Game& g = hg.game();
        if (screen == Screen::Shift) {
            if (g.shift.minutesLeft < 0) {
                if (poll % 2 == 0) tap(Enter, poll);  // "time's up!": leave
                return;
            }
            if (t == 3) tap(KeyS, poll);
            // Throttle, with the wheel swung now and then, and the switches in turn.
            if (t > 5) hg.window.holdKey(Up, poll, poll);
            if ((t / 150) % 4 == 1) hg.window.holdKey(Left, poll, poll);
            if ((t / 150) % 4 == 3) hg.window.holdKey(Right, poll, poll);
            static const int switches[] = {Tab, Tab, KeyW, KeyZ, F3, F4, KeyW, KeyZ, F3, F4};
            if (t % 700 == 350) tap(switches[(t / 700) % 10], poll);
            if (t % 3000 == 2999 && !isOn(g.shift.engineRunning)) tap(KeyS, poll);
            return;
        }
        // Other screens: one scripted key every 6 polls, starting a few polls in.
        if (t >= 4 && t % 6 == 4 && next < menuTaps.size()) tap(menuTaps[next++], poll);
    }
};

int soak(HeadlessGame& hg, double gameMinutes, long growthLimitKb) {
    Game& g = hg.game();
    hg.openScreen();
    initAudio(g.audio);
    g.city = newCityMap();
    g.view = new ViewTables();
    g.traffic = new TrafficCar[TrafficCarCount]();
    initView(*g.city, *g.view, g.shift, RenderWidth, RenderHeight);
    if (!loadGraphicsPack(g.state, g.font, g.screen, std::string(HC_DATA_DIR) + "/graphics.pak")) {
        std::fprintf(stderr, "soak: no graphics pack in %s\n", HC_DATA_DIR);
        return 2;
    }
    setupTables(g);

    Driver driver(hg);
    hg.window.onPoll = [&](int64_t poll) { driver.onPoll(poll); };
    // Two game ticks a frame: game time runs at twice the frame count's pace.
    hg.secondsPerFrame = 1.0 / 25.0;
    const double start = hg.now;
    long baseline = 0, peak = 0;
    int failures = 0;

    for (int round = 1; (hg.now - start) / 60.0 < gameMinutes; ++round) {
        // Menu -> arcade game to the end of its four minutes -> menu.
        driver.enter(Screen::Menu, {Down, Up, Enter});
        openTrack(g.audio, 1);
        if (runMainMenu(g) != MenuArcade) return 3;
        drawBusyIcon(g.screen);
        generateCityMap(*g.city, g.state.shadeTable);
        newGameReset(g.shift, g.player);
        g.shift.turboLevel = 1;
        openTrack(g.audio, randomChoice(4) + 1);
        setTimeLimit(g.shift, 4);
        driver.enter(Screen::Shift, {});
        runShift(g, *g.view);

        // Options: every entry used, then "return".
        driver.enter(Screen::Menu, {Down, Down, Enter});
        openTrack(g.audio, 1);
        if (runMainMenu(g) != MenuOptions) return 3;
        driver.enter(Screen::Options, {Enter, Down, Enter, Enter, Down, Enter, Enter, Down, Enter});
        runOptions(g);

        // The help pages, all three and round again, then back.
        driver.enter(Screen::Menu, {Up, Up, Enter});
        openTrack(g.audio, 1);
        if (runMainMenu(g) != MenuHelp) return 3;
        driver.enter(Screen::Help, {Enter, Enter, Enter, Right, Esc});
        openTrack(g.audio, 2);
        runHelpPages(g, 1);

        // A career: a refused purchase and the radio, work, the garage again, leave.
        driver.enter(Screen::Menu, {Down, Enter});
        openTrack(g.audio, 1);
        if (runMainMenu(g) != MenuCareer) return 3;
        newGameReset(g.shift, g.player);
        openTrack(g.audio, 2);
        driver.enter(Screen::Garage, {Left, Enter, Left, Enter, Right, Right, Enter});
        if (!runGarage(g)) return 4;
        prepareCareerShift(g);
        driver.enter(Screen::Shift, {});
        runShift(g);
        openTrack(g.audio, 2);
        driver.enter(Screen::Garage, {Left, Left, Left, Enter});
        if (runGarage(g)) return 4;

        const long kb = residentKb();
        if (round == 2) baseline = kb;
        if (kb > peak) peak = kb;
        const bool over = round > 2 && kb - baseline > growthLimitKb;
        failures += over;
        std::printf("round %d: game time %.1f min, resident %ld KB%s, score %lld\n", round, (hg.now - start) / 60.0,
                    kb, over ? " (grew too much)" : "", static_cast<long long>(g.shift.score));
        std::fflush(stdout);
    }
    std::printf("soak: %.1f minutes of game time, resident %ld KB after warm-up, peak %ld KB, limit +%ld KB: %s\n",
                (hg.now - start) / 60.0, baseline, peak, growthLimitKb, failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}

}  // namespace
}  // namespace hc

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 30.0;
    const long limit = argc > 2 ? std::atol(argv[2]) : 4096;
    hc::HeadlessGame hg;
    int result = 0;
    const int status = hg.runUntilEnd([&] { result = hc::soak(hg, minutes, limit); });
    if (status != -1) {
        std::printf("soak: the game ended the process with status %d\n", status);
        return 5;
    }
    return result;
}
