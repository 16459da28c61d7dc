// Music decoding: Ogg Vorbis through libvorbisfile, converted to 44100 Hz stereo.
#include <vorbis/vorbisfile.h>

#include <string.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/regular_file.h"
#include "platform/audio_stream.h"
#include "platform/ogg_pages.h"
#include "platform/stereo_resampler.h"

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

}  // namespace

struct AudioStream {
    OggVorbis_File file;
    std::string bytes;  // the whole track, when the stream read it from a file
    MemorySource memory;
    int fileRate = 0;
    int fileChannels = 0;
    StereoResampler resampler;
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
    stream->resampler.setStep(static_cast<double>(info->rate) / AudioSampleRate);
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
    s.resampler.push(clampSample(left), clampSample(right));
}

// One read from the decoder into the resampler.
int decodeMore(void* source) {
    AudioStream& s = *static_cast<AudioStream*>(source);
    int16_t chunk[2048];
    int link = 0;
    const long got = ov_read(&s.file, reinterpret_cast<char*>(chunk), sizeof chunk, 0, 2, 1, &link);
    if (got == OV_HOLE) return 0;  // a damaged page: skip the gap
    if (got < 0) return DecodeFailed;
    if (got == 0) return DecodedEnd;
    const vorbis_info* info = ov_info(&s.file, link);
    if (!playableFormat(info)) return DecodeFailed;
    const int channels = info->channels;
    const long count = got / 2 / channels;
    s.resampler.setStep(static_cast<double>(info->rate) / AudioSampleRate);
    for (long f = 0; f < count; ++f) pushStereo(s, chunk + f * channels, channels);
    return static_cast<int>(count);
}

bool rewindTrack(void* source) { return ov_time_seek(&static_cast<AudioStream*>(source)->file, 0.0) == 0; }

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
    return s.resampler.fill(out, bytes, decodeMore, rewindTrack, &s);
}

}  // namespace hc
