#include "platform/game_window.h"
#include "platform/sdl_window.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_syswm.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

#include "core/data_path.h"
#include "core/system.h"
#include "platform/icon_file.h"
#include "platform/frame_convert.h"
#include "platform/sdl_keys.h"

namespace hc {

namespace {

constexpr int KeyCodes = 128;
constexpr size_t CharQueueLimit = 32;

// Holds the loop to sixty frames a second where nothing else does: the window surface
// waits for no vertical sync, and neither does a frame that is not shown again.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto Period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / 60.0));

    // Waits until a sixtieth of a second after the last frame. A loop held up for a
    // moment (a busy machine) makes up the frames it lost, so that the rate stays
    // sixty; one that fell further behind starts afresh from now instead of rushing.
    void wait() {
        const Clock::time_point now = Clock::now();
        if (next_ == Clock::time_point{} || now > next_ + 4 * Period) {
            next_ = now + Period;
            return;
        }
        if (now < next_) std::this_thread::sleep_until(next_);
        next_ += Period;
    }
    // A frame was just shown by a present that waited for the display itself.
    void restart() { next_ = Clock::now() + Period; }

private:
    Clock::time_point next_{};
};

// How a software-mode frame reaches the window: our own conversion and scaling into
// the window's surface, or a streamed texture that SDL's renderer scales.
enum class Presentation { Surface, Renderer, OpenGL };

// Whether the renderer draws with the processor: SDL's own software renderer, or
// OpenGL through one of Mesa's software rasterisers (a machine without a graphics
// card). Scaling through those costs more than doing it ourselves.
bool rendersInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (std::strcmp(info.name, "software") == 0) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : nullptr;
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (std::strstr(name, software)) return true;
    }
    return false;
}

class SdlWindow : public WindowBackend {
public:
    ~SdlWindow() override { close(); }

    std::vector<DisplayMode> listModes() override;
    bool open(int width, int height, bool opengl, std::string* error) override;
    void setTitle(const std::string& title) override {
        title_ = title;
        if (window_) SDL_SetWindowTitle(window_, title.c_str());
    }
    void hidePointer() override { SDL_ShowCursor(SDL_DISABLE); }
    void setPalette(const uint32_t colourWords[256]) override { converter_.setPalette(colourWords); }
    void present(const Image& frame) override;
    bool keyDown(int scancode) override {
        return scancode > 0 && scancode < KeyCodes && keyCount_[scancode] > 0;
    }
    int takeChar() override;
    void processEvents() override { pump(); }
    void close() override;
    void setFullScreen(bool on) override {
        if (window_ && on != fullScreen()) toggleFullScreen();
    }
    bool fullScreen() override {
        return window_ && (coverMode_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0);
    }

    bool initVideo(std::string* error);
    bool startFullScreen = false;

private:
    void pump();
    void setKey(SDL_Scancode key, bool down);
    void clearKeys();
    void queueChar(int c) {
        if (chars_.size() < CharQueueLimit) chars_.push_back(c);
    }
    void toggleFullScreen();
    void noteSystemEvent(const SDL_SysWMmsg* message);
    bool awaitServerSize(int width, int height, int milliseconds);
    void setIcon();
    void presentSoftware(const Image& frame);
    void presentSurface(const Image& frame);
    void presentOpenGL(const Image& frame);
    bool createRenderer(int width, int height);
    bool useSurface();
    void countFrame(bool shown);
    void show(const Image& frame);
    void repaintIfLost(bool lost);

