// The OpenAL output end to end: OpenAL Soft's wave writer stands in for a sound card,
// and what it wrote is read back and measured.
#include <gtest/gtest.h>

#include <cmath>
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

// The left channel of a WAV file of 32-bit floats or 16-bit integers (plain or
// extensible), and its rate.
std::vector<float> readWavLeft(const std::string& path, int& rate) {
    std::ifstream in(path, std::ios::binary);
    const std::string d{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const size_t fmt = d.find("fmt "), data = d.find("data");
    if (fmt == std::string::npos || data == std::string::npos || data < fmt) return {};
    auto le = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(d[at + static_cast<size_t>(i)]);
        return v;
    };
    const uint32_t channels = le(fmt + 10, 2), bits = le(fmt + 22, 2);
    const uint32_t format = le(fmt + 8, 2) == 0xFFFE ? le(fmt + 32, 2) : le(fmt + 8, 2);
    const size_t frame = channels * bits / 8;
    rate = static_cast<int>(le(fmt + 12, 4));
    std::vector<float> left;
    for (size_t f = data + 8; frame > 0 && f + frame <= d.size(); f += frame) {
        float v = 0;
        if (format == 3 && bits == 32) std::memcpy(&v, &d[f], 4);
        if (format == 1 && bits == 16) v = static_cast<int16_t>(le(f, 2)) / 32768.0f;
        left.push_back(v);
    }
    return left;
}

TEST(AudioDevice, MusicReachesTheDeviceAtItsPitchAndGain) {
    const std::string wavPath = testing::TempDir() + "hc_audio_device.wav";
    const std::string confPath = testing::TempDir() + "hc_audio_device.conf";
    std::remove(wavPath.c_str());
    std::ofstream(confPath) << "[general]\ndrivers = wave\n[wave]\nfile = " << wavPath << "\n";
    setenv("ALSOFT_CONF", confPath.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");

    std::string console;
    setConsoleSink([&](std::string_view s) { console += s; });
    static AudioEngine engine;
    initAudio(engine);
    openTrackFile(engine, 1, std::string(HC_SOURCE_DIR) + "/tools/musicgen/fixtures/tone_44k_stereo.ogg");
    setMasterLevel(engine, 1.0f);  // music at 0.24
    // The writer runs in real time; keep the queues fed for about 1.2 s of sound.
    for (const double start = clockSeconds(); clockSeconds() - start < 1.2;) {
        updateAudio(engine);
        sleepMilliseconds(5);
    }
    shutdownAudio(engine);
    setConsoleSink(nullptr);
    EXPECT_EQ(console, "Audio: initializing engine\n");  // a device, not the silent output

    int rate = 0;
    const std::vector<float> left = readWavLeft(wavPath, rate);
    ASSERT_GT(rate, 0);
    ASSERT_GT(left.size(), static_cast<size_t>(rate)) << "less than a second recorded";
    // Half a second of steady music after the start-up.
    const size_t from = left.size() / 3, count = static_cast<size_t>(rate / 2);
    double sum = 0;
    int crossings = 0;
    for (size_t i = from; i < from + count; ++i) {
        sum += double(left[i]) * left[i];
        crossings += (left[i - 1] < 0) != (left[i] < 0);
    }
    // The fixture's left channel is a 441 Hz sine at half scale (RMS 0.354).
    EXPECT_NEAR(std::sqrt(sum / count), 0.354 * 0.24, 0.02);
    EXPECT_NEAR(crossings, 441, 10);
    std::remove(wavPath.c_str());
    std::remove(confPath.c_str());
}

}  // namespace
}  // namespace hc
