// Music decoding and the music channel: looping, conversion of other formats, and
// broken, empty and missing files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio_test_output.h"
#include "core/system.h"
#include "platform/audio.h"
#include "platform/audio_stream.h"

namespace hc {
namespace {

using test::RecordingOutput;
using test::sampleAt;

const std::string Fixtures = std::string(HC_SOURCE_DIR) + "/tools/musicgen/fixtures/";

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string writeTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Decodes `buffers` whole buffers; returns left and right channels.
struct Decoded {
    std::vector<int16_t> left, right;
};
bool decode(AudioStream& s, int buffers, Decoded& d) {
    std::vector<uint8_t> buf(AudioBufferBytes);
    for (int b = 0; b < buffers; ++b) {
        if (!readStreamBuffer(s, buf.data(), AudioBufferBytes)) return false;
        for (int f = 0; f < MusicFramesPerBuffer; ++f) {
            d.left.push_back(sampleAt(buf.data(), 2 * f));
            d.right.push_back(sampleAt(buf.data(), 2 * f + 1));
        }
    }
    return true;
}

double crossingsPerSecond(const std::vector<int16_t>& s) {
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) ++n;
    return n / 2.0 / (s.size() / 44100.0);  // zero crossings -> Hz
}

double rmsOf(const std::vector<int16_t>& s) {
    double sum = 0;
    for (int16_t v : s) sum += double(v) * v;
    return std::sqrt(sum / s.size()) / 32768.0;
}

class MusicChannel : public testing::Test {
protected:
    void SetUp() override {
        setConsoleSink([this](std::string_view s) { console += s; });
        initAudio(engine, out);
    }
    void TearDown() override {
        shutdownAudio(engine);
        setConsoleSink(nullptr);
    }
    AudioChannel& music() { return engine.channels[hc::MusicChannel]; }
    std::string console;
    RecordingOutput out;
    AudioEngine engine;
};

TEST(MusicStream, ATrackShorterThanABufferFillsEveryBufferByRepeating) {
    AudioStream* s = openAudioStream(Fixtures + "short_44k_stereo.ogg");
    ASSERT_NE(s, nullptr);
    Decoded d;
    ASSERT_TRUE(decode(*s, 3, d));
    // 1000 frames long: every buffer is full and frame k + 1000 repeats frame k.
    size_t repeats = 0;
    for (size_t k = 0; k + 1000 < d.left.size(); ++k) {
        ASSERT_EQ(d.left[k], d.left[k + 1000]) << k;
        ASSERT_EQ(d.right[k], d.right[k + 1000]) << k;
        ++repeats;
    }
    EXPECT_EQ(repeats, 3u * MusicFramesPerBuffer - 1000);
    EXPECT_GT(rmsOf(d.left), 0.2);
    closeAudioStream(s);
}

TEST(MusicStream, StereoAt44100IsPassedThroughAtItsOwnPitch) {
    AudioStream* s = openAudioStream(Fixtures + "tone_44k_stereo.ogg");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(streamFileRate(*s), 44100);
    EXPECT_EQ(streamFileChannels(*s), 2);
    EXPECT_NEAR(streamSeconds(*s), 0.5, 0.001);
    Decoded d;
    ASSERT_TRUE(decode(*s, 6, d));
    EXPECT_NEAR(crossingsPerSecond(d.left), 441, 5);
    EXPECT_NEAR(crossingsPerSecond(d.right), 882, 8);
    closeAudioStream(s);
}

TEST(MusicStream, OtherRatesAndChannelCountsAreConvertedToPlayAtTheRightPitch) {
    // 48 kHz mono, 1000 Hz: the same 1000 Hz on both sides at 44.1 kHz.
    AudioStream* mono = openAudioStream(Fixtures + "tone_48k_mono.ogg");
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(streamFileRate(*mono), 48000);
    EXPECT_EQ(streamFileChannels(*mono), 1);
    Decoded d;
    ASSERT_TRUE(decode(*mono, 14, d));  // about a second
    EXPECT_NEAR(crossingsPerSecond(d.left), 1000, 10);
    EXPECT_EQ(d.left, d.right);
    EXPECT_NEAR(rmsOf(d.left), 0.35, 0.03);
    closeAudioStream(mono);

    // 22.05 kHz stereo, 1000 Hz left and 2000 Hz right.
    AudioStream* low = openAudioStream(Fixtures + "tone_22k_stereo.ogg");
    ASSERT_NE(low, nullptr);
    Decoded e;
    ASSERT_TRUE(decode(*low, 14, e));
    EXPECT_NEAR(crossingsPerSecond(e.left), 1000, 10);
    EXPECT_NEAR(crossingsPerSecond(e.right), 2000, 20);
    closeAudioStream(low);

    // Six channels are mixed down to two, both sounding.
    AudioStream* six = openAudioStream(Fixtures + "tone_44k_6ch.ogg");
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(streamFileChannels(*six), 6);
    Decoded f;
    ASSERT_TRUE(decode(*six, 4, f));
    EXPECT_GT(rmsOf(f.left), 0.2);
    EXPECT_GT(rmsOf(f.right), 0.2);
    EXPECT_NE(f.left, f.right);
    closeAudioStream(six);
}

TEST(MusicStream, BrokenInputIsRefusedOrReportedNeverLoopedForever) {
    const std::vector<uint8_t> good = readBytes(Fixtures + "tone_44k_stereo.ogg");
    ASSERT_GT(good.size(), 4000u);
    // Not an Ogg file, nothing at all, or cut inside the headers: cannot be opened.
    const std::string text = "this is not an ogg vorbis file, just words in a box";
    std::vector<uint8_t> words(text.begin(), text.end());
    EXPECT_EQ(openAudioStreamFromMemory(words.data(), words.size()), nullptr);
    EXPECT_EQ(openAudioStreamFromMemory(good.data(), 0), nullptr);
    EXPECT_EQ(openAudioStreamFromMemory(nullptr, 10), nullptr);
    EXPECT_EQ(openAudioStreamFromMemory(good.data(), 300), nullptr);

    // Headers but no sound: the read gives up instead of rewinding forever.
    const std::vector<uint8_t> empty = readBytes(Fixtures + "empty.ogg");
    AudioStream* s = openAudioStreamFromMemory(empty.data(), empty.size());
    ASSERT_NE(s, nullptr);
    std::vector<uint8_t> buf(AudioBufferBytes);
    EXPECT_FALSE(readStreamBuffer(*s, buf.data(), AudioBufferBytes));
    EXPECT_FALSE(readStreamBuffer(*s, buf.data(), AudioBufferBytes));
    closeAudioStream(s);

    // Cut in the middle of the sound: what is there plays, looping.
    const std::vector<uint8_t> longer = readBytes(Fixtures + "noisy_44k_stereo.ogg");
    ASSERT_GT(longer.size(), 12000u);
    std::vector<uint8_t> cut(longer.begin(), longer.begin() + static_cast<long>(longer.size() * 3 / 5));
    s = openAudioStreamFromMemory(cut.data(), cut.size());
    ASSERT_NE(s, nullptr);
    Decoded d;
    EXPECT_TRUE(decode(*s, 12, d));
    EXPECT_GT(rmsOf(d.left), 0.2);
    closeAudioStream(s);

    // Garbage written over the sound pages: either refused along the way or played,
    // and always within a bounded number of steps.
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        std::vector<uint8_t> bad = good;
        uint32_t x = seed * 2654435761u;
        for (size_t i = 4200; i < bad.size(); i += 1 + x % 97) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            bad[i] = static_cast<uint8_t>(x);
        }
        s = openAudioStreamFromMemory(bad.data(), bad.size());
        if (s == nullptr) continue;
        for (int b = 0; b < 8; ++b)
            if (!readStreamBuffer(*s, buf.data(), AudioBufferBytes)) break;
        closeAudioStream(s);
    }
}

