#pragma once

#include <cstdint>
#include <string>

// A moment in the user's local time zone, for display and for the dates of daily totals.
struct LocalDateTime {
    int year = 1970;
    int month = 1;    // 1-12
    int day = 1;      // 1-31
    int hour = 0;     // 0-23
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 = Sunday
};

// Converts Unix seconds to local time with the system's time-zone rules.
LocalDateTime ToLocalDateTime(int64_t unixSeconds);

// The user's locale texts for a moment in local time: the short clock time without seconds
// ("14:30", "2:30 PM"), the abbreviated day name ("Tue") and the day with the abbreviated month
// ("9 Dec"). Empty when the time cannot be converted.
std::wstring FormatLocalClockTime(int64_t unixSeconds);
std::wstring FormatLocalDayName(int64_t unixSeconds);
std::wstring FormatLocalDayMonth(int64_t unixSeconds);
