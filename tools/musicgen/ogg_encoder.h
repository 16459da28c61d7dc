#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

// Encodes interleaved float samples (-1..1) as Ogg Vorbis at a VBR quality (-0.1..1).
// A fixed stream serial number keeps the output byte-for-byte deterministic.
std::vector<uint8_t> encodeOggVorbis(const std::vector<float>& interleaved, int channels,
                                     int rate, float quality);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace musicgen
