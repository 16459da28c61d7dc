#pragma once
#include <cstdint>

#include "draw/image.h"

namespace hc {

// Turns frames of palette indices into 32-bit colour words for the window, one table
// lookup per pixel. (A table of every pair of entries halves the lookups but, at
// 512 KB, misses the cache and measured slower.)
class FrameConverter {
public:
    void setPalette(const uint32_t colourWords[256]);
    // Rows of frame into out, outPitch bytes apart; 4-byte frames are copied as they are.
    void convert(const Image& frame, uint8_t* out, int outPitch) const;

private:
    uint32_t palette_[256] = {};
};

}  // namespace hc