    bool videoUp_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_GLContext glContext_ = nullptr;
    GLuint glTexture_ = 0;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    std::vector<uint32_t> staging_;
    Presentation presentation_ = Presentation::Renderer;
    // Whether the present waits for the display's refresh; without that the pacer
    // holds every frame.
    bool vsync_ = false;
    FramePacer pacer_;
    FrameGate gate_;
    // The window surface's size when it was last painted whole (bars included).
    int surfaceWidth_ = 0, surfaceHeight_ = 0;
    SDL_Surface* surface_ = nullptr;
    // The window's size when events were last processed.
    int windowWidth_ = 0, windowHeight_ = 0;
    // Frames offered and shown, written once a second to the file named by
    // HAZARDCAB_FRAME_LOG when it is set (the processor benchmark reads it).
    long long framesOffered_ = 0, framesShown_ = 0;
    std::string frameLog_;
    Uint32 frameLogTicks_ = 0;
    std::string title_;
    FrameConverter converter_;
    // How many SDL keys with each set-1 code are down (the Up arrow and keypad 8
    // share 72), and which SDL keys are down.
    int keyCount_[KeyCodes] = {};
    bool sdlDown_[SDL_NUM_SCANCODES] = {};
    std::deque<int> chars_;
    // Full screen on X: the window's size as the X server reports it (SDL's own idea of
    // it goes wrong when no window manager answers a full-screen request), the X window,
    // and the cover mode used then: a borderless window moved over the whole display,
    // with the windowed place and size to go back to.
    bool x11_ = false;
    unsigned long xWindow_ = 0;
    int serverWidth_ = 0, serverHeight_ = 0;
    bool managerAnswers_ = true;
    bool coverMode_ = false;
    SDL_Rect windowed_{};
};

bool SdlWindow::initVideo(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    videoUp_ = true;
    // With no window system SDL falls back to drivers that draw nowhere; the game
    // would run unseen. They are used only when asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && !(asked && std::strcmp(asked, driver) == 0)) {
        if (error) *error = "no window system found (is DISPLAY set?)";
        close();
        return false;
    }
    if (SDL_GetNumVideoDisplays() < 1) {
        if (error) *error = "the window system reports no display";
        close();
        return false;
    }
    return true;
}

std::vector<DisplayMode> SdlWindow::listModes() {
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        // X servers report a 24-bit desktop as 24 bpp; it serves 32-bit pixels alike.
        const int bits = SDL_BITSPERPIXEL(mode.format);
        if (bits != 24 && bits != 32) continue;
        modes.push_back(DisplayMode{mode.w, mode.h});
    }
    std::sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    modes.erase(std::unique(modes.begin(), modes.end(),
                            [](const DisplayMode& a, const DisplayMode& b) {
                                return a.width == b.width && a.height == b.height;
                            }),
                modes.end());
    return modes;
}

bool SdlWindow::open(int width, int height, bool opengl, std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + SDL_GetError();
        close();
        return false;
    };
    // Nearest-neighbour scaling keeps the pixels sharp at any window size.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (opengl) {
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        flags |= SDL_WINDOW_OPENGL;
    }
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                               height, flags);
    if (!window_) return fail("Cannot create the window");
    setIcon();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
        x11_ = true;
        xWindow_ = info.info.x11.window;
        SDL_GetWindowSize(window_, &serverWidth_, &serverHeight_);
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
    if (opengl) {
        glContext_ = SDL_GL_CreateContext(window_);
        if (!glContext_) return fail("Cannot create the OpenGL context");
        SDL_GL_SetSwapInterval(1);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDepthMask(GL_FALSE);
        glGenTextures(1, &glTexture_);
        glBindTexture(GL_TEXTURE_2D, glTexture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        presentation_ = Presentation::OpenGL;
        vsync_ = SDL_GL_GetSwapInterval() != 0;
    } else {
        // HAZARDCAB_PRESENTATION=surface or renderer chooses; otherwise the window's
        // surface is used when the renderer would draw with the processor anyway.
        const char* asked = SDL_getenv("HAZARDCAB_PRESENTATION");
        const bool surface = asked && std::strcmp(asked, "surface") == 0;
        const bool renderer = asked && std::strcmp(asked, "renderer") == 0;
        if (!surface && !createRenderer(width, height)) return fail("Cannot create the renderer");
        if (!renderer && (surface || rendersInSoftware(renderer_))) {
            if (renderer_) SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
            if (!useSurface() && !createRenderer(width, height)) return fail("Cannot create the renderer");
        }
    }
    if (const char* log = SDL_getenv("HAZARDCAB_FRAME_LOG")) frameLog_ = log;
    if (startFullScreen) toggleFullScreen();
    return true;
}

