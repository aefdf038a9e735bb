#include "statusline/statusline_input.h"

#include <cmath>
#include <cstdio>

#include "core/byte_search.h"
#include "core/iso_time.h"
#include "core/json_fields.h"
#include "core/numbers.h"

namespace {

constexpr auto npos = std::string_view::npos;

// One limit object of the input, found at or after the "rate_limits" anchor.
bool ParseLimit(std::string_view input, size_t anchor, std::string_view quotedKey,
                const wchar_t* label, int64_t window, LimitRow& row) {
    const size_t key = FindBytes(input, quotedKey, anchor);
    if (key == npos) {
        return false;
    }
    const size_t bound = input.find('}', key);  // npos: the end of the input
    double percent = 0;
    if (!FindNumberAfterKey(input, "used_percentage", key, bound, percent)) {
        return false;
    }
    row.label = label;
    row.percent = percent;
    row.windowSeconds = window;
    double resetsAt = 0;
    if (FindNumberAfterKey(input, "resets_at", key, bound, resetsAt)) {
        row.resetsAt = TruncateToInt64(resetsAt);
    } else if (const auto text = FindStringAfterKey(input, "resets_at", key)) {
        row.resetsAt = ParseIsoTime(*text);
    } else {
        row.resetsAt = 0;
    }
    return true;
}

}  // namespace

std::vector<LimitRow> ParseStatusLineLimits(std::string_view input) {
    std::vector<LimitRow> rows;
    const size_t anchor = FindBytes(input, "\"rate_limits\"");
    if (anchor == npos) {
        return rows;
    }
    LimitRow row;
    if (ParseLimit(input, anchor, "\"five_hour\"", kFiveHourLabel, kFiveHourSeconds, row)) {
        rows.push_back(row);
    }
    if (ParseLimit(input, anchor, "\"seven_day\"", kWeeklyAllLabel, kWeekSeconds, row)) {
        rows.push_back(row);
    }
    return rows;
}

std::string_view StatusLineDisplayName(std::string_view input) {
    const size_t at = FindBytes(input, "\"display_name\"");
    if (at == npos) {
        return {};
    }
    return FindStringAfterKey(input, "display_name", at == 0 ? 0 : at - 1)
        .value_or(std::string_view());
}

std::string FormatStatusLine(const std::vector<LimitRow>& rows, std::string_view displayName) {
    std::string status;
    for (const LimitRow& row : rows) {
        const char* unit = row.label.starts_with(L"5-hour") ? "5h" : "week";
        char part[64];
        std::snprintf(part, sizeof part, "%s%s %d%%", status.empty() ? "" : " \xC2\xB7 ", unit,
                      TruncateToInt32(std::round(row.percent)));  // halves away from zero
        status += part;
    }
    std::string line;
    if (!displayName.empty()) {
        line.append(displayName).append("  ");
    }
    line.append(status.empty() ? "Tidewell" : status).append("\n");
    return line;
}
