// The OpenAL output end to end: OpenAL Soft's wave writer stands in for a sound card,
// and what it wrote is read back and measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/system.h"
#include "platform/audio.h"

namespace hc {
namespace {

struct Wav {
    int channels = 0;
    int rate = 0;
    std::vector<float> left;
};

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads 16-bit integer or 32-bit float PCM (plain or extensible), left channel only.
bool readWav(const std::string& path, Wav& wav) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> d{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) || std::memcmp(d.data() + 8, "WAVE", 4))
        return false;
    int format = 0, bits = 0;
    for (size_t pos = 12; pos + 8 <= d.size();) {
        const uint8_t* chunk = d.data() + pos;
        size_t size = le32(chunk + 4);
        size_t body = pos + 8;
        if (!std::memcmp(chunk, "fmt ", 4) && body + 16 <= d.size()) {
            format = le16(d.data() + body);
            wav.channels = le16(d.data() + body + 2);
            wav.rate = static_cast<int>(le32(d.data() + body + 4));
            bits = le16(d.data() + body + 14);
            if (format == 0xFFFE && body + 26 <= d.size()) format = le16(d.data() + body + 24);
        } else if (!std::memcmp(chunk, "data", 4)) {
            size = std::min(size, d.size() - body);  // a writer that died leaves it short
            const int frameBytes = wav.channels * bits / 8;
            if (frameBytes <= 0) return false;
            for (size_t f = 0; f + frameBytes <= size; f += frameBytes) {
                const uint8_t* s = d.data() + body + f;
                if (format == 3 && bits == 32) {
                    float v;
                    std::memcpy(&v, s, 4);
                    wav.left.push_back(v);
                } else if (format == 1 && bits == 16) {
                    wav.left.push_back(static_cast<int16_t>(le16(s)) / 32768.0f);
                } else {
                    return false;
                }
            }
            return true;
        }
        pos = body + size + (size & 1);
    }
    return false;
}

TEST(AudioDevice, MusicReachesTheDeviceAtItsPitchAndGain) {
    const std::string dir = testing::TempDir();
    const std::string wavPath = dir + "hc_audio_device.wav";
    const std::string confPath = dir + "hc_audio_device.conf";
    std::remove(wavPath.c_str());
    std::ofstream(confPath) << "[general]\ndrivers = wave\n[wave]\nfile = " << wavPath << "\n";
    setenv("ALSOFT_CONF", confPath.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");

    std::string console;
    setConsoleSink([&](std::string_view s) { console += s; });
    static AudioEngine engine;
    initAudio(engine);
    ASSERT_EQ(console, "Audio: initializing engine\n");  // a device, not the silent output
    openTrackFile(engine, 1, std::string(HC_SOURCE_DIR) + "/tools/musicgen/fixtures/tone_44k_stereo.ogg");
    setMasterLevel(engine, 1.0f);  // music at 0.24
    // The writer runs in real time; keep the queues fed for about 1.2 s of sound.
    const double start = clockSeconds();
    while (clockSeconds() - start < 1.2) {
        updateAudio(engine);
        sleepMilliseconds(5);
    }
    shutdownAudio(engine);
    setConsoleSink(nullptr);
    EXPECT_EQ(console, "Audio: initializing engine\n");

    Wav wav;
    ASSERT_TRUE(readWav(wavPath, wav)) << wavPath;
    ASSERT_GT(wav.rate, 0);
    ASSERT_GT(wav.left.size(), static_cast<size_t>(wav.rate)) << "less than a second recorded";
    // Skip the start-up; measure half a second of steady music.
    const size_t from = wav.left.size() / 3, count = static_cast<size_t>(wav.rate / 2);
    ASSERT_LE(from + count, wav.left.size());
    double sum = 0;
    int crossings = 0;
    for (size_t i = from; i < from + count; ++i) {
        sum += double(wav.left[i]) * wav.left[i];
        if ((wav.left[i - 1] < 0) != (wav.left[i] < 0)) ++crossings;
    }
    const double rms = std::sqrt(sum / count);
    // The fixture's left channel is a 441 Hz sine at half scale (RMS 0.354).
    EXPECT_NEAR(rms, 0.354 * 0.24, 0.02);
    EXPECT_NEAR(crossings / 2.0 / 0.5, 441, 10);
    std::remove(wavPath.c_str());
    std::remove(confPath.c_str());
}

}  // namespace
}  // namespace hc
