#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/frame_convert.h"
#include "platform/window.h"

namespace hc {

// A window without a display, for tests and benchmarks. Frames are kept in memory,
// keys follow a script indexed by poll, and typed characters and close requests come
// from the test.
//
// Polls are counted by processEvents, which the key poll calls once per poll: the
// first poll is poll 1. A key scripted as down at polls a..b reads as down from the
// a-th to the b-th poll; pressing it at one poll and releasing it at the next is a
// release the game sees.
class HeadlessWindow : public WindowBackend {
public:
    // The modes reported by listModes (already sorted); a 1366 x 768 desktop by default.
    std::vector<DisplayMode> modes{{640, 480}, {800, 600}, {1024, 768}, {1366, 768}};
    // When set, open() fails with this reason.
    std::string openFailure;

    // Called after every presented frame with the frame's pixels.
    std::function<void(const Image& frame)> onPresent;
    // Called at the start of every poll with its number.
    std::function<void(int64_t poll)> onPoll;

    // Key script. holdKey: down from poll first to poll last, inclusive.
    void holdKey(int scancode, int64_t first, int64_t last);
    // Down at the next poll only, so the poll after it sees the release.
    void tapKey(int scancode) { holdKey(scancode, polls_ + 1, polls_ + 1); }
    // Down from poll first for count polls.
    void pressKeyAt(int scancode, int64_t first, int64_t count = 1) {
        holdKey(scancode, first, first + count - 1);
    }
    void clearKeys() { spans_.clear(); }
    // Typed characters; requestClose (of every window) asks for the window to close.
    void typeChar(int c) { chars_.push_back(c); }

    int64_t polls() const { return polls_; }
    int64_t framesPresented() const { return frames_; }
    // The frames a real window would show: those whose picture or palette differs from
    // the frame shown before them. The others cost it no conversion and no present.
    int64_t framesShown() const { return shown_; }
    // The last presented frame (palette indices), empty before the first present.
    const std::vector<uint8_t>& lastFrame() const { return lastFrame_; }
    int lastFrameWidth() const { return lastWidth_; }
    int lastFrameHeight() const { return lastHeight_; }
    uint8_t lastFramePixel(int x, int y) const;
    const uint32_t* palette() const { return palette_; }

    bool isOpen() const { return open_; }
    bool wasClosed() const { return closed_; }
    bool openedWithOpenGL() const { return opengl_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::string& title() const { return title_; }
    bool pointerHidden() const { return pointerHidden_; }

    std::vector<DisplayMode> listModes() override { return modes; }
    bool open(int width, int height, bool opengl, std::string* error) override;
    void setTitle(const std::string& title) override { title_ = title; }
    void hidePointer() override { pointerHidden_ = true; }
    void setPalette(const uint32_t colourWords[256]) override;
    void present(const Image& frame) override;
    bool keyDown(int scancode) override;
    int takeChar() override;
    void processEvents() override;
    void close() override;

private:
    struct KeySpan {
        int scancode;
        int64_t first;
        int64_t last;
    };
    std::vector<KeySpan> spans_;
    std::deque<int> chars_;
    int64_t polls_ = 0;
    int64_t frames_ = 0;
    int64_t shown_ = 0;
    FrameGate gate_;
    std::vector<uint8_t> lastFrame_;
    int lastWidth_ = 0;
    int lastHeight_ = 0;
    uint32_t palette_[256] = {};
    bool open_ = false;
    bool closed_ = false;
    bool opengl_ = false;
    bool pointerHidden_ = false;
    int width_ = 0;
    int height_ = 0;
    std::string title_;
};

}  // namespace hc
