#pragma once

namespace hc {

// The PC set-1 scan code of a key named by the browser's KeyboardEvent.code ("KeyA",
// "ArrowUp", "Numpad8", "F2"...), 0 for keys without one. As on the desktop, keys that
// the PC keyboard sends with an E0 prefix share the code of their plain twin.
int set1ScancodeForDomCode(const char* code);

}  // namespace hc
