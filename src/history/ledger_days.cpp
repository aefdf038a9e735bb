#include "history/ledger_days.h"

#include <cstdio>

#include "claude_logs/usage_summary.h"
#include "core/iso_time.h"

std::string LocalDayOf(int64_t unixSeconds) {
    return LocalDateKey(unixSeconds);
}

bool DayNumber(std::string_view day, int64_t& number) {
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') {
        return false;
    }
    int64_t parts[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        for (size_t j = starts[i]; j < starts[i] + lengths[i]; ++j) {
            if (day[j] < '0' || day[j] > '9') {
                return false;
            }
            parts[i] = parts[i] * 10 + (day[j] - '0');
        }
    }
    // A real date of the years 1-9999: a ledger must not hold a 31st of February.
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int64_t year = parts[0], month = parts[1], dayOfMonth = parts[2];
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || month < 1 || month > 12 || dayOfMonth < 1 ||
        dayOfMonth > kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
        return false;
    }
    number = DaysFromCivil(parts[0], parts[1], parts[2]);
    return true;
}

std::optional<int64_t> DayNumber(std::string_view day) {
    int64_t number = 0;
    if (!DayNumber(day, number)) return std::nullopt;
    return number;
}

std::string DayFromNumber(int64_t number) {
    // The civil-from-days algorithm (proleptic Gregorian).
    const int64_t z = number + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2);
    char text[80];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(year),
                  static_cast<int>(month), static_cast<int>(day));
    return text;
}
