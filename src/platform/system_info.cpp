#include "platform/system_info.h"

#include <sys/sysinfo.h>

#include <fstream>
#include <string>

namespace hc {

uint64_t freeMemoryBytes() {
    // MemAvailable counts what can be had without swapping (free plus reclaimable
    // caches); older kernels lack it, and sysinfo's free RAM stands in.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t value = 0;
    std::string unit;
    while (meminfo >> key >> value) {
        std::getline(meminfo, unit);
        if (key == "MemAvailable:") return value * 1024;
    }
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        return static_cast<uint64_t>(info.freeram) * static_cast<uint64_t>(info.mem_unit);
    }
    return 0;
}

}  // namespace hc
