#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/ledger_row.h"

// The report's history tables, from the rows of every machine.

// Messages, tokens and dollars for every month the rows hold, newest first.
std::string BuildMonthTable(const std::vector<LedgerRow>& rows);

// The 30 days that end with `today` (a day number) by model or by project: the ten that cost
// most (then by tokens), and the rest summed in one row "Others (N)".
std::string BuildModelTable(const std::vector<LedgerRow>& rows, int64_t today);
std::string BuildProjectTable(const std::vector<LedgerRow>& rows, int64_t today);

// A working folder as the report shows it: its last two components ("dev/app").
std::string ShortProjectName(std::string_view path);

inline constexpr int kTopCount = 10;
inline constexpr int kRecentDays = 30;
