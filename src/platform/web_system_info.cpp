// The browser edition's free memory: what the game's heap may still grow into.
#include <emscripten/heap.h>


#include "platform/system_info.h"

namespace hc {

uint64_t freeMemoryBytes() {
    const size_t most = emscripten_get_heap_max();
    const size_t now = emscripten_get_heap_size();
    return most > now ? most - now : 0;
}

}  // namespace hc
