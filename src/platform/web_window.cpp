// The browser edition's window: the page's canvas, its keys and its focus. Frames are
// converted as on the desktop and put on the canvas as they are presented; every
// present and every sleep hands the tab back to the browser (the game's loops stay as
// they are and are suspended there), which is when key events arrive.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "core/system.h"
#include "platform/frame_convert.h"
#include "platform/game_window.h"
#include "platform/web_keys.h"

namespace hc {

namespace {

constexpr int KeyCodes = 128;
constexpr size_t CharQueueLimit = 32;
// A loop that polls keys without presenting or sleeping still gives the browser a turn
// this often.
constexpr double LongestTurn = 0.05;

double lastYield = 0;

// Waits for the browser's next picture (or a tenth of a second in a hidden tab, where
// pictures stop), so that a loop that presents as fast as it can runs at the display's
// rate and leaves the page its time for key events.
EM_ASYNC_JS(void, waitForNextPicture, (), {
    await new Promise(resolve => {
        const timer = setTimeout(resolve, 100);
        requestAnimationFrame(() => { clearTimeout(timer); resolve(); });
    });
});

void yieldToBrowser(int ms) {
    emscripten_sleep(static_cast<unsigned>(ms < 0 ? 0 : ms));
    lastYield = emscripten_get_now() / 1000.0;
}

// Keys the browser keeps for itself (reload, the developer tools). The browser's own
// actions of the game's other keys (scrolling, moving the focus, help, search, full
// screen) are prevented while the game has the focus.
bool browserKeepsKey(const char* code) {
    return std::strcmp(code, "F5") == 0 || std::strcmp(code, "F12") == 0;
}

class WebWindow : public WindowBackend {
public:
    WebWindow();
    ~WebWindow() override { close(); }

    std::vector<DisplayMode> listModes() override {
        const int width = EM_ASM_INT({ return screen.width | 0; });
        const int height = EM_ASM_INT({ return screen.height | 0; });
        std::vector<DisplayMode> modes{{640, 480}};
        if (width > 640 && height > 480) modes.push_back({width, height});
        return modes;
    }
    // The canvas is the only presentation in the browser: an OpenGL request is served by
    // it too, at the render size.
    bool open(int width, int height, bool opengl, std::string* error) override;
    void setTitle(const std::string& title) override {
        EM_ASM({ document.title = UTF8ToString($0); }, title.c_str());
    }
    void hidePointer() override {
        EM_ASM({ Module.canvas.style.cursor = 'none'; });
    }
    void setPalette(const uint32_t colourWords[256]) override;
    void present(const Image& frame) override;
    bool keyDown(int scancode) override {
        return scancode > 0 && scancode < KeyCodes && keyCount_[scancode] > 0;
    }
    int takeChar() override {
        if (chars_.empty()) return -1;
        const int c = chars_.front();
        chars_.pop_front();
        return c;
    }
    void processEvents() override {
        if (emscripten_get_now() / 1000.0 - lastYield > LongestTurn) yieldToBrowser(0);
    }
    void close() override { clearKeys(); }
    void setFullScreen(bool on) override;
    bool fullScreen() override {
        EmscriptenFullscreenChangeEvent status;
        return emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS &&
               status.isFullscreen;
    }

private:
    static EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void* self);
    static EM_BOOL onBlur(int type, const EmscriptenFocusEvent* event, void* self);
    bool key(int type, const EmscriptenKeyboardEvent& event);
    void setKey(const char* code, int set1, bool down);
    void clearKeys() {
        held_.clear();
        std::memset(keyCount_, 0, sizeof keyCount_);
    }
    void queueChar(int c) {
        if (chars_.size() < CharQueueLimit) chars_.push_back(c);
    }

