// The synthesised channels and the engine's bookkeeping, without a sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "audio_test_output.h"
#include "core/random.h"
#include "core/system.h"
#include "core/tables.h"
#include "platform/audio.h"

namespace hc {
namespace {

using test::RecordingOutput;
using test::sampleAt;

std::vector<int16_t> samplesOf(const AudioChannel& ch) {
    std::vector<int16_t> out(SynthSamplesPerBuffer);
    for (size_t i = 0; i < out.size(); ++i) out[i] = sampleAt(ch.sampleBuffer, i);
    return out;
}

int zeroCrossings(const std::vector<int16_t>& s) {
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) ++n;
    return n;
}

int peakOf(const std::vector<int16_t>& s) {
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

AudioChannel toneChannel(int32_t shape, double base) {
    AudioChannel ch;
    ch.kind = ChannelKindTone;
    ch.waveShape = shape;
    ch.amplitude = SynthAmplitude;
    ch.oscillators[1].frequency = base;
    return ch;
}

TEST(Oscillator, StepsByFrequencyAndReadsTheSineTable) {
    Oscillator osc{441, 0};  // 36 tenths of a degree per sample
    EXPECT_FLOAT_EQ(oscillatorStep(osc), SinTable[36]);
    EXPECT_DOUBLE_EQ(osc.phase, 36.0);
    osc.phase = 3590;
    EXPECT_FLOAT_EQ(oscillatorStep(osc), SinTable[26]);
    EXPECT_NEAR(osc.phase, 26.0, 1e-9);

    // Half a tenth per sample: the index rounds halves to even.
    Oscillator half{6.125, 0};
    EXPECT_FLOAT_EQ(oscillatorStep(half), SinTable[0]);
    EXPECT_FLOAT_EQ(oscillatorStep(half), SinTable[1]);
    EXPECT_FLOAT_EQ(oscillatorStep(half), SinTable[2]);
}

TEST(Oscillator, FortyKilohertzWrapsOnAlmostEverySample) {
    Oscillator osc{40000, 0};
    const double advance = 40000.0 * 3600 / 44100;
    EXPECT_FLOAT_EQ(oscillatorStep(osc), SinTable[3265]);
    EXPECT_NEAR(osc.phase, advance, 1e-9);
    EXPECT_FLOAT_EQ(oscillatorStep(osc), SinTable[2931]);
    EXPECT_NEAR(osc.phase, 2 * advance - 3600, 1e-9);
    int wraps = 0;
    double last = osc.phase;
    for (int i = 0; i < 1000; ++i) {
        oscillatorStep(osc);
        ASSERT_GE(osc.phase, 0.0);
        ASSERT_LT(osc.phase, 3600.0);
        if (osc.phase < last) ++wraps;
        last = osc.phase;
    }
    EXPECT_GT(wraps, 900);
}

TEST(Oscillator, OutOfRangeFrequenciesKeepThePhaseInTheTable) {
    for (double f : {-441.0, 1e12, -1e15, std::nan(""), HUGE_VAL}) {
        Oscillator osc{f, 100};
        for (int i = 0; i < 50; ++i) {
            float v = oscillatorStep(osc);
            ASSERT_GE(osc.phase, 0.0) << f;
            ASSERT_LT(osc.phase, 3600.0) << f;
            ASSERT_LE(std::fabs(v), 1.0f);
        }
    }
}

TEST(ToneChannel, HalfWaveAndFullWaveModulateBetweenAQuarterAndAHalfOfTheBase) {
    // Oscillator 2 held at its trough (0 Hz, phase 2700): m = -1.
    AudioChannel half = toneChannel(WaveShapeHalf, 1600);
    half.oscillators[2].phase = 2700;
    ASSERT_TRUE(fillBuffer(half));
    AudioChannel full = toneChannel(WaveShapeFull, 1600);
    full.oscillators[2].phase = 2700;
    ASSERT_TRUE(fillBuffer(full));
    // Half-wave drops the negative m: a quarter of the base, 400 Hz. Full-wave folds
    // it up: half the base, 800 Hz. Two zero crossings per period.
    const double seconds = SynthSamplesPerBuffer / 44100.0;
    EXPECT_NEAR(zeroCrossings(samplesOf(half)), 2 * 400 * seconds, 3);
    EXPECT_NEAR(zeroCrossings(samplesOf(full)), 2 * 800 * seconds, 3);
    // The base frequency the car set is back for the next fill.
    EXPECT_DOUBLE_EQ(half.oscillators[1].frequency, 1600);
    EXPECT_DOUBLE_EQ(full.oscillators[1].frequency, 1600);

    // With oscillator 2 at its crest both shapes give m = 1 and the same half base.
    AudioChannel crest = toneChannel(WaveShapeHalf, 1600);
    crest.oscillators[2].phase = 900;
    fillBuffer(crest);
    EXPECT_NEAR(zeroCrossings(samplesOf(crest)), 2 * 800 * seconds, 3);
}

TEST(ToneChannel, ModulatedFrequencySweepsAndIsRestoredAfterTheFill) {
    AudioChannel ch = toneChannel(WaveShapeHalf, 2000);
    ch.oscillators[2].frequency = 2500;
    fillBuffer(ch);
    int crossings = zeroCrossings(samplesOf(ch));
    const double seconds = SynthSamplesPerBuffer / 44100.0;
    EXPECT_GT(crossings, 2 * 500 * seconds);
    EXPECT_LT(crossings, 2 * 1000 * seconds);
    EXPECT_DOUBLE_EQ(ch.oscillators[1].frequency, 2000);
    // The oscillators go on where they stopped: after a second buffer oscillator 2 has
    // advanced twice as far (a reset would leave it where the first buffer did).
    const double once = ch.oscillators[2].phase;
    fillBuffer(ch);
    EXPECT_NEAR(ch.oscillators[2].phase, std::fmod(2 * once, 3600.0), 0.01);
    EXPECT_NE(ch.oscillators[2].phase, once);
    EXPECT_DOUBLE_EQ(ch.oscillators[1].frequency, 2000);
}

TEST(ToneChannel, AmplitudeModulationRunsFromFourTenthsToFull) {
    struct Case {
        double phase3;
        double factor;
    };
    for (Case c : {Case{0, 0.7}, Case{900, 1.0}, Case{2700, 0.4}}) {
        AudioChannel ch = toneChannel(WaveShapeFull, 1000);
        ch.oscillators[2].phase = 900;
        ch.oscillators[3].phase = c.phase3;  // 0 Hz: the factor stays put
        fillBuffer(ch);
        EXPECT_NEAR(peakOf(samplesOf(ch)), SynthAmplitude * c.factor, 40) << c.phase3;
    }
    // At 18 Hz the level swells and falls within the buffer.
    AudioChannel ch = toneChannel(WaveShapeFull, 1000);
    ch.oscillators[2].phase = 900;
    ch.oscillators[3].frequency = 18;
    fillBuffer(ch);
    auto s = samplesOf(ch);
    std::vector<int16_t> first(s.begin(), s.begin() + 600), trough(s.begin() + 1700, s.begin() + 2000);
    EXPECT_GT(peakOf(first), 0.9 * SynthAmplitude);   // near the crest of the 18 Hz wave
    EXPECT_LT(peakOf(trough), 0.45 * SynthAmplitude);  // around the trough, 3/4 period in
}

TEST(NoiseChannel, AddsQuarterScaleNoiseOnTopOfTheTone) {
    seedRandom(7);
    AudioChannel ch;
    ch.kind = ChannelKindNoise;
    ch.amplitude = SynthAmplitude;
    fillBuffer(ch);  // oscillator 1 at 0 Hz: only the noise term, times 0.7
    auto s = samplesOf(ch);
    const int top = static_cast<int>(std::lround(16380 * 0.25 * 0.7));
    double mean = 0;
    for (int16_t v : s) {
        ASSERT_GE(v, 0);
        ASSERT_LE(v, top);
        mean += v;
    }
    mean /= s.size();
    EXPECT_NEAR(mean, top / 2.0, 100);
    std::sort(s.begin(), s.end());
    EXPECT_GT(std::unique(s.begin(), s.end()) - s.begin(), 1000);

    ch.oscillators[1].frequency = 882;
    fillBuffer(ch);
    auto tone = samplesOf(ch);
    EXPECT_NEAR(*std::max_element(tone.begin(), tone.end()), 16380 * 1.25 * 0.7, 600);
    EXPECT_NEAR(*std::min_element(tone.begin(), tone.end()), -16380 * 0.7, 600);
    EXPECT_DOUBLE_EQ(ch.oscillators[1].frequency, 882);
}

TEST(AudioEngine, InitialisesTheFourChannels) {
    RecordingOutput out;
    AudioEngine engine;
    initAudio(engine, out);
    const AudioChannel* ch = engine.channels;
    EXPECT_EQ(ch[1].kind, ChannelKindStream);
    EXPECT_EQ(ch[1].enabled, -1);
    EXPECT_EQ(ch[2].kind, ChannelKindTone);
    EXPECT_EQ(ch[2].waveShape, WaveShapeHalf);
    EXPECT_EQ(ch[3].kind, ChannelKindTone);
    EXPECT_EQ(ch[3].waveShape, WaveShapeFull);
    EXPECT_EQ(ch[4].kind, ChannelKindNoise);
    EXPECT_DOUBLE_EQ(ch[3].oscillators[1].frequency, 1100);
    EXPECT_DOUBLE_EQ(ch[3].oscillators[2].frequency, 40000);
    EXPECT_DOUBLE_EQ(ch[3].oscillators[3].frequency, 18);
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(ch[i].enabled, 0);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(ch[i].amplitude, 32760);
        EXPECT_EQ(ch[i].sampleFormat, SampleFormatMono16);
        EXPECT_EQ(ch[i].gain, 0.0f);
        EXPECT_FLOAT_EQ(out.sources[ch[i].source].gain, 0.3f);
    }
    EXPECT_NE(ch[1].source, ch[2].source);
    shutdownAudio(engine);
    EXPECT_TRUE(out.sources.empty());
    EXPECT_EQ(engine.channels[1].stream, nullptr);
}

TEST(AudioEngine, ChannelGainsAndMasterLevel) {
    RecordingOutput out;
    AudioEngine engine;
    initAudio(engine, out);
    AudioChannel& music = engine.channels[MusicChannel];
    AudioChannel& skid = engine.channels[SkidChannel];
    setChannelGain(music, 1.2f);
    EXPECT_FLOAT_EQ(music.gain, 0.24f);
    EXPECT_FLOAT_EQ(out.sources[music.source].gain, 0.24f);
    setChannelGain(skid, 1.2f);
    EXPECT_FLOAT_EQ(skid.gain, 1.2f);
    for (AudioChannel* ch : {&music, &skid}) {
        setChannelGain(*ch, -0.5f);
        EXPECT_EQ(ch->gain, 0.0f);
        EXPECT_EQ(out.sources[ch->source].gain, 0.0f);
        setChannelGain(*ch, std::nanf(""));
        EXPECT_EQ(ch->gain, 0.0f);
    }
    setMasterLevel(engine, 0.5f);
    EXPECT_FLOAT_EQ(music.gain, 0.12f);
    for (int i = 2; i <= 4; ++i) EXPECT_FLOAT_EQ(engine.channels[i].gain, 0.6f);
    setMasterLevel(engine, 0.0f);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(engine.channels[i].gain, 0.0f);

    // A channel that was never set up (no output yet) only stores its gain.
    AudioChannel bare;
    setChannelGain(bare, 0.25f);
    EXPECT_FLOAT_EQ(bare.gain, 0.25f);
    shutdownAudio(engine);
}

TEST(AudioEngine, RefillsOnlyEnabledChannelsAndOnlyFinishedBuffers) {
    RecordingOutput out;
    AudioEngine engine;
    initAudio(engine, out);
    engine.channels[MusicChannel].enabled = 0;
    AudioChannel& eng = engine.channels[EngineChannel];
    eng.enabled = -1;
    eng.oscillators[1].frequency = 200;
    updateAudio(engine);
    auto& src = out.sources[eng.source];
    EXPECT_EQ(src.queue.size(), 2u);
    EXPECT_TRUE(src.playing);
    EXPECT_EQ(out.uploads, 2);
    EXPECT_EQ(out.bufferFormat[eng.buffers[0]], SampleFormatMono16);
    EXPECT_TRUE(out.sources[engine.channels[SkidChannel].source].queue.empty());

    updateAudio(engine);  // nothing played yet: nothing to do
    EXPECT_EQ(out.uploads, 2);
    out.finish(eng.source, 1);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 3);
    EXPECT_EQ(src.queue.size(), 2u);
    EXPECT_EQ(src.queue.back(), eng.buffers[0]);  // the first buffer went round again
    // Ran dry: both refilled and the source restarted.
    out.finish(eng.source, 2);
    EXPECT_FALSE(src.playing);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 5);
    EXPECT_TRUE(src.playing);
    EXPECT_EQ(src.plays, 2);
    // Disabled: no more refills, the queue simply plays out.
    eng.enabled = 0;
    out.finish(eng.source, 2);
    updateAudio(engine);
    EXPECT_EQ(out.uploads, 5);
    shutdownAudio(engine);
}

