// The browser edition's memory and clock: the memory the game's heap may still grow
// into, and the page's local time.
#include <emscripten/heap.h>

#include <ctime>

#include "platform/system_info.h"

namespace hc {

uint64_t freeMemoryBytes() {
    const size_t most = emscripten_get_heap_max();
    const size_t now = emscripten_get_heap_size();
    return most > now ? most - now : 0;
}

LocalDateTime localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace hc
