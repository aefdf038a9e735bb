#pragma once

#include <cstdint>

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
