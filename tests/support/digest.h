#pragma once
#include "draw/image.h"

namespace hc::test {

// FNV-1a, 64 bit: the digest behind every golden test.
inline uint64_t fnv1a(const void* data, size_t size, uint64_t hash = 14695981039346656037ull) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

// The digest of an image's pixels, row by row (padding beyond the rows is left out).
inline uint64_t fnv1a(const Image& image) {
    uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < image.height; ++y) hash = fnv1a(pixelAddress(image, 0, y), size_t(image.width) * image.bytesPerPixel, hash);
    return hash;
}

}  // namespace hc::test
