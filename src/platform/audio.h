#pragma once
#include <cstdint>

namespace hc {

// Four channels: 1 music stream, 2 engine tone, 3 skid tone, 4 turbo noise. Every
// channel is an output source fed by a queue of two buffers refilled by polling
// (updateAudio) from every frame loop and wait; there is no audio thread.

constexpr int AudioChannelCount = 4;
constexpr int AudioBufferBytes = 12288;
constexpr int AudioSampleRate = 44100;

constexpr int32_t ChannelKindStream = 1;
constexpr int32_t ChannelKindTone = 2;
constexpr int32_t ChannelKindNoise = 3;

constexpr int32_t WaveShapeHalf = 1;
constexpr int32_t WaveShapeFull = 2;

struct Oscillator {
    double frequency = 0;  // Hz
    double phase = 0;      // tenths of a degree, [0, 3600)
};

// The open music track; only the platform's decoder knows what is inside.
struct AudioStream;

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
};

constexpr int MusicChannel = 1;
constexpr int EngineChannel = 2;
constexpr int SkidChannel = 3;
constexpr int TurboChannel = 4;

struct AudioEngine {
    AudioChannel channels[AudioChannelCount + 1];  // numbered 1 to 4; element 0 unused
};

void initAudio(AudioEngine& engine);
void openTrack(AudioEngine& engine, int track);
void nextTrack(AudioEngine& engine);
void updateAudio(AudioEngine& engine);
void setChannelGain(AudioChannel& channel, float gain);
void setMasterLevel(AudioEngine& engine, float level);
void shutdownAudio(AudioEngine& engine);

}  // namespace hc