TEST(AudioEngine, NextTrackWrapsFromFourToOne) {
    std::string console;
    setConsoleSink([&](std::string_view s) { console += s; });
    RecordingOutput out;
    AudioEngine engine;
    initAudio(engine, out);
    engine.channels[MusicChannel].trackNumber = 4;
    nextTrack(engine);
    EXPECT_EQ(engine.channels[MusicChannel].trackNumber, 1);
    nextTrack(engine);
    EXPECT_EQ(engine.channels[MusicChannel].trackNumber, 2);
    engine.channels[MusicChannel].trackNumber = 0;  // nothing opened yet
    nextTrack(engine);
    EXPECT_EQ(engine.channels[MusicChannel].trackNumber, 1);
    // Whatever the data folder holds, only track files 1 and 2 were asked for.
    EXPECT_EQ(console.find("track3"), std::string::npos);
    EXPECT_EQ(musicTrackPath(3), "../data/audio/track3.ogg");
    shutdownAudio(engine);
    setConsoleSink(nullptr);
}

TEST(AudioEngine, OpenTrackIgnoresANonStreamChannelOne) {
    AudioEngine engine;  // never initialised: channel 1 has no kind
    openTrack(engine, 2);
    EXPECT_EQ(engine.channels[MusicChannel].trackNumber, 0);
    EXPECT_EQ(engine.channels[MusicChannel].stream, nullptr);
    updateAudio(engine);  // no output: harmless
}

TEST(AudioEngine, SilentOutputLogsTheStartAndPlaysNothingHarmlessly) {
    std::string console;
    setConsoleSink([&](std::string_view s) { console += s; });
    chooseAudioOutput(AudioOutputChoice::Silent);
    AudioEngine engine;
    initAudio(engine);
    EXPECT_EQ(console, "Audio: initializing engine\n");
    engine.channels[EngineChannel].enabled = -1;
    engine.channels[TurboChannel].enabled = -1;
    for (int i = 0; i < 5; ++i) updateAudio(engine);
    setMasterLevel(engine, 1.0f);
    EXPECT_FLOAT_EQ(engine.channels[EngineChannel].gain, 1.2f);
    shutdownAudio(engine);
    shutdownAudio(engine);  // twice is harmless
    chooseAudioOutput(AudioOutputChoice::Device);
    setConsoleSink(nullptr);
}

}  // namespace
}  // namespace hc
