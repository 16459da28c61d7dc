// Music decoding: Ogg Vorbis through libvorbisfile, converted to 44100 Hz stereo.
#include <vorbis/vorbisfile.h>

#include <string.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/regular_file.h"
#include "platform/audio_stream.h"
#include "platform/ogg_pages.h"

namespace hc {

// The Ogg file in memory that the decoder reads through the callbacks below. Outside the
// unnamed namespace, as a member of AudioStream.
struct MemorySource {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

namespace {

constexpr long MinStreamRate = 8000;
constexpr long MaxStreamRate = 192000;


size_t memoryRead(void* ptr, size_t size, size_t count, void* source) {
    auto* mem = static_cast<MemorySource*>(source);
    if (size == 0) return 0;
    size_t left = mem->size - mem->position;
    size_t items = std::min(count, left / size);
    std::memcpy(ptr, mem->data + mem->position, items * size);
    mem->position += items * size;
    return items;
}

int memorySeek(void* source, ogg_int64_t offset, int whence) {
    auto* mem = static_cast<MemorySource*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(mem->position);
    else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(mem->size);
    else if (whence != SEEK_SET) return -1;
    ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(mem->size)) return -1;
    mem->position = static_cast<size_t>(target);
    return 0;
}

long memoryTell(void* source) {
    return static_cast<long>(static_cast<MemorySource*>(source)->position);
}

bool playableFormat(const vorbis_info* info) {
    return info != nullptr && info->channels >= 1 && info->rate >= MinStreamRate &&
           info->rate <= MaxStreamRate;
}

int16_t clampSample(double v) {
    if (v > 32767.0) return 32767;
    if (v < -32768.0) return -32768;
    return static_cast<int16_t>(std::nearbyint(v));
}

}  // namespace

struct AudioStream {
    OggVorbis_File file;
    std::string bytes;  // the whole track, when the stream read it from a file
    MemorySource memory;
    int fileRate = 0;
    int fileChannels = 0;
    // Decoded stereo frames waiting to be resampled; frames before inputHead are used.
    std::vector<int16_t> input;
    size_t inputHead = 0;
    double position = 0;  // in frames from inputHead
    double step = 1.0;    // input frames per output frame
    bool decodedSinceRewind = false;
};

namespace {

AudioStream* finishOpen(AudioStream* stream) {
    const vorbis_info* info = ov_info(&stream->file, -1);
    if (!playableFormat(info)) {
        closeAudioStream(stream);
        return nullptr;
    }
    stream->fileRate = static_cast<int>(info->rate);
    stream->fileChannels = info->channels;
    stream->step = static_cast<double>(info->rate) / AudioSampleRate;
    return stream;
}

// Mixes one decoded frame of any channel count down to stereo. Vorbis orders three
// or more channels front left, centre, front right, ... (four: FL, FR, RL, RR).
void pushStereo(AudioStream& s, const int16_t* frame, int channels) {
    double left = frame[0];
    double right = frame[0];
    if (channels == 2 || channels == 4 || channels > 8) {
        right = frame[1];
    } else if (channels >= 3) {
        double centre = 0.7 * frame[1];
        left += centre;
        right = frame[2] + centre;
    }
    s.input.push_back(clampSample(left));
    s.input.push_back(clampSample(right));
}

// Produces output frames from the decoded input while it lasts.
int resample(AudioStream& s, int16_t* out, int wanted) {
    int produced = 0;
    size_t available = s.input.size() / 2 - s.inputHead;
    while (produced < wanted) {
        size_t i = static_cast<size_t>(s.position);
        double frac = s.position - static_cast<double>(i);
        if (i >= available || (frac > 0 && i + 1 >= available)) break;
        const int16_t* a = &s.input[2 * (s.inputHead + i)];
        if (frac == 0) {
            out[2 * produced] = a[0];
            out[2 * produced + 1] = a[1];
        } else {
            const int16_t* b = a + 2;
            out[2 * produced] = clampSample(a[0] + (b[0] - a[0]) * frac);
            out[2 * produced + 1] = clampSample(a[1] + (b[1] - a[1]) * frac);
        }
        ++produced;
        s.position += s.step;
    }
    // Drop the frames that lie wholly behind the read position.
    size_t used = std::min(static_cast<size_t>(s.position), available);
    s.inputHead += used;
    s.position -= static_cast<double>(used);
    if (s.inputHead > 65536 || s.inputHead * 2 == s.input.size()) {
        s.input.erase(s.input.begin(), s.input.begin() + 2 * s.inputHead);
        s.inputHead = 0;
    }
    return produced;
}

}  // namespace

namespace {

// Opens the decoder over stream->bytes or the caller's bytes, after checking its pages.
AudioStream* openChecked(AudioStream* stream, const uint8_t* data, size_t size, std::string* reason) {
    std::string why;
    const size_t pages = data == nullptr ? 0 : checkOggPages(data, size, why);
    if (pages == 0) {
        if (reason) *reason = why;
        delete stream;
        return nullptr;
    }
    stream->memory = MemorySource{data, pages, 0};
    ov_callbacks callbacks{memoryRead, memorySeek, nullptr, memoryTell};
    if (ov_open_callbacks(&stream->memory, &stream->file, nullptr, 0, callbacks) != 0) {
        delete stream;
        return nullptr;
    }
    return finishOpen(stream);
}

}  // namespace

AudioStream* openAudioStream(const std::string& path, std::string* reason) {
    auto* stream = new (std::nothrow) AudioStream;
    if (stream == nullptr) return nullptr;
    std::string why;
    if (readRegularFile(path, TrackFileLimit, stream->bytes, why) != FileRead::Read) {
        if (reason) *reason = why;
        delete stream;
        return nullptr;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(stream->bytes.data());
    return openChecked(stream, data, stream->bytes.size(), reason);
}

AudioStream* openAudioStreamFromMemory(const uint8_t* data, size_t size) {
    auto* stream = new (std::nothrow) AudioStream;
    if (stream == nullptr) return nullptr;
    return openChecked(stream, data, size, nullptr);
}

void closeAudioStream(AudioStream* stream) {
    if (stream == nullptr) return;
    ov_clear(&stream->file);
    delete stream;
}

int streamFileRate(const AudioStream& stream) { return stream.fileRate; }
int streamFileChannels(const AudioStream& stream) { return stream.fileChannels; }

double streamSeconds(AudioStream& stream) {
    double seconds = ov_time_total(&stream.file, -1);
    return seconds > 0 ? seconds : 0.0;
}

bool readStreamBuffer(AudioStream& s, uint8_t* out, int bytes) {
    const int frames = bytes / 4;
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    int produced = 0;
    int16_t chunk[2048];
    while (true) {
        produced += resample(s, samples.data() + 2 * produced, frames - produced);
        if (produced == frames) break;
        int link = 0;
        long got = ov_read(&s.file, reinterpret_cast<char*>(chunk), sizeof chunk, 0, 2, 1, &link);
        if (got == OV_HOLE) continue;  // a damaged page: skip the gap
        if (got < 0) return false;
        if (got == 0) {
            // End of the track: loop from the start, unless the pass since the last
            // rewind gave no sound at all (an empty track would rewind forever).
            if (!s.decodedSinceRewind) return false;
            if (ov_time_seek(&s.file, 0.0) != 0) return false;
            s.decodedSinceRewind = false;
            continue;
        }
        const vorbis_info* info = ov_info(&s.file, link);
        if (!playableFormat(info)) return false;
        const int channels = info->channels;
        const long count = got / 2 / channels;
        if (count == 0) continue;
        s.decodedSinceRewind = true;
        s.step = static_cast<double>(info->rate) / AudioSampleRate;
        for (long f = 0; f < count; ++f) pushStereo(s, chunk + f * channels, channels);
    }
    for (int i = 0; i < frames * 2; ++i) {
        auto v = static_cast<uint16_t>(samples[static_cast<size_t>(i)]);
        out[2 * i] = static_cast<uint8_t>(v & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
    return true;
}

}  // namespace hc
