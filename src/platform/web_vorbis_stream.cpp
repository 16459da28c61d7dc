// Music decoding in the browser edition: Ogg Vorbis through the single-file stb_vorbis
// decoder, converted to 44100 Hz stereo. The page fetches the tracks after play starts;
// a track still on its way plays silence until it arrives, then starts from its
// beginning.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "core/regular_file.h"
#include "core/system.h"
#include "platform/audio_stream.h"
#include "platform/ogg_pages.h"

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
int16_t clampSample(double v) {
    if (v > 32767.0) return 32767;
    if (v < -32768.0) return -32768;
    return static_cast<int16_t>(std::nearbyint(v));
}

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
    // Decoded stereo frames waiting to be resampled; frames before inputHead are used.
    std::vector<int16_t> input;
    size_t inputHead = 0;
    double position = 0;  // in frames from inputHead
    double step = 1.0;    // input frames per output frame
    bool decodedSinceRewind = false;
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
    s.step = static_cast<double>(s.fileRate) / AudioSampleRate;
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

int resample(AudioStream& s, int16_t* out, int wanted) {
    int produced = 0;
    const size_t available = s.input.size() / 2 - s.inputHead;
    while (produced < wanted) {
        const auto i = static_cast<size_t>(s.position);
        const double frac = s.position - static_cast<double>(i);
        if (i >= available || (frac > 0 && i + 1 >= available)) break;
        const int16_t* a = &s.input[2 * (s.inputHead + i)];
        const int16_t* b = frac > 0 ? a + 2 : a;
        out[2 * produced] = clampSample(a[0] + (b[0] - a[0]) * frac);
        out[2 * produced + 1] = clampSample(a[1] + (b[1] - a[1]) * frac);
        ++produced;
        s.position += s.step;
    }
    const size_t used = std::min(static_cast<size_t>(s.position), available);
    s.inputHead += used;
    s.position -= static_cast<double>(used);
    if (s.inputHead > 65536 || s.inputHead * 2 == s.input.size()) {
        s.input.erase(s.input.begin(), s.input.begin() + static_cast<std::ptrdiff_t>(2 * s.inputHead));
        s.inputHead = 0;
    }
    return produced;
}

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
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    int produced = 0;
    int16_t chunk[2048];
    while (true) {
        produced += resample(s, samples.data() + 2 * produced, frames - produced);
        if (produced == frames) break;
        // The decoder mixes any channel count down to the two asked for.
        const int got = stb_vorbis_get_samples_short_interleaved(s.vorbis, 2, chunk, 2048);
        if (got < 0) return false;
        if (got == 0) {
            // End of the track: loop from the start, unless the pass since the last
            // rewind gave no sound at all (an empty or broken track would rewind forever).
            if (!s.decodedSinceRewind) return false;
            if (!stb_vorbis_seek_start(s.vorbis)) return false;
            s.decodedSinceRewind = false;
            continue;
        }
        s.decodedSinceRewind = true;
        s.input.insert(s.input.end(), chunk, chunk + 2 * got);
    }
    for (int i = 0; i < frames * 2; ++i) {
        const auto v = static_cast<uint16_t>(samples[static_cast<size_t>(i)]);
        out[2 * i] = static_cast<uint8_t>(v & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
    return true;
}

}  // namespace hc
