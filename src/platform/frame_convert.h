#pragma once
#include <cstdint>
#include <vector>

#include "draw/image.h"

namespace hc {

// Where a picture lands in a window: as large as fits at its own shape, centred, with
// black bars on the sides or above and below. scale is window pixels per picture pixel.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float scale = 1.0f;
};

// The rectangle a width x height picture takes in a windowWidth x windowHeight window:
// the same one SDL's renderer gives a logical size of width x height, so that both ways
// of showing a frame put it in the same place.
PictureRect letterbox(int width, int height, int windowWidth, int windowHeight);

// Turns frames of palette indices into 32-bit colour words for the window, one table
// lookup per pixel. (A table of every pair of entries halves the lookups but, at
// 512 KB, misses the cache and measured slower.)
class FrameConverter {
public:
    void setPalette(const uint32_t colourWords[256]);
    const uint32_t* palette() const { return palette_; }
    // Rows of frame into out, outPitch bytes apart; 4-byte frames are copied as they are.
    void convert(const Image& frame, uint8_t* out, int outPitch) const;
    // Converts and scales in one pass: each pixel of the rectangle rect of out (32-bit
    // words, outPitch bytes a row) takes the frame pixel under its centre. A window row
    // that shows the same frame row as the one above it is copied from it.
    void convertScaled(const Image& frame, uint8_t* out, int outPitch, const PictureRect& rect);

private:
    uint32_t palette_[256] = {};
    // Which frame column each column of the rectangle shows, kept while the sizes stay.
    std::vector<int> columns_;
    int columnsFrameWidth_ = 0;
    float columnsScale_ = 0.0f;
};

// The last frame and palette let through to the window: a frame with the same pixels
// under the same palette shows nothing new, so the window need not convert, scale or
// show it again. The first frame, and the first after invalidate(), always passes.
class FrameGate {
public:
    // Whether frame under palette differs from the last one let through; when it does
    // it becomes the last one.
    bool changed(const Image& frame, const uint32_t palette[256]);
    // The window lost its picture (exposed, resized): the next frame passes.
    void invalidate() { valid_ = false; }
    // The last frame let through (its pixels kept here), or null before the first.
    const Image* last() const { return valid_ ? &lastImage_ : nullptr; }

private:
    std::vector<uint8_t> last_;
    Image lastImage_;
    uint32_t palette_[256] = {};
    int width_ = 0;
    int height_ = 0;
    int bytesPerPixel_ = 0;
    bool valid_ = false;
};

}  // namespace hc