    FrameConverter converter_;
    std::vector<uint32_t> staging_;
    int keyCount_[KeyCodes] = {};
    // The browser's codes of the keys down, so that a key's release is counted once.
    std::vector<std::string> held_;
    std::deque<int> chars_;
};

WebWindow::WebWindow() {
    // The game's sleeps become the browser's: the loop waits there without holding the tab.
    setClockHooks(ClockHooks{nullptr, [](int ms) { yieldToBrowser(ms); }});
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onBlur);
    // The program's end leaves the page to the browser: the keys are the browser's
    // again, and the page writes the saves through and offers another game. The
    // program stays suspended for good (an exit from a resumed program would reach the
    // page as an error).
    setProcessEndHandler([](int status) {
        emscripten_html5_remove_all_event_listeners();
        EM_ASM({ if (Module.hcEnded) Module.hcEnded($0); }, status);
        for (;;) emscripten_sleep(1u << 30);
    });
}

bool WebWindow::open(int width, int height, bool opengl, std::string* error) {
    (void)opengl;
    (void)error;
    (void)width;
    (void)height;
    return true;
}

void WebWindow::setPalette(const uint32_t colourWords[256]) {
    // The canvas takes bytes R, G, B, A: the words are turned round to 0xAABBGGRR.
    uint32_t swapped[256];
    for (int i = 0; i < 256; ++i) {
        const uint32_t w = colourWords[i];
        swapped[i] = (w & 0xFF00FF00u) | (w & 0xFFu) << 16 | (w >> 16 & 0xFFu);
    }
    converter_.setPalette(swapped);
}

void WebWindow::present(const Image& frame) {
    staging_.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    converter_.convert(frame, reinterpret_cast<uint8_t*>(staging_.data()), frame.width * 4);
    // The time the game worked on this frame since it last had the tab back.
    const double work = emscripten_get_now() - lastYield * 1000.0;
    EM_ASM({ Module.hcPresent($0, $1, $2, $3); }, staging_.data(), frame.width, frame.height, work);
    waitForNextPicture();
    lastYield = emscripten_get_now() / 1000.0;
}

void WebWindow::setFullScreen(bool on) {
    // Browsers grant full screen only in answer to a key or a click; a wish from a
    // setting at start-up may be refused, and the game goes on in the page.
    if (on == fullScreen()) return;
    if (on) {
        EmscriptenFullscreenStrategy strategy{};
        strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_ASPECT;
        strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
        strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_NEAREST;
        emscripten_request_fullscreen_strategy("#canvas", false, &strategy);
    } else {
        emscripten_exit_fullscreen();
    }
}

EM_BOOL WebWindow::onKey(int type, const EmscriptenKeyboardEvent* event, void* self) {
    return static_cast<WebWindow*>(self)->key(type, *event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL WebWindow::onBlur(int, const EmscriptenFocusEvent*, void* self) {
    // Keys let go while the page had no focus would stay down: they are let go without
    // counting as released, as on the desktop.
    auto* window = static_cast<WebWindow*>(self);
    window->clearKeys();
    window->forgetInput();
    return EM_FALSE;
}

// Returns whether the browser's own action of the key is to be prevented.
bool WebWindow::key(int type, const EmscriptenKeyboardEvent& event) {
    const int set1 = set1ScancodeForDomCode(event.code);
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    if (set1 == 0 || browserKeepsKey(event.code) || event.ctrlKey || event.metaKey) {
        if (!down) setKey(event.code, set1, false);
        return false;
    }
    setKey(event.code, set1, down);
    if (down) {
        if (set1 == 87 && !event.repeat) setFullScreen(!fullScreen());
        if (set1 == 28) queueChar(13);
        else if (set1 == 1) queueChar(27);
        else if (set1 == 14) queueChar(8);
        else if (set1 == 15) queueChar(9);
        else if (std::strlen(event.key) == 1 && event.key[0] >= 32 && event.key[0] < 127) queueChar(event.key[0]);
    }
    return true;
}

void WebWindow::setKey(const char* code, int set1, bool down) {
    const auto it = std::find(held_.begin(), held_.end(), code);
    const bool was = it != held_.end();
    if (was == down) return;
    if (down) held_.emplace_back(code);
    else held_.erase(it);
    if (set1 > 0 && set1 < KeyCodes) keyCount_[set1] += down ? 1 : -1;
}

}  // namespace

std::unique_ptr<WindowBackend> createGameWindow(std::string*, bool fullscreen) {
    auto window = std::make_unique<WebWindow>();
    if (fullscreen) window->setFullScreen(true);
    return window;
}

}  // namespace hc
