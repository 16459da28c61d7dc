#pragma once
// The checks a music track passes before any decoder sees it, shared by the desktop's
// and the browser's decoders.
#include <cstddef>
#include <cstdint>
#include <string>

namespace hc {

// A track is read whole, and only when it is a regular file of at most this size (the
// game's own are about 2 MB).
constexpr uint64_t TrackFileLimit = 16u << 20;

// Walks the Ogg pages of a track: refuses a chain of more than four streams, a packet
// (such as a comment header) over 256 KB and more than 64 KB between pages. Returns the
// length up to the end of the last whole page, so that padding after it is left out, or
// 0 with a reason.
size_t checkOggPages(const uint8_t* data, size_t size, std::string& reason);

}  // namespace hc
