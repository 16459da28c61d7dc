#pragma once
#include <memory>
#include <string>

#include "platform/window.h"

namespace hc {

// The window the game itself plays in: a desktop window, or the page's canvas in the
// browser edition. Null with a reason when there is no display to open.
std::unique_ptr<WindowBackend> createGameWindow(std::string* error, bool fullscreen);

}  // namespace hc
