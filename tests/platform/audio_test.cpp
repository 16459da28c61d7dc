// The audio engine on stand-in queues (synthesis, gains, refills, music streaming from
// good and bad files), then end to end with OpenAL Soft's wave writer as the sound card.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include "core/random.h"
#include "core/system.h"
#include "core/tables.h"
#include "platform/audio.h"
#include "platform/audio_output.h"
#include "platform/audio_stream.h"

namespace hc {
namespace {
// Queues that behave like a device's; the test decides when buffers have played.
class RecordingOutput : public AudioOutput {
public:
    struct Source { std::deque<uint32_t> queue; int processed = 0, plays = 0; bool playing = false; float gain = -1; };
    std::map<uint32_t, Source> sources;
    std::map<uint32_t, std::vector<uint8_t>> bufferData;
    std::map<uint32_t, int32_t> bufferFormat;
    int uploads = 0;

    bool start() override { return true; }
    void stop() override {}
    void createChannel(uint32_t buffers[2], uint32_t& source) override { buffers[0] = next_++, buffers[1] = next_++, sources[source = next_++]; }
    void releaseChannel(uint32_t*, uint32_t source) override { sources.erase(source); }
    int queuedBuffers(uint32_t source) override { return static_cast<int>(sources[source].queue.size()); }
    int processedBuffers(uint32_t source) override { return sources[source].processed; }
    uint32_t unqueueBuffer(uint32_t source) override { const uint32_t b = sources[source].queue.front(); sources[source].queue.pop_front(), --sources[source].processed; return b; }
    void fillDeviceBuffer(uint32_t buffer, int32_t format, const uint8_t* data, int bytes, int) override {
        bufferData[buffer].assign(data, data + bytes), bufferFormat[buffer] = format, ++uploads;
    }
    void queueBuffer(uint32_t source, uint32_t buffer) override { sources[source].queue.push_back(buffer); }
    bool isPlaying(uint32_t source) override { return sources[source].playing; }
    void play(uint32_t source) override { sources[source].playing = true, ++sources[source].plays; }
    void halt(uint32_t source) override { sources[source].queue.clear(), sources[source].processed = 0, sources[source].playing = false; }
    void setGain(uint32_t source, float gain) override { sources[source].gain = gain; }
    // The device has played the oldest n queued buffers (all of them: it stops).
    void finish(uint32_t source, int n) { Source& s = sources[source]; s.processed = std::min(int(s.queue.size()), s.processed + n), s.playing &= s.processed < int(s.queue.size()); }
    uint32_t next_ = 100;
};

// 16-bit little-endian samples; their frequency at 44100 Hz (two zero crossings a period) and RMS.
std::vector<int16_t> samples(const uint8_t* bytes, size_t count, size_t first = 0, size_t stride = 1) {
    std::vector<int16_t> out;
    for (size_t i = first; i < count; i += stride) out.push_back(static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return out;
}
double hertz(const std::vector<int16_t>& s) { int n = 0; for (size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0); return n / 2.0 / (s.size() / 44100.0); }
double rmsOf(const std::vector<int16_t>& s) { double sum = 0; for (int16_t v : s) sum += double(v) * v; return std::sqrt(sum / s.size()) / 32768.0; }

TEST(Oscillator, StepsByFrequencyWrapsAndRoundsTheTableIndexHalfToEven) {
    const struct { double frequency, phase; std::vector<int> indices; } cases[] = {  // SinTable entries read by successive steps
        {441, 0, {36, 72}},           // 36 tenths of a degree a sample
        {441, 3590, {26}},            // past 3600 it wraps
        {6.125, 0, {0, 1, 2, 2, 2}},  // 0.5, 1.0, 1.5, 2.0, 2.5
        {40000, 0, {3265, 2931}},     // the skid's modulator wraps on almost every sample
    };
    for (const auto& c : cases) {
        Oscillator osc{c.frequency, c.phase};
        for (int index : c.indices) EXPECT_EQ(oscillatorStep(osc), SinTable[index]) << c.frequency;
    }
    for (double f : {-441.0, 1e12, -1e15, std::nan(""), HUGE_VAL}) {
        Oscillator osc{f, 100};
        for (int i = 0; i < 50; ++i) {
            ASSERT_LE(std::fabs(oscillatorStep(osc)), 1.0) << f;
            ASSERT_THAT(osc.phase, testing::AllOf(testing::Ge(0.0), testing::Lt(3600.0))) << f;
        }
    }
}

// The rule for one synthesised buffer, written out plainly, to compare sample by sample.
std::vector<int16_t> referenceFill(AudioChannel& ch) {
    auto step = [](Oscillator& o) -> double {
        o.phase += o.frequency * 3600 / 44100;
        while (o.phase >= 3600) o.phase -= 3600;
        return SinTable[static_cast<int>(std::nearbyint(o.phase))];
    };
    auto s16 = [](double v) { return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0)); };
    Oscillator* o = ch.oscillators;
    const double base = o[1].frequency;
    std::vector<int16_t> out;
    for (int i = 0; i < SynthSamplesPerBuffer; ++i) {
        const bool tone = ch.kind == ChannelKindTone;
        const double m = tone ? step(o[2]) : 0;
        if (tone) o[1].frequency = base / 2 * (0.5 * (ch.waveShape == WaveShapeHalf ? std::max(m, 0.0) : std::fabs(m)) + 0.5);
        const int16_t s = tone ? s16(step(o[1]) * ch.amplitude) : s16(ch.amplitude / 2.0 * (step(o[1]) + 0.25 * noiseRandom().next()));
        out.push_back(s16(s * (0.3 * step(o[3]) + 0.7)));
    }
    o[1].frequency = base;
    return out;
}

TEST(Synth, ToneAndNoiseBuffersFollowTheRuleSampleBySample) {
    const struct { int32_t kind, shape; double f1, f2, phase2, f3, phase3, hertz; } cases[] = {  // hertz by hand; 0 not checked
        // Modulator at its trough: the half wave drops it (base / 4), the full wave folds it up (base / 2).
        {ChannelKindTone, WaveShapeHalf, 1600, 0, 2700, 0, 0, 400},
        {ChannelKindTone, WaveShapeFull, 1600, 0, 2700, 0, 900, 800},  // level at its crest
        {ChannelKindTone, WaveShapeHalf, 2000, 2500, 0, 0, 2700, 0},   // level at 0.4
        {ChannelKindTone, WaveShapeFull, 1100, 40000, 0, 18, 0, 0},    // the skid
        {ChannelKindNoise, 0, 0, 0, 0, 0, 0, 0},                       // noise alone
        {ChannelKindNoise, 0, 882, 0, 0, 18, 0, 0},                    // the turbo
    };
    for (const auto& c : cases) {
        AudioChannel ch;
        ch.kind = c.kind, ch.waveShape = c.shape, ch.amplitude = SynthAmplitude, ch.oscillators[1].frequency = c.f1;
        ch.oscillators[2] = Oscillator{c.f2, c.phase2}, ch.oscillators[3] = Oscillator{c.f3, c.phase3};
        AudioChannel reference = ch;
        for (int fill = 0; fill < 2; ++fill) {  // the second goes on where the first stopped
            noiseRandom().seed(7 + fill);
            const std::vector<int16_t> expected = referenceFill(reference);
            noiseRandom().seed(7 + fill);
            ASSERT_TRUE(fillBuffer(ch));
            EXPECT_EQ(samples(ch.sampleBuffer, SynthSamplesPerBuffer), expected) << c.kind << " " << c.f1;
            EXPECT_DOUBLE_EQ(ch.oscillators[1].frequency, c.f1);  // the car's value again
        }
        EXPECT_TRUE(c.hertz == 0 || std::fabs(hertz(samples(ch.sampleBuffer, SynthSamplesPerBuffer)) - c.hertz) < c.hertz / 80) << c.f1;
    }
    // The game's own numbers stay where they were: a recorded shift replays from them.
    AudioChannel noise;
    noise.kind = ChannelKindNoise, noise.amplitude = SynthAmplitude, seedRandom(5);
    const RandomState before = randomState();
    ASSERT_TRUE(fillBuffer(noise));
    EXPECT_EQ(randomState(), before);
}

struct Engine : ::testing::Test {
    void SetUp() override { setConsoleSink([this](std::string_view s) { console += s; }), initAudio(engine, out); }
    void TearDown() override { shutdownAudio(engine), setConsoleSink(nullptr); }
    AudioChannel& channel(int i) { return engine.channels[i]; }
    std::string console;
    RecordingOutput out;
    AudioEngine engine;
    AudioChannel& music = engine.channels[MusicChannel];
};

TEST_F(Engine, SetsUpTheFourChannelsTheirGainsAndTheTrackRound) {
    // Kind, wave shape, enabled and the three oscillators' frequencies of channels 1..4.
    const std::vector<double> expected[] = {{ChannelKindStream, 0, -1, 0, 0, 0}, {ChannelKindTone, WaveShapeHalf, 0, 0, 0, 0},
                                            {ChannelKindTone, WaveShapeFull, 0, 1100, 40000, 18}, {ChannelKindNoise, 0, 0, 0, 0, 0}};
    for (int i = 1; i <= 4; ++i) {
        const AudioChannel& ch = channel(i);
        const Oscillator* o = ch.oscillators;
        const double shape = ch.kind == ChannelKindTone ? ch.waveShape : 0;
        EXPECT_EQ((std::vector<double>{double(ch.kind), shape, double(ch.enabled), o[1].frequency, o[2].frequency, o[3].frequency}), expected[i - 1]) << i;
        EXPECT_EQ(std::tuple(ch.amplitude, ch.gain, out.sources[ch.source].gain), std::tuple(32760, 0.0f, 0.3f)) << i;
    }
    // Gains: music at a fifth, nothing below 0 or not a number; the master level for all.
    const std::tuple<int, float, float> gains[] = {{MusicChannel, 1.2f, 0.24f}, {SkidChannel, 1.2f, 1.2f}, {MusicChannel, -0.5f, 0},
                                                   {SkidChannel, -0.5f, 0}, {SkidChannel, std::nanf(""), 0}};
    for (auto [c, set, stored] : gains) {
        setChannelGain(channel(c), set);
        EXPECT_EQ(std::tuple(bool(std::fabs(channel(c).gain - stored) < 1e-6f), bool(std::fabs(out.sources[channel(c).source].gain - stored) < 1e-6f)),
                  std::tuple(true, true)) << c << " " << set;
    }
    setMasterLevel(engine, 0.5f);
    for (int i = 1; i <= 4; ++i) EXPECT_FLOAT_EQ(channel(i).gain, i == MusicChannel ? 0.12f : 0.6f) << i;
    // The tracks go round from four to one.
    for (auto [from, to] : {std::pair{4, 1}, {3, 4}, {1, 2}, {0, 1}}) {
        music.trackNumber = static_cast<int8_t>(from);
        nextTrack(engine);
        EXPECT_EQ(music.trackNumber, to) << from;
    }
    EXPECT_EQ(std::tuple(console.find("track3"), musicTrackPath(3)), std::tuple(std::string::npos, "../data/audio/track3.ogg"));
    AudioEngine bare;  // a channel 1 that is not a stream channel is left alone
    openTrack(bare, 2);
    EXPECT_EQ(bare.channels[MusicChannel].trackNumber, 0);
    shutdownAudio(engine);
    EXPECT_TRUE(out.sources.empty());
}

TEST_F(Engine, RefillsOnlyEnabledChannelsAndOnlyFinishedBuffers) {
    music.enabled = 0;
    AudioChannel& eng = channel(EngineChannel);
    eng.enabled = -1, eng.oscillators[1].frequency = 200;
    auto& src = out.sources[eng.source];
    // How many buffers the device finished before each update, and the uploads after it.
    const std::pair<int, int> steps[] = {{0, 2},   // first use: both filled, queued and started
                                         {0, 2},   // nothing played yet: nothing to do
                                         {1, 3},   // one finished: that one goes round again
                                         {2, 5}};  // ran dry: both refilled, the source restarted
    for (auto [finished, uploads] : steps) {
        out.finish(eng.source, finished);
        updateAudio(engine);
        EXPECT_EQ(std::tuple(out.uploads, src.queue.size(), bool(src.playing)), std::tuple(uploads, 2u, true)) << uploads;
    }
    EXPECT_EQ(std::tuple(src.plays, out.bufferFormat[eng.buffers[0]], bool(out.sources[channel(SkidChannel).source].queue.empty())),
              std::tuple(2, SampleFormatMono16, true));
    eng.enabled = 0;  // off: the queue plays out, nothing is refilled
    out.finish(eng.source, 2);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 5);
}


