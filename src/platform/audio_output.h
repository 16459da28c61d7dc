#pragma once
#include <cstdint>

namespace hc {

// Where the audio engine's buffers go. The engine speaks only to this interface; the
// sound device (OpenAL) and silence implement it, and tests can add their own. Names
// of buffers and sources are the implementation's own numbers, never 0.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Starts the device; false when there is none (the engine then goes silent).
    virtual bool start() = 0;
    virtual void stop() = 0;

    virtual void createChannel(uint32_t buffers[2], uint32_t& source) = 0;
    virtual void releaseChannel(uint32_t buffers[2], uint32_t source) = 0;

    virtual int queuedBuffers(uint32_t source) = 0;
    virtual int processedBuffers(uint32_t source) = 0;
    // Takes the oldest finished buffer off the source's queue and returns its name.
    virtual uint32_t unqueueBuffer(uint32_t source) = 0;
    virtual void fillDeviceBuffer(uint32_t buffer, int32_t format, const uint8_t* data,
                                  int bytes, int rate) = 0;
    virtual void queueBuffer(uint32_t source, uint32_t buffer) = 0;
    virtual bool isPlaying(uint32_t source) = 0;
    virtual void play(uint32_t source) = 0;
    // Stops the source at once and empties its queue.
    virtual void halt(uint32_t source) = 0;
    virtual void setGain(uint32_t source, float gain) = 0;
};

// Plays nothing and accepts everything; queues look full, so nothing is refilled
// after the first fill.
AudioOutput& silentAudioOutput();
// The OpenAL device opened through ALUT.
AudioOutput& deviceAudioOutput();

}  // namespace hc
