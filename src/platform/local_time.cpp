// The local date and time, the same on the desktop and in the browser.
#include <ctime>

#include "platform/system_info.h"

namespace hc {

LocalDateTime localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace hc
