// libFuzzer target: opening and decoding a music track from arbitrary bytes must end
// in a refusal, an error or sound, within bounds, never a crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hc::AudioStream* stream = hc::openAudioStreamFromMemory(data, size);
    if (stream == nullptr) return 0;
    std::vector<uint8_t> buffer(hc::AudioBufferBytes);
    for (int i = 0; i < 4; ++i)
        if (!hc::readStreamBuffer(*stream, buffer.data(), hc::AudioBufferBytes)) break;
    hc::closeAudioStream(stream);
    return 0;
}
