#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "history/ledger_row.h"

// The report's chart of the last 90 days: one stacked bar per day of API-equivalent dollars by
// model family, as inline SVG (no script, no external file).

enum class ModelFamily : int { kOpus, kSonnet, kHaiku, kOtherClaude, kCodex };
inline constexpr int kModelFamilyCount = 5;

// Codex for Codex rows; for Claude's, the family its model id names (any case).
ModelFamily FamilyOf(const LedgerKey& key);

// "Opus", "Sonnet", "Haiku", "Other Claude", "Codex".
const char* FamilyName(ModelFamily family);

// The family's colour, "#rrggbb".
const char* FamilyColour(ModelFamily family);

inline constexpr int kChartDays = 90;

// The chart of the 90 days that end with `today` (a day number, days since 1970-01-01), from
// the rows of every machine; rows of other days are left out.
std::string BuildHistoryChart(const std::vector<LedgerRow>& rows, int64_t today);

// Dollars as the report writes them: "$12.34", "." as the point, whatever the locale.
std::string ReportDollars(double dollars);
