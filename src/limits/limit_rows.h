#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One labelled plan limit. The label is the row's identity: rows from different sources are
// matched by equal labels, and the label decides the order.
struct LimitRow {
    std::wstring label;  // "5-hour limit", "Weekly · All models", "Weekly · Opus", ...
    double percent = 0;  // 0-100, as the source gave it
    int64_t resetsAt = 0;  // Unix seconds; 0 = unknown
    bool binding = false;  // the limit the service says binds now (its "is_active")

    friend bool operator==(const LimitRow&, const LimitRow&) = default;
};

// Paid usage beyond the plan's limits, when the account has it switched on.
struct ExtraUsage {
    bool enabled = false;
    double spentCents = 0;
    double capCents = 0;
    bool hasCap = false;  // false: no monthly cap
    friend bool operator==(const ExtraUsage&, const ExtraUsage&) = default;
};

inline constexpr wchar_t kFiveHourLabel[] = L"5-hour limit";
inline constexpr wchar_t kWeeklyAllLabel[] = L"Weekly \u00b7 All models";

// 0 for "5-hour limit", 1 for "Weekly · All models", 2 for every other label (exact match).
int LimitRowOrderKey(const std::wstring& label);

// Puts rows in row order: a stable sort on the order key alone.
void SortLimitRows(std::vector<LimitRow>& rows);
