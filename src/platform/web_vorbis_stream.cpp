// Music decoding in the browser edition: Ogg Vorbis through the single-file stb_vorbis
// decoder, converted to 44100 Hz stereo. The page fetches the tracks after play starts;
// a track still on its way plays silence until it arrives, then starts from its
// beginning.
#include <emscripten.h>

#include <algorithm>
#include <new>
#include <string>

#include "core/regular_file.h"
#include "core/system.h"
#include "platform/audio_stream.h"
#include "platform/ogg_pages.h"
#include "platform/stereo_resampler.h"

#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wunused-parameter"
#pragma clang diagnostic ignored "-Wunused-value"
#pragma clang diagnostic ignored "-Wsign-compare"
#pragma clang diagnostic ignored "-Wmissing-field-initializers"
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include "stb_vorbis.h"
#pragma clang diagnostic pop

namespace hc {

namespace {

constexpr int MinStreamRate = 8000;
constexpr int MaxStreamRate = 192000;

// Whether the page is still fetching this file.
bool trackOnItsWay(const std::string& path) {
    return EM_ASM_INT({ return Module.hcTrackPending ? Module.hcTrackPending(UTF8ToString($0)) : 0; },
                      path.c_str()) != 0;
}

}  // namespace

struct AudioStream {
    std::string path;
    bool waiting = false;  // the file is still on its way
    std::string bytes;     // the whole file, which the decoder reads in place
    const uint8_t* data = nullptr;
    size_t size = 0;
    stb_vorbis* vorbis = nullptr;
    int fileRate = 0;
    int fileChannels = 0;
    StereoResampler resampler;
};

namespace {

bool startDecoder(AudioStream& s) {
    if (s.size > static_cast<size_t>(INT32_MAX)) return false;
    int error = 0;
    s.vorbis = stb_vorbis_open_memory(s.data, static_cast<int>(s.size), &error, nullptr);
    if (s.vorbis == nullptr) return false;
    const stb_vorbis_info info = stb_vorbis_get_info(s.vorbis);
    if (info.channels < 1 || static_cast<int>(info.sample_rate) < MinStreamRate ||
        static_cast<int>(info.sample_rate) > MaxStreamRate)
        return false;
    s.fileRate = static_cast<int>(info.sample_rate);
    s.fileChannels = info.channels;
    s.resampler.setStep(static_cast<double>(s.fileRate) / AudioSampleRate);
    return true;
}

// Reads the file, checks its pages and starts the decoder; false when any of it fails,
// with the reason for a file that is read but refused.
bool loadFile(AudioStream& s, std::string& reason) {
    if (readRegularFile(s.path, TrackFileLimit, s.bytes, reason) != FileRead::Read) return false;
    s.data = reinterpret_cast<const uint8_t*>(s.bytes.data());
    s.size = checkOggPages(s.data, s.bytes.size(), reason);
    return s.size > 0 && startDecoder(s);
}

// One read from the decoder into the resampler; it mixes any channel count down to the
// two asked for.
int decodeMore(void* source) {
    AudioStream& s = *static_cast<AudioStream*>(source);
    int16_t chunk[2048];
    const int got = stb_vorbis_get_samples_short_interleaved(s.vorbis, 2, chunk, 2048);
    if (got < 0) return DecodeFailed;
    for (int f = 0; f < got; ++f) s.resampler.push(chunk[2 * f], chunk[2 * f + 1]);
    return got == 0 ? DecodedEnd : got;
}

bool rewindTrack(void* source) { return stb_vorbis_seek_start(static_cast<AudioStream*>(source)->vorbis) != 0; }

}  // namespace

AudioStream* openAudioStream(const std::string& path, std::string* reason) {
    auto* stream = new (std::nothrow) AudioStream;
    if (stream == nullptr) return nullptr;
    stream->path = path;
    std::string why;
    if (loadFile(*stream, why)) return stream;
    if (reason != nullptr && !why.empty()) *reason = why;
    if (stream->vorbis == nullptr && stream->bytes.empty() && trackOnItsWay(path)) {
        stream->waiting = true;
        return stream;
    }
    closeAudioStream(stream);
    return nullptr;
}

AudioStream* openAudioStreamFromMemory(const uint8_t* data, size_t size) {
    if (data == nullptr) return nullptr;
    auto* stream = new (std::nothrow) AudioStream;
    if (stream == nullptr) return nullptr;
    stream->data = data;
    stream->size = size;
    if (startDecoder(*stream)) return stream;
    closeAudioStream(stream);
    return nullptr;
}

void closeAudioStream(AudioStream* stream) {
    if (stream == nullptr) return;
    if (stream->vorbis != nullptr) stb_vorbis_close(stream->vorbis);
    delete stream;
}

int streamFileRate(const AudioStream& stream) { return stream.fileRate; }
int streamFileChannels(const AudioStream& stream) { return stream.fileChannels; }

double streamSeconds(AudioStream& stream) {
    if (stream.vorbis == nullptr) return 0.0;
    const double seconds = stb_vorbis_stream_length_in_seconds(stream.vorbis);
    return seconds > 0 ? seconds : 0.0;
}

bool readStreamBuffer(AudioStream& s, uint8_t* out, int bytes) {
    const int frames = bytes / 4;
    if (s.waiting) {
        if (!trackOnItsWay(s.path)) {
            // Arrived, or the fetch failed: the file says which.
            s.waiting = false;
            std::string reason;
            if (!loadFile(s, reason)) {
                logLine("Could not open stream " + s.path + (reason.empty() ? "" : ": " + reason));
                return false;
            }
        } else {
            std::fill(out, out + 4 * frames, 0);
            return true;
        }
    }
    return s.resampler.fill(out, bytes, decodeMore, rewindTrack, &s);
}

}  // namespace hc