TEST_F(MusicChannel, AMissingOrUnreadableTrackTurnsTheMusicOffWithAMessage) {
    const std::string missing = testing::TempDir() + "no_such_track.ogg";
    openTrackFile(engine, 3, missing);
    EXPECT_EQ(console, "Could not open stream " + missing + "\n");
    EXPECT_EQ(music().enabled, 0);
    EXPECT_EQ(music().trackNumber, 3);
    EXPECT_EQ(music().stream, nullptr);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 0);

    console.clear();
    const std::string text = "RIFF....WAVEfmt not what it claims";
    std::string junk = writeTemp("junk.ogg", std::vector<uint8_t>(text.begin(), text.end()));
    music().enabled = -1;
    openTrackFile(engine, 2, junk);
    EXPECT_EQ(console, "Could not open stream " + junk + "\n");
    EXPECT_EQ(music().enabled, 0);

    // The music switch turned on again: the track is tried once more and reported.
    console.clear();
    music().trackNumber = 99;
    music().enabled = -1;
    updateAudio(engine);
    EXPECT_EQ(console, "Could not open stream ../data/audio/track99.ogg\n");
    EXPECT_EQ(music().enabled, 0);
}

TEST_F(MusicChannel, AnEmptyTrackStopsWithAStreamError) {
    openTrackFile(engine, 1, Fixtures + "empty.ogg");
    EXPECT_EQ(console, "");
    updateAudio(engine);
    EXPECT_EQ(console, "Audio: stream error\n");
    EXPECT_EQ(music().enabled, 0);
    EXPECT_EQ(out.uploads, 0);
    EXPECT_TRUE(out.sources[music().source].queue.empty());
    updateAudio(engine);
    EXPECT_EQ(console, "Audio: stream error\n");
}