const std::string Fixtures = std::string(HC_SOURCE_DIR) + "/tools/musicgen/fixtures/";

// The left and right samples of whole decoded buffers; empty when a read failed.
struct Decoded {
    std::vector<int16_t> left, right;
    Decoded(AudioStream* s, size_t buffers) {
        std::vector<uint8_t> buf(AudioBufferBytes);
        for (size_t b = 0; s && b < buffers && readStreamBuffer(*s, buf.data(), AudioBufferBytes); ++b) {
            for (int16_t v : samples(buf.data(), AudioBufferBytes / 2, 0, 2)) left.push_back(v);
            for (int16_t v : samples(buf.data(), AudioBufferBytes / 2, 1, 2)) right.push_back(v);
        }
    }
};

TEST(MusicStream, EveryFormatPlaysAt44100StereoAtItsOwnPitchAndShortTracksRepeat) {
    // Hz: 0 when not a plain tone. The short track of 1000 frames fills every buffer by
    // repeating; the six channels are mixed down to two, both sounding.
    const struct { const char* file; int rate, channels; size_t buffers; double left, right; } cases[] = {
        {"tone_44k_stereo.ogg", 44100, 2, 6, 441, 882}, {"tone_48k_mono.ogg", 48000, 1, 14, 1000, 1000},
        {"tone_22k_stereo.ogg", 22050, 2, 14, 1000, 2000}, {"tone_44k_6ch.ogg", 44100, 6, 4, 0, 0}, {"short_44k_stereo.ogg", 44100, 2, 3, 0, 0}};
    for (const auto& c : cases) {
        AudioStream* s = openAudioStream(Fixtures + c.file);
        ASSERT_NE(s, nullptr) << c.file;
        EXPECT_EQ(std::tuple(streamFileRate(*s), streamFileChannels(*s)), std::tuple(c.rate, c.channels)) << c.file;
        const bool loops = c.buffers == 3;
        EXPECT_EQ(std::fabs(streamSeconds(*s) - 1000 / 44100.0) < 1e-6, loops) << c.file;
        const Decoded d(s, c.buffers);
        closeAudioStream(s);
        ASSERT_EQ(d.left.size(), c.buffers * MusicFramesPerBuffer) << c.file;
        if (c.left) { EXPECT_EQ(std::tuple(std::fabs(hertz(d.left) - c.left) < c.left / 80, std::fabs(hertz(d.right) - c.right) < c.right / 80), std::tuple(true, true)) << c.file; }
        EXPECT_GT(std::min(rmsOf(d.left), rmsOf(d.right)), 0.2) << c.file;
        EXPECT_EQ(d.left == d.right, c.channels == 1) << c.file;
        EXPECT_EQ(std::equal(d.left.begin() + 1000, d.left.end(), d.left.begin()) && std::equal(d.right.begin() + 1000, d.right.end(), d.right.begin()),
                  loops) << c.file;
    }
}

