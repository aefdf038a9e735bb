#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/ledger_row.h"

// The report's history tables, from the rows of every machine.

// Whether the tables name the login: when the rows of one tool hold more than one (a row
// recorded before logins were told apart counts as the default login's, "default").
bool HistoryShowsAccounts(const std::vector<LedgerRow>& rows);

// The login a row is shown under.
std::string ShownAccount(const LedgerRow& row);

// Messages, tokens and dollars for every month the rows hold, newest first. With `byAccount`,
// a month has a row per login, in an "Account" column after the month.
std::string BuildMonthTable(const std::vector<LedgerRow>& rows, bool byAccount = false);

// The 30 days that end with `today` (a day number) by model or by project: the ten that cost
// most (then by tokens), and the rest summed in one row "Others (N)". With `byAccount`, a model
// or project of two logins is two rows, with an "Account" column after the first.
std::string BuildModelTable(const std::vector<LedgerRow>& rows, int64_t today,
                            bool byAccount = false);
std::string BuildProjectTable(const std::vector<LedgerRow>& rows, int64_t today,
                              bool byAccount = false);

// A working folder as the report shows it: its last two components ("dev/app").
std::string ShortProjectName(std::string_view path);

inline constexpr int kTopCount = 10;
inline constexpr int kRecentDays = 30;
