#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "draw/image.h"

namespace hc {

struct DisplayMode {
    int width = 0;
    int height = 0;
};

// The window backend: chosen once at start-up (SDL for the real game, headless for
// tests and benchmarks). The rest of the game sees only these operations.
class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Full-screen modes at 32 bits per pixel (24-bit desktops count as 32-bit),
    // sorted ascending by width, then height.
    virtual std::vector<DisplayMode> listModes() = 0;
    // Opens the window: software mode (8-bit palette presentation) at width x height,
    // or OpenGL mode at the display size. Returns false with a reason on failure.
    virtual bool open(int width, int height, bool opengl, std::string* error) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void hidePointer() = 0;
    // The 256 palette entries as 0xFFRRGGBB words, used to show index images.
    virtual void setPalette(const uint32_t colourWords[256]) = 0;
    // Shows a finished frame of palette indices through the current palette.
    virtual void present(const Image& frame) = 0;
    // Key state by PC set-1 scan code, as of the last event processing.
    virtual bool keyDown(int scancode) = 0;
    // One pending typed character from the keyboard buffer, or -1.
    virtual int takeChar() = 0;
    // Lets the platform process window events (input, resizes, close requests).
    virtual void processEvents() = 0;
    // Closes the window and returns to the text console.
    virtual void close() = 0;

    // Full screen on or off; F11 toggles it in the real window. A backend without a
    // screen of its own only remembers the wish.
    virtual void setFullScreen(bool on) { fullScreen_ = on; }
    virtual bool fullScreen() { return fullScreen_; }

    // A request to close the window (its close button, or SIGTERM and SIGINT, which the
    // platform turns into the same request): raised by the backend's event processing,
    // or by a test, and taken once by the key poll.
    void requestClose() { closeRequested_ = true; }
    // Seen without taking it: screens that do not poll keys (the dissolve) cut short.
    bool closePending() const { return closeRequested_; }
    bool takeCloseRequest() {
        const bool requested = closeRequested_;
        closeRequested_ = false;
        return requested;
    }

    // The keys were let go without the game seeing them come up (the window lost the
    // focus): raised by the backend, taken once by the key poll, which then lets the
    // keys go without counting their releases.
    void forgetInput() { inputForgotten_ = true; }
    bool takeForgottenInput() {
        const bool forgotten = inputForgotten_;
        inputForgotten_ = false;
        return forgotten;
    }

private:
    bool closeRequested_ = false;
    bool inputForgotten_ = false;
    bool fullScreen_ = false;
};

// The backend chosen at start-up. Null until one is set.
WindowBackend* activeWindow();
void setActiveWindow(WindowBackend* window);

}  // namespace hc
