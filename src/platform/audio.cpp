// The five-channel audio engine: music streaming, the synthesised car sounds and the
// assists' cues.
#include "platform/audio.h"

#include <algorithm>
#include <cmath>

#include "core/data_path.h"
#include "core/system.h"
#include "core/tables.h"
#include "platform/audio_output.h"
#include "platform/audio_stream.h"

namespace hc {

namespace {

AudioOutputChoice outputChoice = AudioOutputChoice::Device;

int16_t toSample(double v) {
    v = std::nearbyint(v);
    if (v > 32767.0) return 32767;
    if (v < -32768.0) return -32768;
    if (std::isnan(v)) return 0;
    return static_cast<int16_t>(v);
}

void storeSample(uint8_t* at, int16_t s) {
    auto v = static_cast<uint16_t>(s);
    at[0] = static_cast<uint8_t>(v & 0xFF);
    at[1] = static_cast<uint8_t>(v >> 8);
}

void setUpChannel(AudioChannel& channel, AudioOutput& output, int32_t kind) {
    channel.output = &output;
    output.createChannel(channel.buffers, channel.source);
    output.setGain(channel.source, 0.3f);
    channel.kind = kind;
    for (Oscillator& osc : channel.oscillators) osc = Oscillator{};
    channel.sampleFormat = SampleFormatMono16;
    channel.amplitude = SynthAmplitude;
    channel.gain = 0.0f;
    channel.enabled = 0;
}

void fillTone(AudioChannel& ch) {
    Oscillator* osc = ch.oscillators;
    const double base = osc[1].frequency;
    for (int i = 0; i < SynthSamplesPerBuffer; ++i) {
        double m = oscillatorStep(osc[2]);
        if (ch.waveShape == WaveShapeFull) m = std::fabs(m);
        else if (m < 0) m = 0;
        osc[1].frequency = (base / 2) * (0.5 * m + 0.5);
        int16_t s = toSample(oscillatorStep(osc[1]) * ch.amplitude);
        s = toSample(s * (0.3 * oscillatorStep(osc[3]) + 0.7));
        storeSample(ch.sampleBuffer + 2 * i, s);
    }
    osc[1].frequency = base;
}

void fillNoise(AudioChannel& ch) {
    Oscillator* osc = ch.oscillators;
    const double base = osc[1].frequency;
    for (int i = 0; i < SynthSamplesPerBuffer; ++i) {
        double r = noiseRandom().next();
        int16_t s = toSample((ch.amplitude / 2.0) * (oscillatorStep(osc[1]) + 0.25 * r));
        s = toSample(s * (0.3 * oscillatorStep(osc[3]) + 0.7));
        storeSample(ch.sampleBuffer + 2 * i, s);
    }
    osc[1].frequency = base;
}

void fillCue(AudioChannel& ch) {
    int notes = 0;
    while (notes < 3 && ch.oscillators[notes + 1].frequency > 0) ++notes;
    const int noteLength = notes > 0 ? ch.cueSamples / notes : 0;
    if (noteLength == 0) ch.cuePlayed = ch.cueSamples;  // nothing to play: silence, then off
    for (int i = 0; i < SynthSamplesPerBuffer; ++i) {
        double v = 0.0;
        if (ch.cuePlayed < ch.cueSamples && noteLength > 0) {
            const int note = std::min(ch.cuePlayed / noteLength, notes - 1);
            const int at = ch.cuePlayed - note * noteLength;
            if (at == 0) ch.voice.phase = 0.0;
            ch.voice.frequency = ch.oscillators[note + 1].frequency;
            // A bell: a click-free start, then a fast fade; a little of the octave
            // above for brightness.
            const double envelope = std::min(1.0, at / 64.0) * std::exp(-5.0 * at / noteLength);
            const double tone = oscillatorStep(ch.voice);
            const double octave = SinTable[static_cast<int>(std::fmod(2.0 * ch.voice.phase, 3600.0))];
            v = 0.5 * ch.amplitude * envelope * (0.8 * tone + 0.2 * octave);
            ++ch.cuePlayed;
        }
        storeSample(ch.sampleBuffer + 2 * i, toSample(v));
    }
    // The buffer just filled still plays; nothing more is needed after it.
    if (ch.cuePlayed >= ch.cueSamples) ch.enabled = 0;
}

// Opens a track, saying on the console why it could not be opened.
AudioStream* openTrackStream(const std::string& path) {
    std::string reason;
    AudioStream* stream = openAudioStream(path, &reason);
    if (stream == nullptr) logLine("Could not open stream " + path + (reason.empty() ? "" : ": " + reason));
    return stream;
}

void reportStreamError(AudioChannel& ch) {
    logLine("Audio: stream error");
    ch.enabled = 0;
    // Music off at once: whatever is still queued is dropped so that a later start
    // begins with both buffers free.
    if (ch.output != nullptr) ch.output->halt(ch.source);
}

bool fillStream(AudioChannel& ch) {
    if (ch.stream == nullptr) return false;
    if (!readStreamBuffer(*ch.stream, ch.sampleBuffer, AudioBufferBytes)) {
        reportStreamError(ch);
        return false;
    }
    return true;
}

// Fills a buffer and hands it to the device; false if there was nothing to hand.
bool fillAndUpload(AudioChannel& ch, uint32_t buffer) {
    if (!fillBuffer(ch)) return false;
    const bool music = ch.kind == ChannelKindStream;
    ch.output->fillDeviceBuffer(buffer, music ? SampleFormatStereo16 : ch.sampleFormat,
                                ch.sampleBuffer, AudioBufferBytes, AudioSampleRate);
    return true;
}

void refillChannel(AudioChannel& ch) {
    AudioOutput& out = *ch.output;
    if (ch.kind == ChannelKindStream && ch.stream == nullptr) {
        // Music switched back on after its track failed: try the track once more.
        if (ch.trackNumber <= 0) return;
        ch.stream = openTrackStream(musicTrackPath(ch.trackNumber));
        if (ch.stream == nullptr) {
            ch.enabled = 0;
            return;
        }
    }
    if (out.queuedBuffers(ch.source) == 0) {
        for (uint32_t buffer : ch.buffers) {
            if (!fillAndUpload(ch, buffer)) return;
            out.queueBuffer(ch.source, buffer);
        }
    }
    for (int done = out.processedBuffers(ch.source); done > 0; --done) {
        uint32_t buffer = out.unqueueBuffer(ch.source);
        if (!fillAndUpload(ch, buffer)) return;
        out.queueBuffer(ch.source, buffer);
    }
    if (!out.isPlaying(ch.source)) out.play(ch.source);
}

}  // namespace

double oscillatorStep(Oscillator& osc) {
    double phase = osc.phase + osc.frequency * 3600.0 / AudioSampleRate;
    if (phase >= 3600.0 && phase < 7200.0) {
        phase -= 3600.0;
    } else if (!(phase >= 0.0 && phase < 3600.0)) {
        // Only a negative or enormous frequency gets here: keep the table index valid.
        phase = std::fmod(phase, 3600.0);
        if (phase < 0) phase += 3600.0;
        if (!(phase >= 0.0 && phase < 3600.0)) phase = 0.0;
    }
    osc.phase = phase;
    return SinTable[static_cast<int>(std::nearbyint(phase))];
}

bool fillBuffer(AudioChannel& channel) {
    switch (channel.kind) {
        case ChannelKindStream: return fillStream(channel);
        case ChannelKindTone: fillTone(channel); return true;
        case ChannelKindNoise: fillNoise(channel); return true;
        case ChannelKindCue: fillCue(channel); return true;
        default: return false;
    }
}

std::string musicTrackPath(int track) {
    return dataFile("audio/track" + std::to_string(track) + ".ogg");
}

void chooseAudioOutput(AudioOutputChoice choice) { outputChoice = choice; }

void initAudio(AudioEngine& engine) {
    AudioOutput* output = &silentAudioOutput();
    bool device = false;
    if (outputChoice == AudioOutputChoice::Device) {
        device = deviceAudioOutput().start();
        if (device) output = &deviceAudioOutput();
    }
    logLine("Audio: initializing engine");
    if (outputChoice == AudioOutputChoice::Device && !device)
        logLine("Audio: no sound device, the game plays silently");
    initAudio(engine, *output);
}

void initAudio(AudioEngine& engine, AudioOutput& output) {
    engine.output = &output;
    AudioChannel* ch = engine.channels;
    setUpChannel(ch[MusicChannel], output, ChannelKindStream);
    ch[MusicChannel].enabled = -1;
    setUpChannel(ch[EngineChannel], output, ChannelKindTone);
    ch[EngineChannel].waveShape = WaveShapeHalf;
    setUpChannel(ch[SkidChannel], output, ChannelKindTone);
    ch[SkidChannel].waveShape = WaveShapeFull;
    ch[SkidChannel].oscillators[1].frequency = 1100;
    ch[SkidChannel].oscillators[2].frequency = 40000;
    ch[SkidChannel].oscillators[3].frequency = 18;
    setUpChannel(ch[TurboChannel], output, ChannelKindNoise);
    setUpChannel(ch[CueChannel], output, ChannelKindCue);
}

void openTrackFile(AudioEngine& engine, int track, const std::string& path) {
    AudioChannel& ch = engine.channels[MusicChannel];
    if (ch.kind != ChannelKindStream) return;
    closeAudioStream(ch.stream);
    ch.stream = openTrackStream(path);
    if (ch.stream == nullptr) {
        ch.enabled = 0;
    }
    ch.trackNumber = static_cast<int8_t>(track);
}

void openTrack(AudioEngine& engine, int track) {
    openTrackFile(engine, track, musicTrackPath(track));
}

void nextTrack(AudioEngine& engine) {
    int track = engine.channels[MusicChannel].trackNumber + 1;
    if (track > 4 || track < 1) track = 1;
    openTrack(engine, track);
}

void updateAudio(AudioEngine& engine) {
    if (engine.output == nullptr) return;
    for (int i = 1; i <= AudioChannelCount; ++i) {
        AudioChannel& ch = engine.channels[i];
        if (ch.enabled != 0 && ch.output != nullptr) refillChannel(ch);
    }
}

void setChannelGain(AudioChannel& channel, float gain) {
    if (channel.kind == ChannelKindStream) gain *= 0.2f;
    if (!(gain > 0.0f)) gain = 0.0f;  // negatives and NaN
    channel.gain = gain;
    if (channel.output != nullptr) channel.output->setGain(channel.source, gain);
}

void startCue(AudioEngine& engine, double first, double second, double third, double seconds) {
    AudioChannel& ch = engine.channels[CueChannel];
    const double notes[3] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        const double f = notes[i];
        ch.oscillators[i + 1].frequency = f > 0 ? std::fmin(std::fmax(f, 20.0), 20000.0) : 0.0;
    }
    const double length = std::isfinite(seconds) ? std::fmin(std::fmax(seconds, 0.0), 2.0) : 0.0;
    ch.cueSamples = static_cast<int32_t>(length * AudioSampleRate);
    ch.cuePlayed = 0;
    ch.enabled = ch.cueSamples > 0 && ch.oscillators[1].frequency > 0 ? -1 : 0;
}

void setMasterLevel(AudioEngine& engine, float level) {
    for (int i = 1; i <= AudioChannelCount; ++i) setChannelGain(engine.channels[i], 1.2f * level);
}

void shutdownAudio(AudioEngine& engine) {
    for (int i = 1; i <= AudioChannelCount; ++i) {
        AudioChannel& ch = engine.channels[i];
        if (ch.output != nullptr) {
            ch.output->halt(ch.source);
            ch.output->releaseChannel(ch.buffers, ch.source);
        }
        closeAudioStream(ch.stream);
        ch.stream = nullptr;
        ch.enabled = 0;
        ch.output = nullptr;
    }
    if (engine.output != nullptr) engine.output->stop();
    engine.output = nullptr;
}

RandomStream& noiseRandom() {
    static RandomStream stream(0x7700);
    return stream;
}

}  // namespace hc
