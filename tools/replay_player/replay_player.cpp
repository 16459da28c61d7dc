// Plays a recorded shift headless, as fast as it goes, on the game's own data:
//
//   hc_replay_player FILE
//
// Prints the final score, the frames played, a digest of the final state (score,
// passengers, cab and traffic), a digest of every picture shown, and the playback speed
// in frames per second. Exits with 1 for a recording it cannot play (one line saying
// why), 2 for a bad command line.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "shell/replays.h"
#include "support/arcade_game.h"
#include "support/digest.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: hc_replay_player FILE\n");
        return 2;
    }
    hc::Recording recording;
    std::string line;
    if (!hc::loadRecording(argv[1], recording, line)) {
        std::fprintf(stderr, "%s\n", line.c_str());
        return 1;
    }
    std::unique_ptr<hc::ArcadeGame> made;
    try {
        made = std::make_unique<hc::ArcadeGame>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Cannot play: %s\n", error.what());
        return 1;
    }
    hc::ArcadeGame& arcade = *made;
    uint64_t pictures = 14695981039346656037ull;
    arcade.onFrame = [&](const hc::Image& frame) { pictures = hc::test::fnv1a(frame) ^ (pictures * 1099511628211ull); };
    hc::PlaybackResult result;
    const auto start = std::chrono::steady_clock::now();
    const int status = arcade.runUntilEnd([&] { result = hc::playRecording(arcade.game(), arcade.view, recording, false); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != -1) {
        std::fprintf(stderr, "The playback ended the game with status %d\n", status);
        return 1;
    }
    std::printf("score %" PRId64 "%s\n", result.score,
                result.score == recording.finalScore ? "" : " (the recording ended on another score)");
    std::printf("frames %" PRId64 " of %zu\n", result.frames, recording.frames.size());
    std::printf("state digest %016" PRIx64 "\n", hc::shiftDigest(arcade.game()));
    std::printf("picture digest %016" PRIx64 "\n", pictures);
    std::printf("speed %.0f frames per second\n", seconds > 0 ? result.frames / seconds : 0.0);
    return result.complete && result.score == recording.finalScore ? 0 : 1;
}
