// Audio output through OpenAL, on the desktop (ALUT opens and closes the device) and in
// the browser (whose OpenAL plays through the page's audio context and has no ALUT, so
// the device and context are opened with plain ALC calls there).
#include <AL/al.h>
#ifdef __EMSCRIPTEN__
#include <AL/alc.h>
#else
#include <AL/alut.h>
#endif

#include "platform/audio.h"
#include "platform/audio_output.h"

namespace hc {

static_assert(SampleFormatMono16 == AL_FORMAT_MONO16);
static_assert(SampleFormatStereo16 == AL_FORMAT_STEREO16);

namespace {

class OpenAlOutput final : public AudioOutput {
public:
    // The device is closed on every way out of the program, an error exit included:
    // exit() runs this before the sound library's own clean-up, which would otherwise
    // complain about a device left open.
    ~OpenAlOutput() override { stop(); }
#ifndef __EMSCRIPTEN__
    bool start() override {
        if (!started_) started_ = alutInit(nullptr, nullptr) == AL_TRUE;
        return started_;
    }
    void stop() override {
        if (started_) alutExit();
        started_ = false;
    }
#else
    bool start() override {
        if (context_ != nullptr) return true;
        device_ = alcOpenDevice(nullptr);
        if (device_ == nullptr) return false;
        context_ = alcCreateContext(device_, nullptr);
        if (context_ == nullptr || alcMakeContextCurrent(context_) != ALC_TRUE) {
            stop();
            return false;
        }
        return true;
    }
    void stop() override {
        alcMakeContextCurrent(nullptr);
        if (context_ != nullptr) alcDestroyContext(context_);
        if (device_ != nullptr) alcCloseDevice(device_);
        context_ = nullptr;
        device_ = nullptr;
    }
#endif
    void createChannel(uint32_t buffers[2], uint32_t& source) override {
        ALuint names[2] = {0, 0};
        alGenBuffers(2, names);
        buffers[0] = names[0];
        buffers[1] = names[1];
        ALuint src = 0;
        alGenSources(1, &src);
        source = src;
    }
    void releaseChannel(uint32_t buffers[2], uint32_t source) override {
        ALuint src = source;
        alDeleteSources(1, &src);
        ALuint names[2] = {buffers[0], buffers[1]};
        alDeleteBuffers(2, names);
    }
    int queuedBuffers(uint32_t source) override {
        ALint n = 0;
        alGetSourcei(source, AL_BUFFERS_QUEUED, &n);
        return n;
    }
    int processedBuffers(uint32_t source) override {
        ALint n = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &n);
        return n;
    }
    uint32_t unqueueBuffer(uint32_t source) override {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        return buffer;
    }
    void fillDeviceBuffer(uint32_t buffer, int32_t format, const uint8_t* data, int bytes,
                          int rate) override {
        alBufferData(buffer, format, data, bytes, rate);
    }
    void queueBuffer(uint32_t source, uint32_t buffer) override {
        ALuint b = buffer;
        alSourceQueueBuffers(source, 1, &b);
    }
    bool isPlaying(uint32_t source) override {
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }
    void play(uint32_t source) override { alSourcePlay(source); }
    void halt(uint32_t source) override {
        alSourceStop(source);
        // A stopped source has played all its buffers: take them all off.
        ALint queued = 0;
        alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
        for (ALint i = 0; i < queued; ++i) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(source, 1, &buffer);
        }
    }
    void setGain(uint32_t source, float gain) override { alSourcef(source, AL_GAIN, gain); }

private:
#ifndef __EMSCRIPTEN__
    bool started_ = false;
#else
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
#endif
};

}  // namespace

AudioOutput& deviceAudioOutput() {
    static OpenAlOutput output;
    return output;
}

}  // namespace hc