TEST(MusicStream, BrokenInputIsRefusedOrPlaysWhatIsThere) {
    std::ifstream in(Fixtures + "noisy_44k_stereo.ogg", std::ios::binary);
    const std::vector<uint8_t> good{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(good.size(), 12000u);
    // Not an Ogg file, nothing at all, or cut inside the headers: cannot be opened.
    const std::string text = "this is not an ogg vorbis file, just words in a box";
    for (auto [data, size] : {std::pair{reinterpret_cast<const uint8_t*>(text.data()), text.size()}, {good.data(), size_t{0}}, {nullptr, size_t{10}}, {good.data(), size_t{300}}})
        EXPECT_EQ(openAudioStreamFromMemory(data, size), nullptr) << size;
    // Cut in the middle of the sound: what is there plays, looping.
    AudioStream* s = openAudioStreamFromMemory(good.data(), good.size() * 3 / 5);
    ASSERT_NE(s, nullptr);
    const Decoded d(s, 12);
    closeAudioStream(s);
    ASSERT_EQ(d.left.size(), 12u * MusicFramesPerBuffer);
    EXPECT_GT(rmsOf(d.left), 0.2);
}

long peakKilobytes() { rusage usage{}; return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0; }

// Tracks made to hurt: each is refused before the decoder sees it, at once and in
// bounded memory, with its reason; within the bounds a track still plays.
TEST(MusicStream, HostileTracksAreRefusedBeforeDecodingWithTheirReason) {
    std::ifstream in(Fixtures + "short_44k_stereo.ogg", std::ios::binary);
    const std::string good{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const size_t firstPage = 27 + uint8_t(good[26]) + uint8_t(good[27]);  // the identification header's page
    ASSERT_EQ(good.compare(firstPage, 4, "OggS"), 0);
    std::string endless = good.substr(0, firstPage);  // a packet that never ends, page after page
    for (int page = 0; page < 5; ++page)
        endless += std::string("OggS\0\1", 6) + std::string(20, '\0') + char(255) + std::string(255, char(255)) + std::string(255 * 255, 'c');
    auto repeat = [](const std::string& text, int n) { std::string out; while (n--) out += text; return out; };
    const std::string dir = testing::TempDir() + "hc_hostile_tracks/";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(std::filesystem::exists(dir + "fifo.ogg") || ::mkfifo((dir + "fifo.ogg").c_str(), 0600) == 0);
    const struct { const char* name; std::string bytes; uint64_t sparseTo; const char* reason; } cases[] = {
        {"sparse.ogg", good, 3ull << 30, "it is larger than 16777216 bytes"},
        {"padded.ogg", good, 16u << 20, nullptr},  // zeros after the last page are left out
        {"four.ogg", repeat(good, 4), 0, nullptr},
        {"five.ogg", repeat(good, 5), 0, "it is a chain of more than 4 streams"},
        {"thousands.ogg", repeat(good, 3000), 0, "it is a chain of more than 4 streams"},
        {"comment.ogg", endless, 0, "it holds a packet larger than 262144 bytes"},
        {"gap.ogg", good.substr(0, firstPage) + std::string(65537, 'z') + good.substr(firstPage), 0, "more than 65536 bytes between its pages"},  // a byte over
        {"fifo.ogg", "", 0, "it is not a regular file"},
        {"folder", "", 0, "it is not a regular file"},
    };
    std::filesystem::create_directories(dir + "folder");
    const long before = peakKilobytes();
    for (const auto& c : cases) {
        const std::string path = dir + c.name;
        if (!c.bytes.empty()) std::ofstream(path, std::ios::binary) << c.bytes;
        if (c.sparseTo) std::filesystem::resize_file(path, c.sparseTo);
        std::string reason;
        AudioStream* s = openAudioStream(path, &reason);
        if (c.reason == nullptr) {
            ASSERT_NE(s, nullptr) << c.name << ": " << reason;
            EXPECT_GT(Decoded(s, 3).left.size(), 0u) << c.name;
            closeAudioStream(s);
        } else {
            EXPECT_EQ(s, nullptr) << c.name;
            closeAudioStream(s);
            EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
        }
        if (!c.bytes.empty()) std::filesystem::remove(path);
    }
    EXPECT_LT(peakKilobytes() - before, 50 * 1024) << "kilobytes more at the peak";
}

TEST_F(Engine, AnEmptyMissingOrUnreadableTrackTurnsTheMusicOffWithAMessage) {
    const std::string missing = testing::TempDir() + "no_such_track.ogg", text = Fixtures + "../../../README.md";
    const std::pair<std::string, std::string> cases[] = {
        {Fixtures + "empty.ogg", "Audio: stream error"},  // opens, but never gives a sound
        {missing, "Could not open stream " + missing},
        {text, "Could not open stream " + text},
        {Fixtures, "Could not open stream " + Fixtures + ": it is not a regular file"},  // the reason follows the path
    };
    for (const auto& [path, line] : cases) {
        console.clear(), music.enabled = -1, openTrackFile(engine, 3, path);
        updateAudio(engine), updateAudio(engine);
        EXPECT_EQ(console, line + "\n");
        EXPECT_EQ(std::tuple(music.enabled, music.trackNumber, out.uploads, bool(out.sources[music.source].queue.empty())), std::tuple(0, 3, 0, true));
    }
    // The music switch turned on again: the track is tried once more and reported.
    console.clear(), music.trackNumber = 99, music.enabled = -1, updateAudio(engine);
    EXPECT_EQ(std::tuple(console, music.enabled), std::tuple("Could not open stream ../data/audio/track99.ogg\n", 0)) << console;
}

TEST_F(Engine, StreamsStereoAndFollowsTheMusicSwitch) {
    openTrackFile(engine, 2, Fixtures + "tone_44k_stereo.ogg"), updateAudio(engine);
    EXPECT_EQ(std::tuple(out.sources[music.source].queue.size(), bool(out.sources[music.source].playing), out.bufferFormat[music.buffers[0]]),
              std::tuple(2u, true, SampleFormatStereo16));
    music.enabled = 0;  // music off: a new track is still opened, nothing is refilled
    openTrackFile(engine, 3, Fixtures + "short_44k_stereo.ogg");
    EXPECT_EQ(std::tuple(bool(music.stream), music.enabled), std::tuple(true, 0));
    out.finish(music.source, 2), updateAudio(engine);
    EXPECT_EQ(out.uploads, 2);
    music.enabled = -1, updateAudio(engine);  // on again: both buffers come from the new track (a 1000-frame loop) and play
    EXPECT_EQ(std::tuple(out.uploads, bool(out.sources[music.source].playing)), std::tuple(4, true));
    const std::vector<int16_t> left = samples(out.bufferData[music.buffers[0]].data(), 4000, 0, 2);
    EXPECT_EQ(left[0], left[1000]);
}

// The game's own tracks as built: two to three minutes each, stereo at 44100 Hz, at one
// loudness with peaks below -1 dBFS, and looping without a step in the wave or in the level.
TEST(GameMusic, TracksLastMinutesAtOneLoudnessAndLoopUnheard) {
    for (int n = 1; n <= 4; ++n) {
        const std::string path = std::string(HC_DATA_DIR) + "/audio/track" + std::to_string(n) + ".ogg";
        ASSERT_TRUE(std::ifstream(path).good()) << "music not built (the musicgen tool makes it): " << path;
        AudioStream* s = openAudioStream(path);
        ASSERT_NE(s, nullptr) << path;
        EXPECT_EQ(std::tuple(streamFileRate(*s), streamFileChannels(*s)), std::tuple(44100, 2)) << path;
        EXPECT_THAT(streamSeconds(*s), testing::AllOf(testing::Ge(120.0), testing::Le(180.0))) << path << ": " << streamSeconds(*s) << " s";
        const size_t frames = static_cast<size_t>(std::llround(streamSeconds(*s) * 44100));
        const Decoded d(s, frames / MusicFramesPerBuffer + 2);  // past the end, round to the start
        closeAudioStream(s);
        ASSERT_GT(d.left.size(), frames + 882) << path;
        for (const std::vector<int16_t>* x : {&d.left, &d.right}) {
            const std::vector<int16_t> track(x->begin(), x->begin() + static_cast<long>(frames));
            const auto [low, high] = std::minmax_element(track.begin(), track.end());
            EXPECT_LT(std::max<int>(*high, -*low), 29204) << path;  // -1 dBFS
            EXPECT_NEAR(20 * std::log10(rmsOf(track)), -15.5, 1.0) << path;
            // The wave steps no further where the end meets the start than anywhere in the
            // 20 ms either side, and the last and first second are of like level.
            int nearby = 0;
            for (size_t i = frames - 882; i < frames + 882; ++i) nearby = i == frames ? nearby : std::max(nearby, std::abs((*x)[i] - (*x)[i - 1]));
            EXPECT_LE(std::abs((*x)[frames] - (*x)[frames - 1]), nearby) << path;
            const std::vector<int16_t> last(track.end() - 44100, track.end()), first(track.begin(), track.begin() + 44100);
            EXPECT_NEAR(20 * std::log10(rmsOf(last)), 20 * std::log10(rmsOf(first)), 3.0) << path;
        }
    }
}

TEST(AudioDevice, MusicReachesTheDeviceAtItsPitchAndGain) {
    const std::string wavPath = testing::TempDir() + "hc_audio_device.wav", confPath = testing::TempDir() + "hc_audio_device.conf";
    std::remove(wavPath.c_str()), std::ofstream(confPath) << "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\nsample-type = int16\n[wave]\nfile = " << wavPath << "\n";
    setenv("ALSOFT_CONF", confPath.c_str(), 1), unsetenv("ALSOFT_DRIVERS");
    std::string console;
    static AudioEngine engine;
    setConsoleSink([&](std::string_view s) { console += s; }), initAudio(engine);
    openTrackFile(engine, 1, Fixtures + "tone_44k_stereo.ogg"), setMasterLevel(engine, 1.0f);  // music at 0.24
    // The writer runs in real time, slower on a busy machine: keep the queues fed until it has written a second of
    // sound (or 30 s have gone by).
    const auto written = [&] { std::error_code e; const auto n = std::filesystem::file_size(wavPath, e); return e ? 0 : n; };
    for (const double start = clockSeconds(); written() < 44 + 44100 * 4 && clockSeconds() - start < 30; sleepMilliseconds(5)) updateAudio(engine);
    shutdownAudio(engine), setConsoleSink(nullptr);
    EXPECT_EQ(console, "Audio: initializing engine\n");  // a device, not the silent output
    std::ifstream in(wavPath, std::ios::binary);
    const std::string wav{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const size_t data = wav.find("data") + 8, frames = data > 8 ? (wav.size() - data) / 4 : 0;
    ASSERT_GT(frames, 44100u * 3 / 4) << "less than 0.75 s recorded";
    // Half a second of steady music after the start-up: the fixture's left channel is a
    // 441 Hz sine at half scale (RMS 0.354).
    const std::vector<int16_t> left = samples(reinterpret_cast<const uint8_t*>(wav.data() + data), 2 * (frames / 3 + 22050), 2 * (frames / 3), 2);
    EXPECT_NEAR(rmsOf(left), 0.354 * 0.24, 0.02);
    EXPECT_NEAR(hertz(left), 441, 20);
    std::remove(wavPath.c_str()), std::remove(confPath.c_str());
}

}  // namespace
}  // namespace hc
