#include "platform/headless_window.h"

#include <cstring>

namespace hc {

void HeadlessWindow::holdKey(int scancode, int64_t first, int64_t last) {
    spans_.push_back(KeySpan{scancode, first, last});
}

uint8_t HeadlessWindow::lastFramePixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= lastWidth_ || y >= lastHeight_) return 0;
    return lastFrame_[static_cast<size_t>(y) * static_cast<size_t>(lastWidth_) + static_cast<size_t>(x)];
}

bool HeadlessWindow::open(int width, int height, bool opengl, std::string* error) {
    if (!openFailure.empty()) {
        if (error) *error = openFailure;
        return false;
    }
    width_ = width;
    height_ = height;
    opengl_ = opengl;
    gate_.invalidate();
    open_ = true;
    closed_ = false;
    return true;
}

void HeadlessWindow::setPalette(const uint32_t colourWords[256]) {
    std::memcpy(palette_, colourWords, sizeof palette_);
}

void HeadlessWindow::present(const Image& frame) {
    // Kept as one byte per pixel whatever the image's format: frames are index images.
    lastWidth_ = frame.width;
    lastHeight_ = frame.height;
    lastFrame_.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        const uint8_t* row = pixelAddress(frame, 0, y);
        uint8_t* out = lastFrame_.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.width);
        if (frame.bytesPerPixel == 1) {
            std::memcpy(out, row, static_cast<size_t>(frame.width));
        } else {
            for (int x = 0; x < frame.width; ++x) out[x] = row[x * frame.bytesPerPixel];
        }
    }
    ++frames_;
    if (gate_.changed(frame, palette_)) ++shown_;
    if (onPresent) onPresent(frame);
}

bool HeadlessWindow::keyDown(int scancode) {
    for (const KeySpan& span : spans_) {
        if (span.scancode == scancode && polls_ >= span.first && polls_ <= span.last) return true;
    }
    return false;
}

int HeadlessWindow::takeChar() {
    if (chars_.empty()) return -1;
    const int c = chars_.front();
    chars_.pop_front();
    return c;
}

void HeadlessWindow::processEvents() {
    ++polls_;
    // Spans that ended before this poll can never be down again: dropping them keeps
    // a long scripted run (a soak holds keys every frame) from growing without end.
    std::erase_if(spans_, [this](const KeySpan& span) { return span.last < polls_; });
    if (onPoll) onPoll(polls_);
}

void HeadlessWindow::close() {
    open_ = false;
    closed_ = true;
}

}  // namespace hc