bool SdlWindow::createRenderer(int width, int height) {
    // Vsync where the driver offers it; the software renderer is the fallback.
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return false;
    // A fixed logical size letterboxes the picture at 4:3 in any window shape.
    SDL_RenderSetLogicalSize(renderer_, width, height);
    SDL_RendererInfo info;
    vsync_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    presentation_ = Presentation::Renderer;
    return true;
}

// The window's own surface, filled by our conversion and scaling. SDL is kept from
// putting a renderer behind it, which would bring back the cost it saves. Only
// surfaces of 32-bit words laid out like our colour words (0xXXRRGGBB) are used.
bool SdlWindow::useSurface() {
    const Uint32 format = SDL_GetWindowPixelFormat(window_);
    if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) return false;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface || surface->format->format != format) return false;
    presentation_ = Presentation::Surface;
    vsync_ = false;
    return true;
}

void SdlWindow::presentSurface(const Image& frame) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface || surface->w <= 0 || surface->h <= 0) return;
    const PictureRect rect = letterbox(frame.width, frame.height, surface->w, surface->h);
    // A new surface (the window changed size) is painted whole, bars and all; after
    // that only the picture's rectangle changes.
    const bool whole = surface != surface_ || surface->w != surfaceWidth_ || surface->h != surfaceHeight_;
    if (whole) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    converter_.convertScaled(frame, static_cast<uint8_t*>(surface->pixels), surface->pitch, rect);
    if (whole) {
        SDL_UpdateWindowSurface(window_);
    } else {
        const SDL_Rect area{rect.x, rect.y, rect.width, rect.height};
        SDL_UpdateWindowSurfaceRects(window_, &area, 1);
    }
    surface_ = surface;
    surfaceWidth_ = surface->w;
    surfaceHeight_ = surface->h;
}

void SdlWindow::countFrame(bool shown) {
    ++framesOffered_;
    if (shown) ++framesShown_;
    if (frameLog_.empty() || !SDL_TICKS_PASSED(SDL_GetTicks(), frameLogTicks_ + 1000)) return;
    frameLogTicks_ = SDL_GetTicks();
    // Written aside and renamed, so that a reader never sees half a line.
    const std::string aside = frameLog_ + ".new";
    std::FILE* file = std::fopen(aside.c_str(), "w");
    if (!file) return;
    const char* path = presentation_ == Presentation::Surface ? "surface"
                       : presentation_ == Presentation::OpenGL ? "opengl"
                                                               : "renderer";
    std::fprintf(file, "frames %lld shown %lld presentation %s\n", framesOffered_, framesShown_, path);
    if (std::fclose(file) == 0) std::rename(aside.c_str(), frameLog_.c_str());
}

void SdlWindow::presentSoftware(const Image& frame) {
    if (!texture_ || textureWidth_ != frame.width || textureHeight_ != frame.height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     frame.width, frame.height);
        if (!texture_) return;
        textureWidth_ = frame.width;
        textureHeight_ = frame.height;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    converter_.convert(frame, static_cast<uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(texture_);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void SdlWindow::presentOpenGL(const Image& frame) {
    staging_.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    converter_.convert(frame, reinterpret_cast<uint8_t*>(staging_.data()), frame.width * 4);
    glBindTexture(GL_TEXTURE_2D, glTexture_);
    // Colour words 0xAARRGGBB lie in memory as B, G, R, A.
    if (textureWidth_ != frame.width || textureHeight_ != frame.height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, frame.width, frame.height, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, staging_.data());
        textureWidth_ = frame.width;
        textureHeight_ = frame.height;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.width, frame.height, GL_BGRA, GL_UNSIGNED_BYTE,
                        staging_.data());
    }
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    if (dw <= 0 || dh <= 0) return;
    glViewport(0, 0, dw, dh);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, dw, 0, dh);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Keep the picture's aspect: side bars on a wide display, bars above and below on
    // a narrow one.
    const double ratio = (static_cast<double>(frame.width) / frame.height) / (static_cast<double>(dw) / dh);
    double left = 0, right = dw, bottom = 0, top = dh;
    if (ratio <= 1.0) {
        const double margin = (1.0 - ratio) / 2.0;
        left = dw * margin;
        right = dw * (margin + ratio);
    } else {
        const double margin = (1.0 - 1.0 / ratio) / 2.0;
        bottom = dh * margin;
        top = dh * (1.0 - margin);
    }
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2d(left, bottom);
    glTexCoord2f(0, 0);
    glVertex2d(left, top);
    glTexCoord2f(1, 0);
    glVertex2d(right, top);
    glTexCoord2f(1, 1);
    glVertex2d(right, bottom);
    glEnd();
    SDL_GL_SwapWindow(window_);
}

