#pragma once
// A recording audio output for the audio tests: queues behave like a device's, and
// the test decides when queued buffers have finished playing.
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "platform/audio_output.h"

namespace hc::test {

class RecordingOutput : public AudioOutput {
public:
    struct Source {
        std::deque<uint32_t> queue;
        int processed = 0;
        bool playing = false;
        float gain = -1;
        int plays = 0;
    };
    std::map<uint32_t, Source> sources;
    std::map<uint32_t, std::vector<uint8_t>> bufferData;
    std::map<uint32_t, int32_t> bufferFormat;
    int uploads = 0;
    int halts = 0;
    bool started = false;

    bool start() override { return started = true; }
    void stop() override { started = false; }
    void createChannel(uint32_t buffers[2], uint32_t& source) override {
        buffers[0] = next_++;
        buffers[1] = next_++;
        source = next_++;
        sources[source];
    }
    void releaseChannel(uint32_t*, uint32_t source) override { sources.erase(source); }
    int queuedBuffers(uint32_t source) override {
        return static_cast<int>(sources[source].queue.size());
    }
    int processedBuffers(uint32_t source) override { return sources[source].processed; }
    uint32_t unqueueBuffer(uint32_t source) override {
        Source& s = sources[source];
        uint32_t b = s.queue.front();
        s.queue.pop_front();
        --s.processed;
        return b;
    }
    void fillDeviceBuffer(uint32_t buffer, int32_t format, const uint8_t* data, int bytes,
                          int) override {
        bufferData[buffer].assign(data, data + bytes);
        bufferFormat[buffer] = format;
        ++uploads;
    }
    void queueBuffer(uint32_t source, uint32_t buffer) override {
        sources[source].queue.push_back(buffer);
    }
    bool isPlaying(uint32_t source) override { return sources[source].playing; }
    void play(uint32_t source) override {
        sources[source].playing = true;
        ++sources[source].plays;
    }
    void halt(uint32_t source) override {
        sources[source].queue.clear();
        sources[source].processed = 0;
        sources[source].playing = false;
        ++halts;
    }
    void setGain(uint32_t source, float gain) override { sources[source].gain = gain; }

    // The device has played the oldest n queued buffers (all of them: it stops).
    void finish(uint32_t source, int n) {
        Source& s = sources[source];
        s.processed = std::min(static_cast<int>(s.queue.size()), s.processed + n);
        if (s.processed == static_cast<int>(s.queue.size())) s.playing = false;
    }

private:
    uint32_t next_ = 100;
};

inline int16_t sampleAt(const uint8_t* bytes, size_t index) {
    return static_cast<int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

}  // namespace hc::test
