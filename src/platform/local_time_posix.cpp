#include <ctime>

#include "platform/local_time.h"

LocalDateTime ToLocalDateTime(int64_t unixSeconds) {
    const time_t t = static_cast<time_t>(unixSeconds);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
            local.tm_min,         local.tm_sec,     local.tm_wday};
}