void SdlWindow::present(const Image& frame) {
    if (!window_) return;
    // Keep the window responsive (resizes, exposure) even on screens that do not poll.
    pump();
    // A frame the window shows already is not converted, scaled or shown again; the
    // loop is still held to the frame rate, so a still screen leaves the processor idle.
    const bool shown = gate_.changed(frame, converter_.palette());
    if (!vsync_ || !shown) pacer_.wait();
    if (shown) {
        show(frame);
        if (vsync_) pacer_.restart();
    }
    countFrame(shown);
}

void SdlWindow::show(const Image& frame) {
    switch (presentation_) {
        case Presentation::Surface: presentSurface(frame); break;
        case Presentation::Renderer: presentSoftware(frame); break;
        case Presentation::OpenGL: presentOpenGL(frame); break;
    }
}

// A window that lost its picture or changed size (F11, a resize) shows the last frame
// again at once: a screen waiting for a key presents nothing until the key comes.
void SdlWindow::repaintIfLost(bool lost) {
    if (!window_) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    lost = lost || width != windowWidth_ || height != windowHeight_;
    windowWidth_ = width;
    windowHeight_ = height;
    if (!lost) return;
    if (const Image* last = gate_.last()) {
        surface_ = nullptr;  // painted whole, bars included
        show(*last);
        ++framesShown_;
    }
}

void SdlWindow::setKey(SDL_Scancode key, bool down) {
    if (key < 0 || key >= SDL_NUM_SCANCODES || sdlDown_[key] == down) return;
    sdlDown_[key] = down;
    const int code = set1Scancode(key);
    if (code <= 0 || code >= KeyCodes) return;
    keyCount_[code] += down ? 1 : -1;
}

void SdlWindow::clearKeys() {
    std::memset(sdlDown_, 0, sizeof sdlDown_);
    std::memset(keyCount_, 0, sizeof keyCount_);
}

// The game's icon, drawn by the art generator into the data folder. Without it the
// window keeps the desktop's default icon; nothing else depends on it.
void SdlWindow::setIcon() {
    const std::string path = dataFile("icons/hazardcab-64.bmp");
    std::string bytes, reason;
    if (!readIconBmp(path, bytes, reason)) {
        if (!reason.empty()) logLine("The window icon " + path + " is not used: " + reason);
        return;
    }
    SDL_Surface* icon = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!icon) return;
    // Palette index 0 (magenta) is the see-through colour, as everywhere in the art.
    if (icon->format->palette) SDL_SetColorKey(icon, SDL_TRUE, 0);
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
}

void SdlWindow::noteSystemEvent(const SDL_SysWMmsg* message) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!x11_ || !message || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& event = message->msg.x11.event;
    if (event.type == ConfigureNotify && event.xconfigure.window == xWindow_) {
        serverWidth_ = event.xconfigure.width;
        serverHeight_ = event.xconfigure.height;
    }
#else
    (void)message;
#endif
}

// Waits up to the given time for the X server to report the window at width x height.
// Only the window-system messages are taken from the queue; keys stay for the next poll.
bool SdlWindow::awaitServerSize(int width, int height, int milliseconds) {
    const Uint32 end = SDL_GetTicks() + static_cast<Uint32>(milliseconds);
    for (;;) {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_SYSWMEVENT, SDL_SYSWMEVENT) > 0)
            noteSystemEvent(event.syswm.msg);
        if (serverWidth_ == width && serverHeight_ == height) return true;
        if (SDL_TICKS_PASSED(SDL_GetTicks(), end)) return false;
        SDL_Delay(10);
    }
}

