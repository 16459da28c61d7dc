#include "platform/frame_convert.h"

#include <cstring>

namespace hc {

void FrameConverter::setPalette(const uint32_t colourWords[256]) {
    std::memcpy(palette_, colourWords, sizeof palette_);
}

void FrameConverter::convert(const Image& frame, uint8_t* out, int outPitch) const {
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* src = pixelAddress(frame, 0, y);
        auto* dst = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(outPitch) * static_cast<size_t>(y));
        if (frame.bytesPerPixel == 1) {
            for (int x = 0; x < frame.width; ++x) dst[x] = palette_[src[x]];
        } else {
            std::memcpy(dst, src, static_cast<size_t>(frame.width) * 4);
        }
    }
}

}  // namespace hc
