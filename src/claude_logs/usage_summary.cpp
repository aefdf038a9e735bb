#include "claude_logs/usage_summary.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/local_time.h"

namespace {

UsageBlock OpenBlock(const ClaudeLogRecord& record) {
    UsageBlock block;
    block.start = record.time / 3600 * 3600;
    block.end = block.start + kBlockSeconds;
    block.lastMessageAt = record.time;
    block.tokens = record.tokens;
    block.cost = record.cost;
    block.costEstimated = record.costEstimated;
    block.messages = 1;
    return block;
}

}  // namespace

std::string LocalDateKey(int64_t unixSeconds) {
    const LocalDateTime local = ToLocalDateTime(unixSeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.year, local.month, local.day);
    return text;
}

const std::string& LocalDays::KeyOf(int64_t time) {
    if (last_ < days_.size() && time >= days_[last_].from && time < days_[last_].until) {
        return days_[last_].key;  // sorted records mostly stay on the day before them
    }
    auto at = std::upper_bound(days_.begin(), days_.end(), time,
                               [](int64_t t, const Day& day) { return t < day.from; });
    if (at != days_.begin() && time < std::prev(at)->until) {
        last_ = static_cast<size_t>(std::prev(at) - days_.begin());
        return days_[last_].key;
    }
    // The day's bounds follow from one moment's local clock; a day in which the clocks change
    // has other bounds, and there the key is trusted for the quarter hour only (every zone
    // offset is a multiple of 15 minutes).
    const LocalDateTime local = ToLocalDateTime(time);
    Day day{time - (local.hour * 3600 + local.minute * 60 + local.second), 0, LocalDateKey(time)};
    day.until = day.from + 86400;
    if (LocalDateKey(day.from) != day.key || LocalDateKey(day.from - 1) == day.key ||
        LocalDateKey(day.until - 1) != day.key || LocalDateKey(day.until) == day.key) {
        day.from = (time >= 0 ? time / 900 : (time - 899) / 900) * 900;
        day.until = day.from + 900;
    }
    if (days_.size() >= kMaxDays) {
        days_.clear();
        at = days_.end();
    }
    const auto inserted = days_.insert(at, std::move(day));  // before begin(): it may move
    last_ = static_cast<size_t>(inserted - days_.begin());
    return days_[last_].key;
}

void LocalDays::Revalidate() {
    const auto whole = std::find_if(days_.begin(), days_.end(),
                                    [](const Day& day) { return day.until - day.from == 86400; });
    if (whole != days_.end() &&
        (LocalDateKey(whole->from) != whole->key || LocalDateKey(whole->from - 1) == whole->key)) {
        days_.clear();  // the time zone or its rules changed
    }
}

ClaudeLogSummary SummarizeClaudeUsage(bool found, const std::vector<ClaudeLogRecord>& records,
                                      int64_t now, AtomicDouble& maxblock, LocalDays* days) {
    ClaudeLogSummary summary;
    summary.found = found;
    if (records.empty()) {
        return summary;
    }
    LocalDays ownDays;
    LocalDays& dates = days ? *days : ownDays;
    dates.Revalidate();
    // Records come sorted by time, so a day's tokens are summed apart and join the map once.
    const std::string* day = &dates.KeyOf(records.front().time);
    std::string dayKey = *day;
    double dayTokens = records.front().tokens;
    UsageBlock open = OpenBlock(records.front());
    for (size_t i = 1; i < records.size(); ++i) {
        const ClaudeLogRecord& record = records[i];
        day = &dates.KeyOf(record.time);
        if (*day != dayKey) {
            summary.dailyTokens[dayKey] += dayTokens;
            dayKey = *day;
            dayTokens = 0;
        }
        dayTokens += record.tokens;
        if (record.time < open.end) {
            open.tokens += record.tokens;
            open.cost += record.cost;
            open.costEstimated = open.costEstimated || record.costEstimated;
            open.messages += 1;
            open.lastMessageAt = record.time;
        } else {
            summary.blocks.push_back(open);
            open = OpenBlock(record);
        }
    }
    summary.dailyTokens[dayKey] += dayTokens;
    summary.blocks.push_back(open);

    for (const UsageBlock& block : summary.blocks) {
        if (block.end <= now) {
            maxblock.RaiseTo(block.tokens);
        }
    }
    const UsageBlock& newest = summary.blocks.back();
    if (newest.end > now) {
        summary.active = true;
        summary.current = newest;
        const double largest = std::max(newest.tokens, maxblock.Load());
        summary.percent = largest > 0 ? newest.tokens * 100 / largest : 0;
    }
    return summary;
}
