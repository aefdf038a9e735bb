#include "limits/limit_rows.h"

#include <algorithm>

int LimitRowOrderKey(const std::wstring& label) {
    if (label == kFiveHourLabel) return 0;
    if (label == kWeeklyAllLabel) return 1;
    return 2;
}

int64_t WindowSecondsOfLabel(const std::wstring& label) {
    if (label == kFiveHourLabel)
        return kFiveHourSeconds;
    if (label.starts_with(L"Weekly"))
        return kWeekSeconds;
    return 0;
}

void SortLimitRows(std::vector<LimitRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const LimitRow& a, const LimitRow& b) {
        return LimitRowOrderKey(a.label) < LimitRowOrderKey(b.label);
    });
}
