#pragma once

#include <cstdint>
#include <string_view>

// Converts an ISO-8601 date-time such as "2025-03-01T10:15:30.123Z" or "...+02:00" to Unix
// seconds. The seconds field is required; fractions are dropped; a time without a zone is UTC.
// Fields are not range-checked. Returns 0 when the text is not a date-time.
int64_t ParseIsoTime(std::string_view text);

// Days from 1970-01-01 to the given proleptic Gregorian date (civil-days algorithm).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
