#pragma once
#include <cstdint>
#include <string>

namespace hc {

// Free physical memory in bytes (the platform's full figure).
uint64_t freeMemoryBytes();

struct LocalDateTime {
    int year, month, day, hour, minute, second;
};
LocalDateTime localDateTime();

}  // namespace hc
