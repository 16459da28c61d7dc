#include "platform/frame_convert.h"

#include <cmath>
#include <cstring>

namespace hc {

PictureRect letterbox(int width, int height, int windowWidth, int windowHeight) {
    PictureRect rect;
    if (width <= 0 || height <= 0 || windowWidth <= 0 || windowHeight <= 0) return rect;
    // Single precision and these roundings, as the renderer works them out.
    const float want = static_cast<float>(width) / static_cast<float>(height);
    const float real = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    if (std::fabs(want - real) < 0.0001f) {
        rect.width = windowWidth;
        rect.height = windowHeight;
        rect.scale = static_cast<float>(windowWidth) / static_cast<float>(width);
    } else if (want > real) {
        // Wider than the window: bars above and below.
        rect.scale = static_cast<float>(windowWidth) / static_cast<float>(width);
        rect.width = windowWidth;
        rect.height = static_cast<int>(std::floor(static_cast<float>(height) * rect.scale));
        rect.y = (windowHeight - rect.height) / 2;
    } else {
        rect.scale = static_cast<float>(windowHeight) / static_cast<float>(height);
        rect.height = windowHeight;
        rect.width = static_cast<int>(std::floor(static_cast<float>(width) * rect.scale));
        rect.x = (windowWidth - rect.width) / 2;
    }
    return rect;
}

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

namespace {

// The frame pixel under the centre of window pixel i of the picture, held inside the frame.
int sourceIndex(int i, float scale, int size) {
    const int s = static_cast<int>(std::floor((static_cast<float>(i) + 0.5f) / scale));
    return s < 0 ? 0 : s >= size ? size - 1 : s;
}

}  // namespace

void FrameConverter::convertScaled(const Image& frame, uint8_t* out, int outPitch, const PictureRect& rect) {
    if (frame.width <= 0 || frame.height <= 0 || rect.width <= 0 || rect.height <= 0 || rect.scale <= 0.0f) return;
    if (static_cast<int>(columns_.size()) != rect.width || columnsFrameWidth_ != frame.width || columnsScale_ != rect.scale) {
        columns_.resize(static_cast<size_t>(rect.width));
        for (int i = 0; i < rect.width; ++i) columns_[static_cast<size_t>(i)] = sourceIndex(i, rect.scale, frame.width);
        columnsFrameWidth_ = frame.width;
        columnsScale_ = rect.scale;
    }
    const size_t rowBytes = static_cast<size_t>(rect.width) * 4;
    int shownRow = -1;
    const uint32_t* previous = nullptr;
    for (int j = 0; j < rect.height; ++j) {
        auto* dst = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(outPitch) * static_cast<size_t>(rect.y + j)) + rect.x;
        const int row = sourceIndex(j, rect.scale, frame.height);
        if (row == shownRow) {
            std::memcpy(dst, previous, rowBytes);
        } else {
            const uint8_t* src = pixelAddress(frame, 0, row);
            if (frame.bytesPerPixel == 1) {
                for (int i = 0; i < rect.width; ++i) dst[i] = palette_[src[columns_[static_cast<size_t>(i)]]];
            } else {
                const auto* words = reinterpret_cast<const uint32_t*>(src);
                for (int i = 0; i < rect.width; ++i) dst[i] = words[columns_[static_cast<size_t>(i)]];
            }
            shownRow = row;
        }
        previous = dst;
    }
}

bool FrameGate::changed(const Image& frame, const uint32_t palette[256]) {
    const size_t rowBytes = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.bytesPerPixel);
    const size_t rows = frame.height > 0 ? static_cast<size_t>(frame.height) : 0;
    bool same = valid_ && frame.width == width_ && frame.height == height_ &&
                frame.bytesPerPixel == bytesPerPixel_ && std::memcmp(palette, palette_, sizeof palette_) == 0;
    for (size_t y = 0; same && y < rows; ++y) {
        same = std::memcmp(pixelAddress(frame, 0, static_cast<int>(y)), last_.data() + y * rowBytes, rowBytes) == 0;
    }
    if (same) return false;
    last_.resize(rowBytes * rows);
    for (size_t y = 0; y < rows; ++y) {
        std::memcpy(last_.data() + y * rowBytes, pixelAddress(frame, 0, static_cast<int>(y)), rowBytes);
    }
    std::memcpy(palette_, palette, sizeof palette_);
    width_ = frame.width;
    height_ = frame.height;
    bytesPerPixel_ = frame.bytesPerPixel;
    lastImage_ = Image{frame.width, frame.height, frame.bytesPerPixel, static_cast<int32_t>(rowBytes), last_.data()};
    valid_ = true;
    return true;
}

}  // namespace hc
