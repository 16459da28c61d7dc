#pragma once
#include <memory>
#include <string>

#include "platform/window.h"

namespace hc {

// The real window: SDL2 with a software presentation (a streaming texture scaled to
// the window, keeping 4:3) or an OpenGL texture quad. Returns null with a reason when
// no display can be opened. A full-screen window covers the desktop (F11 toggles).
std::unique_ptr<WindowBackend> createSdlWindow(std::string* error, bool fullscreen = false);

}  // namespace hc
