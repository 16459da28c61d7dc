// musicgen: renders the game's music tracks as Ogg Vorbis, and the small test files of
// the audio engine's tests.
//   musicgen --track N out.ogg     one track (1..4)
//   musicgen --fixtures DIR        the test files
//   musicgen --levels              render all tracks and print their levels only
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ogg_encoder.h"
#include "sequencer.h"
#include "songs.h"

namespace {

using namespace musicgen;

constexpr double TargetRmsDb = -15.5;
constexpr float Ceiling = 0.85f;
constexpr float Quality = 0.4f;

std::vector<float> renderTrack(int track) {
    Song song = songNumber(track);
    std::vector<float> samples = renderLoop(song);
    master(samples, TargetRmsDb, Ceiling);
    return samples;
}

// A sine per channel (channel c at hz * (c + 1)), at half scale.
std::vector<float> tone(int rate, int channels, int frames, double hz) {
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            out[static_cast<size_t>(f) * channels + c] = static_cast<float>(
                0.5 * std::sin(2 * 3.14159265358979 * hz * (c + 1) * f / rate));
    return out;
}

// Two seconds of a tone over soft noise: enough data for several Ogg pages.
std::vector<float> toneOverNoise() {
    std::vector<float> out = tone(44100, 2, 88200, 441);
    uint32_t x = 7700;
    for (float& v : out) {
        x = x * 1664525u + 1013904223u;
        v = 0.7f * v + 0.15f * (static_cast<float>(x >> 8) / 8388608.0f - 1.0f);
    }
    return out;
}

bool writeFixture(const std::string& dir, const std::string& name, const std::vector<float>& s,
                  int channels, int rate) {
    std::vector<uint8_t> bytes = encodeOggVorbis(s, channels, rate, 0.1f);
    if (bytes.empty() || !writeFile(dir + "/" + name, bytes)) {
        std::fprintf(stderr, "musicgen: could not write %s/%s\n", dir.c_str(), name.c_str());
        return false;
    }
    return true;
}

int fixtures(const std::string& dir) {
    bool ok = writeFixture(dir, "short_44k_stereo.ogg", tone(44100, 2, 1000, 441), 2, 44100) &&
              writeFixture(dir, "tone_44k_stereo.ogg", tone(44100, 2, 22050, 441), 2, 44100) &&
              writeFixture(dir, "tone_48k_mono.ogg", tone(48000, 1, 48000, 1000), 1, 48000) &&
              writeFixture(dir, "tone_22k_stereo.ogg", tone(22050, 2, 22050, 1000), 2, 22050) &&
              writeFixture(dir, "tone_44k_6ch.ogg", tone(44100, 6, 11025, 200), 6, 44100) &&
              writeFixture(dir, "noisy_44k_stereo.ogg", toneOverNoise(), 2, 44100) &&
              writeFixture(dir, "empty.ogg", {}, 2, 44100);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "--track" && argc == 4) {
            int track = std::atoi(argv[2]);
            std::vector<float> samples = renderTrack(track);
            std::vector<uint8_t> bytes = encodeOggVorbis(samples, 2, SampleRate, Quality);
            if (bytes.empty() || !writeFile(argv[3], bytes)) {
                std::fprintf(stderr, "musicgen: could not write %s\n", argv[3]);
                return 1;
            }
            return 0;
        }
        if (mode == "--fixtures" && argc == 3) return fixtures(argv[2]);
        if (mode == "--levels") {
            for (int track = 1; track <= 4; ++track) {
                std::vector<float> samples = renderTrack(track);
                Levels l = measure(samples);
                std::printf("track%d %-18s %6.1f s  rms %.1f dBFS  peak %.3f\n", track,
                            songNumber(track).name.c_str(), samples.size() / 2.0 / SampleRate,
                            l.rmsDb, l.peak);
            }
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "musicgen: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: musicgen --track N out.ogg | --fixtures DIR | --levels\n");
    return 2;
}
