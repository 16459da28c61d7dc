// The silent audio output: used when there is no sound device, and by headless runs.
#include <map>

#include "platform/audio_output.h"

namespace hc {

namespace {

// Queues count what was put on them and never play, so after the first fill of a
// channel nothing is decoded or synthesised again: silence costs nothing per frame.
class SilentOutput final : public AudioOutput {
public:
    bool start() override { return true; }
    void stop() override { queued_.clear(); }
    void createChannel(uint32_t buffers[2], uint32_t& source) override {
        buffers[0] = ++lastName_;
        buffers[1] = ++lastName_;
        source = ++lastName_;
        queued_[source] = 0;
    }
    void releaseChannel(uint32_t*, uint32_t source) override { queued_.erase(source); }
    int queuedBuffers(uint32_t source) override { return queued_[source]; }
    int processedBuffers(uint32_t) override { return 0; }
    uint32_t unqueueBuffer(uint32_t) override { return 0; }
    void fillDeviceBuffer(uint32_t, int32_t, const uint8_t*, int, int) override {}
    void queueBuffer(uint32_t source, uint32_t) override { ++queued_[source]; }
    bool isPlaying(uint32_t source) override { return queued_[source] > 0; }
    void play(uint32_t) override {}
    void halt(uint32_t source) override { queued_[source] = 0; }
    void setGain(uint32_t, float) override {}

private:
    uint32_t lastName_ = 0;
    std::map<uint32_t, int> queued_;
};

}  // namespace

AudioOutput& silentAudioOutput() {
    static SilentOutput output;
    return output;
}

}  // namespace hc
