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

#include "core/random.h"
#include "frontend/game.h"
#include "frontend/menus.h"
#include "platform/audio.h"
#include "render/world_view.h"
#include "shell/startup.h"
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
    std::vector<int> taps;        // keys to release, one every few polls
    std::vector<int> afterShift;  // a career: the garage's keys once the shift is over
    int64_t since = -1;           // first poll seen on this screen
    size_t next = 0;
    bool running = false;         // the shift's clock has been seen running

    void enter(Screen s, std::vector<int> keys, std::vector<int> then = {}) {
        screen = s;
        taps = std::move(keys);
        afterShift = std::move(then);
        since = -1;
        next = 0;
        running = false;
    }
    void tap(int key, int64_t poll) { hg.window.holdKey(key, poll, poll); }

    void onPoll(int64_t poll) {
        if (since < 0) since = poll;
        const int64_t t = poll - since;
        Game& g = hg.game();
        if (screen == Screen::Shift) {
            // The last key of the garage is still being released when the shift is set up.
            if (g.shift.minutesLeft >= 0) running = true;
            if (!running) return;
            if (g.shift.minutesLeft < 0) {
                // "time's up!": leave it, to the menu or, in a career, to the garage.
                tap(Enter, poll);
                enter(afterShift.empty() ? Screen::Menu : Screen::Garage, afterShift);
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
        // Other screens: one scripted key every 6 polls, starting a few polls in. The
        // garage's "Go to work" (the last key of a list followed by a shift) starts it.
        if (t >= 4 && t % 6 == 4 && next < taps.size()) {
            tap(taps[next++], poll);
            if (next == taps.size() && screen == Screen::Garage && !afterShift.empty()) {
                enter(Screen::Shift, {}, afterShift);
            }
        }
    }
};

// One round of the program loop with the keys the driver will press on the menu and on
// the screen chosen; returns the menu's choice.
int menuRound(HeadlessGame& hg, Driver& driver, std::vector<int> menuKeys, Screen screen,
              std::vector<int> keys, std::vector<int> afterShift = {}) {
    // The menu's keys are tapped first; the chosen screen's keys follow.
    std::vector<int> all = std::move(menuKeys);
    driver.enter(Screen::Menu, all);
    hg.window.onPoll = [&, screen, keys, afterShift, menuTaps = all.size()](int64_t poll) {
        if (driver.screen == Screen::Menu && driver.next == menuTaps && !driver.taps.empty()) {
            driver.enter(screen, keys, afterShift);
        }
        driver.onPoll(poll);
    };
    return playMenuRound(hg.game());
}

int soak(HeadlessGame& hg, double gameMinutes, long growthLimitKb) {
    Game& g = hg.game();
    hg.openScreen();
    initAudio(g.audio);
    g.city = newCityMap();
    g.view = new ViewTables();
    g.traffic = new TrafficCar[TrafficCarCount]();
    initView(*g.city, *g.view, g.shift, RenderWidth, RenderHeight);
    if (!loadGameGraphics(g, std::string(HC_DATA_DIR) + "/graphics.pak")) {
        std::fprintf(stderr, "soak: no graphics pack in %s\n", HC_DATA_DIR);
        return 2;
    }
    setupTables(g);

    Driver driver(hg);
    // Two game ticks a frame: game time runs at twice the frame count's pace.
    hg.secondsPerFrame = 1.0 / 25.0;
    const double start = hg.now;
    long baseline = 0, peak = 0;
    int failures = 0;

    for (int round = 1; (hg.now - start) / 60.0 < gameMinutes; ++round) {
        // An arcade game to the end of its four minutes; the options, every entry used;
        // the help pages, all three and round again; a career with a refused purchase
        // and the radio, a shift at work, the garage again, and leaving.
        if (menuRound(hg, driver, {Down, Up, Enter}, Screen::Shift, {}) != MenuArcade) return 3;
        if (menuRound(hg, driver, {Down, Down, Enter}, Screen::Options,
                      {Enter, Down, Enter, Enter, Down, Enter, Enter, Down, Enter, Enter, Down, Enter}) !=
                MenuOptions) {
            return 3;
        }
        if (menuRound(hg, driver, {Up, Up, Enter}, Screen::Help, {Enter, Enter, Enter, Right, Esc}) != MenuHelp) {
            return 3;
        }
        if (menuRound(hg, driver, {Down, Enter}, Screen::Garage, {Left, Enter, Left, Enter, Right, Right, Enter},
                      {Left, Left, Left, Enter}) != MenuCareer) {
            return 3;
        }

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
