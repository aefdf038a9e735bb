#include <windows.h>

#include "platform/local_time.h"

LocalDateTime ToLocalDateTime(int64_t unixSeconds) {
    // FILETIME counts 100-nanosecond intervals since 1601-01-01.
    constexpr int64_t kEpochDifference = 11644473600LL;
    const uint64_t ticks = static_cast<uint64_t>(unixSeconds + kEpochDifference) * 10000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcTime{}, local{};
    if (unixSeconds < -kEpochDifference || !FileTimeToSystemTime(&utc, &utcTime) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local)) {
        return {};
    }
    return {local.wYear, local.wMonth, local.wDay,      local.wHour,
            local.wMinute, local.wSecond, local.wDayOfWeek};
}
