#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The ledger stores a day as the number of days since 1970-01-01 (two bytes a row where the text
// takes ten). "YYYY-MM-DD" -> that number and back; none for anything that is not a real date of
// the years 1-9999.
std::optional<int64_t> LedgerDayNumber(const std::string& day);
std::string LedgerDayText(int64_t dayNumber);
