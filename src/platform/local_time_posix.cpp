#include <ctime>

#include "platform/path_bytes_posix.h"

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

namespace {

// strftime in the process's locale (the classic one unless the program set another).
std::wstring FormatLocal(int64_t unixSeconds, const char* format) {
    const time_t t = static_cast<time_t>(unixSeconds);
    struct tm local {};
    char text[64];
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    const size_t length = std::strftime(text, sizeof text, format, &local);
    return WideFromBytes(std::string_view(text, length));
}

}  // namespace

std::wstring FormatLocalClockTime(int64_t unixSeconds) { return FormatLocal(unixSeconds, "%H:%M"); }
std::wstring FormatLocalDayName(int64_t unixSeconds) { return FormatLocal(unixSeconds, "%a"); }
std::wstring FormatLocalDayMonth(int64_t unixSeconds) { return FormatLocal(unixSeconds, "%-d %b"); }
