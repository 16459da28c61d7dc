// Prints digests of frames the game draws headless, with a fixed seed and a clock that
// moves one sixtieth of a second a frame: the main menu once it has faded in, and an
// arcade shift driven by held keys (the engine, the throttle, a turn, the map view).
// Built for the desktop and for the browser, where node runs it: the two builds must
// print the same lines, or the browser's pictures are not the desktop's.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

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

    void watch(ArcadeGame& arcade, const char* what) {
        arcade.onFrame = [this, &arcade, what](const Image& frame) {
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
    ArcadeGame arcade;
    if (!arcade.ready()) {
        out = arcade.skipReason();
        return false;
    }
    Recorder recorder;
    recorder.wanted = {1, 40, 90, 150};
    recorder.watch(arcade, "menu");
    arcade.window.holdKey(KeyEsc, 200, 200);  // "exit" chosen: the menu returns
    runMainMenu(arcade.game());
    out = recorder.lines;
    return recorder.frames >= 150;
}

bool shift(std::string& out) {
    ArcadeGame arcade;
    if (!arcade.ready()) {
        out = arcade.skipReason();
        return false;
    }
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
    return recorder.frames >= 180;
}

}  // namespace

int main() {
    std::string menuLines, shiftLines;
    if (!menu(menuLines) || !shift(shiftLines)) {
        std::fprintf(stderr, "frame_digests: the game did not draw every frame asked for: %s%s\n",
                     menuLines.c_str(), shiftLines.c_str());
        return 1;
    }
    std::fputs(menuLines.c_str(), stdout);
    std::fputs(shiftLines.c_str(), stdout);
    return 0;
}