// Full screen is asked of the window manager. On an X server where no window manager
// answers (the window keeps its size while SDL takes it for the display's), the request
// is taken back and the window itself covers the display, borderless; F11 again puts it
// back where it was. Either way SDL's idea of the size stays the true one, so the
// picture is scaled to the real window.
void SdlWindow::toggleFullScreen() {
    if (coverMode_) {
        SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
        SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        coverMode_ = false;
        return;
    }
    if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        SDL_SetWindowFullscreen(window_, 0);
        return;
    }
    SDL_Rect display{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &display) != 0) return;
    SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
    if (managerAnswers_) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        if (!x11_ || awaitServerSize(display.w, display.h, 500)) return;
        SDL_SetWindowFullscreen(window_, 0);
        managerAnswers_ = false;
    }
    SDL_SetWindowBordered(window_, SDL_FALSE);
    SDL_SetWindowPosition(window_, display.x, display.y);
    SDL_SetWindowSize(window_, display.w, display.h);
    coverMode_ = true;
}

void SdlWindow::pump() {
    if (!videoUp_) return;
    SDL_Event event;
    bool toggle = false;
    bool lost = false;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_SYSWMEVENT:
                noteSystemEvent(event.syswm.msg);
                break;
            case SDL_QUIT:
                requestClose();
                break;
            case SDL_KEYDOWN: {
                const SDL_Scancode key = event.key.keysym.scancode;
                if (key == SDL_SCANCODE_F11 && !event.key.repeat && window_) toggle = true;
                setKey(key, true);
                // Keys that type control characters into the keyboard buffer.
                if (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER) queueChar(13);
                if (key == SDL_SCANCODE_ESCAPE) queueChar(27);
                if (key == SDL_SCANCODE_BACKSPACE) queueChar(8);
                if (key == SDL_SCANCODE_TAB) queueChar(9);
                break;
            }
            case SDL_KEYUP:
                setKey(event.key.keysym.scancode, false);
                break;
            case SDL_TEXTINPUT:
                for (const char* p = event.text.text; *p; ++p) {
                    const auto c = static_cast<unsigned char>(*p);
                    if (c >= 32 && c < 127) queueChar(c);
                }
                break;
            case SDL_WINDOWEVENT:
                // Keys released while another window has the focus would stay down; they
                // are let go without counting as released, so that Enter or Esc held
                // while another window takes the focus chooses nothing.
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    clearKeys();
                    forgetInput();
                }
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                    event.window.event == SDL_WINDOWEVENT_SHOWN || event.window.event == SDL_WINDOWEVENT_RESTORED) {
                    lost = true;
                }
                break;
            default:
                break;
        }
    }
    // After the loop: the toggle waits for the window system's answer.
    if (toggle) toggleFullScreen();
    repaintIfLost(lost);
}

int SdlWindow::takeChar() {
    if (chars_.empty()) return -1;
    const int c = chars_.front();
    chars_.pop_front();
    return c;
}

void SdlWindow::close() {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = nullptr;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    if (glContext_) {
        if (glTexture_) glDeleteTextures(1, &glTexture_);
        glTexture_ = 0;
        SDL_GL_DeleteContext(glContext_);
    }
    glContext_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
    surface_ = nullptr;
    surfaceWidth_ = surfaceHeight_ = 0;
    gate_.invalidate();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (videoUp_) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }
    videoUp_ = false;
    x11_ = false;
    coverMode_ = false;
    clearKeys();
}

}  // namespace

std::unique_ptr<WindowBackend> createSdlWindow(std::string* error, bool fullscreen) {
    auto window = std::make_unique<SdlWindow>();
    window->startFullScreen = fullscreen;
    if (!window->initVideo(error)) return nullptr;
    return window;
}

}  // namespace hc

namespace hc {

std::unique_ptr<WindowBackend> createGameWindow(std::string* error, bool fullscreen) {
    return createSdlWindow(error, fullscreen);
}

}  // namespace hc
