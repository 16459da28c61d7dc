// fare_driver: plays one fare in the real game running under X, from the game's own
// screenshots. Start it when a new shift is on the screen ("press [S] to start the
// car."); it presses F2 for every picture it needs, reads the "Saved" lines from the
// game's console and the pictures from the game's folder, and answers with key events
// through xdotool (the game window must have the focus).
//
//   fare_driver --game-dir DIR --console FILE [--pack PATH] [--timeout SECONDS]
//               [--keep DIR] [--trace] [--longest-ride CELLS]
//
// Exit status: 0 a passenger was picked up and delivered; 3 no pick-up square was in
// sight at the start, 4 the passenger wants to go further than --longest-ride (start
// another game in both cases); 1 anything else. --keep copies the first
// map, the cockpit at the pick-up and at the drop-off into DIR; --trace logs the speed
// and steering of every decision.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "assets/graphics_pack.h"
#include "e2e/driver/fare_driver.h"
#include "platform/screen.h"
#include "shell/game_state.h"

extern char** environ;

using namespace hc;
using namespace hc::driver;

namespace {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

bool xdotool(const char* verb, const std::string& key) {
    const char* args[] = {"xdotool", verb, key.c_str(), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, const_cast<char**>(args), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Keyboard {
    HeldKeys down;
    void set(bool& now, bool want, const char* key) {
        if (now == want) return;
        xdotool(want ? "keydown" : "keyup", key);
        now = want;
    }
    void hold(const HeldKeys& k) {
        set(down.up, k.up, "Up");
        set(down.down, k.down, "Down");
        set(down.left, k.left, "Left");
        set(down.right, k.right, "Right");
    }
    static void tap(const char* key) {
        xdotool("keydown", key);
        sleepSeconds(0.05);  // long enough for the game to poll it down
        xdotool("keyup", key);
    }
};

// The names of the screenshots the game has saved so far, from its console.
std::vector<std::string> savedNames(const std::string& console) {
    std::ifstream in(console);
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Saved ", 0) == 0) names.push_back(line.substr(6));
    }
    return names;
}

struct Camera {
    std::string dir, console;
    size_t seen = 0;
    std::string lastPath;

    bool grab(Shot& shot, double timeout) {
        const double end = now() + timeout;
        while (now() < end) {
            Keyboard::tap("F2");
            const double wait = now() + 1.0;
            while (now() < wait) {
                const auto names = savedNames(console);
                if (names.size() > seen) {
                    // A press seen twice saves two pictures: only the last is read.
                    for (size_t i = seen; i + 1 < names.size(); ++i) std::remove((dir + "/" + names[i]).c_str());
                    seen = names.size();
                    lastPath = dir + "/" + names.back();
                    for (int i = 0; i < 100; ++i) {
                        if (readShot(lastPath, shot)) return true;
                        sleepSeconds(0.01);
                    }
                    std::fprintf(stderr, "fare_driver: cannot read %s\n", lastPath.c_str());
                    return false;
                }
                sleepSeconds(0.005);
            }
        }
        return false;
    }
    void keep(const std::string& keepDir, const std::string& name) const {
        if (keepDir.empty() || lastPath.empty()) return;
        std::ifstream in(lastPath, std::ios::binary);
        std::ofstream out(keepDir + "/" + name, std::ios::binary);
        out << in.rdbuf();
    }
    void discard() const {
        if (!lastPath.empty()) std::remove(lastPath.c_str());
    }
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: fare_driver --game-dir DIR --console FILE [--pack PATH] [--timeout SECONDS] [--keep DIR] "
                 "[--trace] [--longest-ride CELLS]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    std::string gameDir, console, pack = "../data/graphics.pak", keepDir;
    double timeout = 200.0;
    bool trace = false;
    double longestRide = 1e9;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--trace") {
            trace = true;
            continue;
        }
        if (i + 1 >= argc) usage();
        if (a == "--game-dir") gameDir = argv[++i];
        else if (a == "--console") console = argv[++i];
        else if (a == "--pack") pack = argv[++i];
        else if (a == "--timeout") timeout = std::atof(argv[++i]);
        else if (a == "--keep") keepDir = argv[++i];
        else if (a == "--longest-ride") longestRide = std::atof(argv[++i]);
        else usage();
    }
    if (gameDir.empty() || console.empty()) usage();

    auto state = std::make_unique<GameState>();
    FontSet font;
    Rgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {BasePalette[i][0], BasePalette[i][1], BasePalette[i][2]};
    if (!loadGraphicsPackWithPalette(*state, font, palette, 1, pack)) {
        std::fprintf(stderr, "fare_driver: cannot use the graphics pack %s\n", pack.c_str());
        return 1;
    }
    auto colours = std::make_unique<StreetColours>();
    initStreetColours(*colours, state->shadeTable);

    const double start = now();
    FareDriver driver;
    driver.colours = colours.get();
    driver.font = &font;
    driver.trace = trace;
    driver.longestRide = longestRide;
    driver.log = [&](const std::string& line) {
        std::printf("%6.1f s  %s\n", now() - start, line.c_str());
        std::fflush(stdout);
    };
    Camera camera{gameDir, console, savedNames(console).size(), {}};
    Keyboard keyboard;
    int shots = 0;
    Phase phase = driver.phase;
    while (now() - start < timeout) {
        Shot shot;
        if (!camera.grab(shot, 5.0)) {
            std::fprintf(stderr, "fare_driver: the game saves no screenshots\n");
            break;
        }
        ++shots;
        const DriverAction action = driveStep(driver, shot, now());
        if (shots == 1) camera.keep(keepDir, "first.bmp");
        if (driver.phase != phase) {
            if (driver.phase == Phase::ToPickup) camera.keep(keepDir, "map_at_start.bmp");
            if (driver.phase == Phase::ToDestination) camera.keep(keepDir, "cockpit_after_pickup.bmp");
            if (driver.phase == Phase::Delivered) camera.keep(keepDir, "cockpit_after_dropoff.bmp");
            phase = driver.phase;
        }
        camera.discard();
        keyboard.hold(action.hold);
        for (const Tap t : action.taps) Keyboard::tap(t == Tap::Ignition ? "s" : t == Tap::MapView ? "Tab" : "r");
        if (phase == Phase::Delivered || phase == Phase::NoSquare || phase == Phase::TooFar || phase == Phase::Failed) {
            break;
        }
    }
    keyboard.hold({});
    std::printf("fare_driver: %s after %.1f s and %d screenshots\n", phaseName(driver.phase), now() - start, shots);
    if (driver.phase == Phase::Delivered) return 0;
    if (driver.phase == Phase::NoSquare) return 3;
    if (driver.phase == Phase::TooFar) return 4;
    return 1;
}
