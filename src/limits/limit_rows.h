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
    int64_t windowSeconds = 0;  // the length of its window; 0 = unknown (no pace)

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

inline constexpr int64_t kFiveHourSeconds = 5 * 3600;
inline constexpr int64_t kWeekSeconds = 7 * 86400;

// The window of a row known only by its label (the caches store labels): 5 hours for the 5-hour
// limit, 7 days for the weekly ones, 0 (unknown) for any other.
int64_t WindowSecondsOfLabel(const std::wstring& label);

// 0 for "5-hour limit", 1 for "Weekly · All models", 2 for every other label (exact match).
int LimitRowOrderKey(const std::wstring& label);

// Puts rows in row order: a stable sort on the order key alone.
void SortLimitRows(std::vector<LimitRow>& rows);
