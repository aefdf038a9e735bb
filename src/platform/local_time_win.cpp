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

namespace {

// The moment as local calendar time, converted the way Explorer does for file times.
bool LocalSystemTime(int64_t unixSeconds, SYSTEMTIME& local) {
    constexpr int64_t kEpochDifference = 11644473600LL;
    if (unixSeconds < -kEpochDifference || unixSeconds > 900000000000LL) {
        return false;
    }
    const uint64_t ticks = static_cast<uint64_t>(unixSeconds + kEpochDifference) * 10000000ULL;
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME localFile;
    return FileTimeToLocalFileTime(&utc, &localFile) && FileTimeToSystemTime(&localFile, &local);
}

std::wstring FormatDate(int64_t unixSeconds, const wchar_t* picture) {
    SYSTEMTIME local;
    wchar_t text[64];
    if (!LocalSystemTime(unixSeconds, local) ||
        GetDateFormatEx(nullptr, 0, &local, picture, text, 64, nullptr) == 0) {
        return {};
    }
    return text;
}

}  // namespace

std::wstring FormatLocalClockTime(int64_t unixSeconds) {
    SYSTEMTIME local;
    wchar_t text[64];
    if (!LocalSystemTime(unixSeconds, local) ||
        GetTimeFormatEx(nullptr, TIME_NOSECONDS, &local, nullptr, text, 64) == 0) {
        return {};
    }
    return text;
}

std::wstring FormatLocalDayName(int64_t unixSeconds) { return FormatDate(unixSeconds, L"ddd"); }
std::wstring FormatLocalDayMonth(int64_t unixSeconds) { return FormatDate(unixSeconds, L"d MMM"); }
