#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "artgen/picture.h"

namespace artgen {

// The decoded stream of a graphics pack: the vehicle picture, the wall picture and the
// asset sheet one after another, each stored bottom row first, then the seal. Returns false with a
// reason when a picture does not have its fixed size.
bool buildPackStream(const Picture& vehicles, const Picture& walls, const Picture& sheet,
                     std::vector<uint8_t>& stream, std::string* error = nullptr);

// Run-length encodes a stream into 3-byte records (run length, 0 meaning 256, then a
// little-endian pixel pair). Each record takes the longest run of equal pairs that
// starts at its position, which is the shortest encoding the pair-aligned format
// allows. An odd final byte is paired with 0.
std::vector<uint8_t> encodeRuns(const uint8_t* stream, size_t size);

// Both steps: the pack file's contents for the three pictures.
bool encodePack(const Picture& vehicles, const Picture& walls, const Picture& sheet,
                std::vector<uint8_t>& pack, std::string* error = nullptr);

// Writes bytes to a file through a temporary name, so that a failed run never leaves a
// half-written file behind.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error = nullptr);

}  // namespace artgen
