#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The ledger's days are local dates written "YYYY-MM-DD"; these turn them into day numbers
// (days since 1970-01-01) and back, for counting days and months without a clock.

// The local date of a moment in the system's time zone, with the zone's rules at that moment:
// the same dates as the daily totals.
std::string LocalDayOf(int64_t unixSeconds);

// Days since 1970-01-01 of a "YYYY-MM-DD" text; false when the text is not a real date of the
// years 1-9999. (The ledger stores days as these numbers: two bytes a row where the text takes
// ten.)
bool DayNumber(std::string_view day, int64_t& number);
// The same, as an optional.
std::optional<int64_t> DayNumber(std::string_view day);

// The "YYYY-MM-DD" text of a day number.
std::string DayFromNumber(int64_t number);
