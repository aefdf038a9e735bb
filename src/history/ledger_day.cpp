#include "history/ledger_day.h"

#include <cstdio>

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date, and back (the era arithmetic that
// std::chrono's calendar uses, counting 400-year eras from March, so leap days fall last).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsLeap(int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

std::optional<int64_t> LedgerDayNumber(const std::string& day) {
    if (day.size() != 10 || day[4] != '-' || day[7] != '-')
        return std::nullopt;
    int64_t parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < lengths[i]; ++k) {
            const char c = day[static_cast<size_t>(starts[i] + k)];
            if (c < '0' || c > '9')
                return std::nullopt;
            parts[i] = parts[i] * 10 + (c - '0');
        }
    }
    const int64_t y = parts[0], m = parts[1], d = parts[2];
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return std::nullopt;
    if (d > kMonthDays[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0))
        return std::nullopt;
    return DaysFromCivil(y, m, d);
}

std::string LedgerDayText(int64_t dayNumber) {
    const int64_t z = dayNumber + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d));
    return text;
}
