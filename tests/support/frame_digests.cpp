// Prints digests of frames drawn headless with a fixed seed and a clock of a sixtieth of a second a frame: the menu
// once faded in, and an arcade shift driven by held keys. The desktop and browser (node) builds must print the same.
//   frame_digests [--times]   --times: instead, the median time a frame of the driver's view and of the map view took
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "frontend/menus.h"
#include "shell/shift_loop.h"
#include "support/arcade_game.h"
#include "support/digest.h"
#include "support/key_codes.h"

namespace {

using namespace hc;
using namespace hc::test;

// The digest of a frame's palette indices and of the colours they stand for.
uint64_t frameDigest(const Image& frame, const ScreenContext& screen) {
    return fnv1a(screen.colourWords, sizeof screen.colourWords, fnv1a(frame));
}

// Records the digest of each frame in `wanted` (counted from 1). The runs end through
// the game's own keys, not by throwing: the browser build has no exceptions.
struct Recorder {
    std::set<int> wanted;
    std::string lines;
    int frames = 0;
    // Milliseconds since the frame before (a headless present takes none) in the driver's view and the map view, once
    // the shift has faded in and before it ends (key polls 60 to 199; Tab goes down at 120).
    std::vector<double> worldTimes, mapTimes;
    std::chrono::steady_clock::time_point last;

    void watch(ArcadeGame& arcade, const char* what) {
        arcade.onFrame = [this, &arcade, what](const Image& frame) {
            const auto now = std::chrono::steady_clock::now();
            const int64_t poll = arcade.game().keys.pollCount;
            if (poll >= 60 && poll < 200 && (poll < 120 || poll > 122)) {
                const double ms = std::chrono::duration<double, std::milli>(now - last).count();
                (isOn(arcade.game().shift.mapView) ? mapTimes : worldTimes).push_back(ms);
            }
            last = now;
            ++frames;
            if (!wanted.count(frames)) return;
            char line[96];
            std::snprintf(line, sizeof line, "%s frame %d %016llx\n", what, frames,
                          static_cast<unsigned long long>(frameDigest(frame, arcade.game().screen)));
            lines += line;
        };
    }
};

bool menu(std::string& out) {
    ArcadeGame arcade;  // throws, saying where, when the data is missing
    Recorder recorder;
    recorder.wanted = {1, 40, 90, 150};
    recorder.watch(arcade, "menu");
    arcade.window.holdKey(KeyEsc, 200, 200);  // "exit" chosen: the menu returns
    runMainMenu(arcade.game());
    out = recorder.lines;
    return recorder.frames >= 150;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

bool shift(std::string& out, bool times) {
    ArcadeGame arcade;  // throws, saying where, when the data is missing
    HeadlessWindow& keys = arcade.window;
    keys.holdKey(KeyS, 3, 3);
    keys.holdKey(KeyUp, 5, 170);
    keys.holdKey(KeyLeft, 60, 80);
    keys.holdKey(KeyTab, 120, 120);
    keys.holdKey(KeyEsc, 200, 200);  // "time's up!", then Enter leaves it
    for (int poll = 230; poll <= 400; poll += 30) keys.holdKey(KeyEnter, poll, poll);
    Recorder recorder;
    recorder.wanted = {30, 60, 100, 140, 180};
    recorder.watch(arcade, "shift");
    runShift(arcade.game(), arcade.view);
    out = recorder.lines;
    if (times) {
        char line[96];
        std::snprintf(line, sizeof line, "driver's view %.2f ms (%zu frames), map view %.2f ms (%zu frames), medians\n",
                      median(recorder.worldTimes), recorder.worldTimes.size(), median(recorder.mapTimes),
                      recorder.mapTimes.size());
        out = line;
    }
    return recorder.frames >= 180;
}

}  // namespace

int main(int argc, char** argv) {
    const bool times = argc > 1 && std::strcmp(argv[1], "--times") == 0;
    std::string menuLines, shiftLines;
    if (!menu(menuLines) || !shift(shiftLines, times)) {
        std::fprintf(stderr, "frame_digests: the game did not draw every frame asked for: %s%s\n",
                     menuLines.c_str(), shiftLines.c_str());
        return 1;
    }
    if (!times) std::fputs(menuLines.c_str(), stdout);
    std::fputs(shiftLines.c_str(), stdout);
    return 0;
}
