#pragma once
#include <cstdint>
#include <string>

#include "core/random.h"

namespace hc {

// Five channels: 1 music stream, 2 engine tone, 3 skid tone, 4 turbo noise, 5 the
// assists' short cues (silent unless started). Every channel is an output source fed by a queue of two buffers refilled by polling
// (updateAudio) from every frame loop and wait; there is no audio thread.

constexpr int AudioChannelCount = 5;
constexpr int AudioBufferBytes = 12288;
constexpr int AudioSampleRate = 44100;
constexpr int SynthSamplesPerBuffer = AudioBufferBytes / 2;   // mono 16-bit
constexpr int MusicFramesPerBuffer = AudioBufferBytes / 4;    // stereo 16-bit

constexpr int32_t ChannelKindStream = 1;
constexpr int32_t ChannelKindTone = 2;
constexpr int32_t ChannelKindNoise = 3;
constexpr int32_t ChannelKindCue = 4;

constexpr int32_t WaveShapeHalf = 1;
constexpr int32_t WaveShapeFull = 2;

// Sample formats, with the values the sound device uses for them.
constexpr int32_t SampleFormatMono16 = 0x1101;
constexpr int32_t SampleFormatStereo16 = 0x1103;

constexpr int32_t SynthAmplitude = 32760;

struct Oscillator {
    double frequency = 0;  // Hz
    double phase = 0;      // tenths of a degree, [0, 3600)
};

// The open music track; only the platform's decoder knows what is inside.
struct AudioStream;

// Where the samples go: the sound device or nowhere (see audio_output.h).
class AudioOutput;

struct AudioChannel {
    int8_t trackNumber = 0;
    uint8_t sampleBuffer[AudioBufferBytes] = {};
    uint32_t buffers[2] = {0, 0};
    uint32_t source = 0;
    AudioStream* stream = nullptr;
    Oscillator oscillators[4];  // numbered 1 to 3; element 0 unused
    int32_t kind = 0;
    int32_t waveShape = 0;
    int8_t enabled = 0;         // 0 off, -1 on
    int32_t sampleFormat = 0;
    int32_t amplitude = 0;
    float gain = 0;
    AudioOutput* output = nullptr;  // null until initAudio: gains are then only stored
    // A cue channel plays up to three notes (oscillators 1 to 3, 0 for none) one after
    // the other over cueSamples samples, each a struck bell fading out, then goes off.
    Oscillator voice;
    int32_t cueSamples = 0;
    int32_t cuePlayed = 0;
};

constexpr int MusicChannel = 1;
constexpr int EngineChannel = 2;
constexpr int SkidChannel = 3;
constexpr int TurboChannel = 4;
constexpr int CueChannel = 5;

struct AudioEngine {
    AudioChannel channels[AudioChannelCount + 1];  // numbered 1 to 5; element 0 unused
    AudioOutput* output = nullptr;                 // chosen once by initAudio
};

// Which output initAudio picks: the sound device (falling back to silence when there
// is none) or silence from the start (headless runs and tests).
enum class AudioOutputChoice { Device, Silent };
void chooseAudioOutput(AudioOutputChoice choice);

void initAudio(AudioEngine& engine);
// The same with an explicit output, which must outlive the engine.
void initAudio(AudioEngine& engine, AudioOutput& output);
void openTrack(AudioEngine& engine, int track);
void nextTrack(AudioEngine& engine);
void updateAudio(AudioEngine& engine);
void setChannelGain(AudioChannel& channel, float gain);
// Starts a cue on the cue channel: notes in Hz (a 0 ends the list early), together
// lasting seconds; a cue still playing is cut off. Notes outside 20 Hz to 20 kHz and
// lengths outside 0 to 2 seconds are clamped.
void startCue(AudioEngine& engine, double first, double second, double third, double seconds);
void setMasterLevel(AudioEngine& engine, float level);
void shutdownAudio(AudioEngine& engine);

// The data folder's "audio/track" + n + ".ogg" ("../data/audio/track3.ogg" by default).
std::string musicTrackPath(int track);
// openTrack with the file name given: used by openTrack and by tests.
void openTrackFile(AudioEngine& engine, int track, const std::string& path);

// One sample of an oscillator: advances the phase and reads the sine table there.
double oscillatorStep(Oscillator& oscillator);

// Fills the channel's sample buffer with its next 12288 bytes: synthesised mono
// samples for tone and noise channels, decoded stereo music for the stream channel.
// Needs no device. Returns false (after logging and disabling the channel) when the
// music stream fails, and for a stream channel without a stream.
bool fillBuffer(AudioChannel& channel);
// The noise channels' random source, apart from the game's: buffers are filled when the
// sound device asks, and the game's numbers must not depend on when that is.
RandomStream& noiseRandom();

}  // namespace hc
