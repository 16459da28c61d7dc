#include "platform/window.h"

namespace hc {

namespace {
WindowBackend* currentWindow = nullptr;
}

WindowBackend* activeWindow() { return currentWindow; }
void setActiveWindow(WindowBackend* window) { currentWindow = window; }

}  // namespace hc