TEST_F(MusicChannel, StreamsStereoAndFollowsTheMusicSwitch) {
    openTrackFile(engine, 2, Fixtures + "tone_44k_stereo.ogg");
    updateAudio(engine);
    const auto& src = out.sources[music().source];
    EXPECT_EQ(src.queue.size(), 2u);
    EXPECT_TRUE(src.playing);
    EXPECT_EQ(out.bufferFormat[music().buffers[0]], SampleFormatStereo16);
    // Music off: a new track is still opened, nothing is refilled.
    music().enabled = 0;
    openTrackFile(engine, 3, Fixtures + "short_44k_stereo.ogg");
    EXPECT_NE(music().stream, nullptr);
    EXPECT_EQ(music().enabled, 0);
    out.finish(music().source, 2);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 2);
    // On again: both buffers come from the new track and play.
    music().enabled = -1;
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 4);
    EXPECT_TRUE(out.sources[music().source].playing);
    const auto& data = out.bufferData[music().buffers[0]];
    EXPECT_EQ(sampleAt(data.data(), 0), sampleAt(data.data(), 2000));  // 1000-frame loop
}

// The game's own tracks, when the data has been built.
TEST(GameMusic, TracksAreLongLoudEnoughStereoAt44100AndLoopCleanly) {
    double levels[5] = {};
    for (int n = 1; n <= 4; ++n) {
        std::string path = std::string(HC_DATA_DIR) + "/audio/track" + std::to_string(n) + ".ogg";
        if (!std::ifstream(path)) GTEST_SKIP() << "music not built: " << path;
        AudioStream* s = openAudioStream(path);
        ASSERT_NE(s, nullptr) << path;
        EXPECT_EQ(streamFileRate(*s), 44100);
        EXPECT_EQ(streamFileChannels(*s), 2);
        const double seconds = streamSeconds(*s);
        EXPECT_GE(seconds, 60.0) << path;
        // Decode one whole pass plus a little: the seam lies inside.
        const size_t frames = static_cast<size_t>(std::llround(seconds * 44100));
        Decoded d;
        ASSERT_TRUE(decode(*s, static_cast<int>(frames / MusicFramesPerBuffer) + 2, d));
        int peak = 0;
        double sum = 0;
        for (size_t i = 0; i < frames; ++i) {
            peak = std::max({peak, std::abs(int(d.left[i])), std::abs(int(d.right[i]))});
            sum += double(d.left[i]) * d.left[i] + double(d.right[i]) * d.right[i];
        }
        levels[n] = 20 * std::log10(std::sqrt(sum / (2.0 * frames)) / 32768.0);
        EXPECT_LT(peak, 32000) << path;  // below full scale
        // At the loop point the wave jumps no more than it moves just before and after
        // it: a click would stand out far above its neighbours.
        for (const std::vector<int16_t>* side : {&d.left, &d.right}) {
            const auto& x = *side;
            int local = 0;
            for (size_t i = frames - 200; i < frames + 200; ++i)
                if (i != frames) local = std::max(local, std::abs(x[i] - x[i - 1]));
            EXPECT_LE(std::abs(x[frames] - x[frames - 1]), std::max(2 * local, 200)) << path;
        }
        closeAudioStream(s);
    }
    for (int n = 1; n <= 4; ++n) {
        EXPECT_GT(levels[n], -20.0) << n;
        EXPECT_LT(levels[n], -12.0) << n;
        EXPECT_NEAR(levels[n], levels[1], 2.0) << n;  // similar loudness
    }
}

}  // namespace
}  // namespace hc
