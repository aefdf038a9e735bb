#include "claude_logs/usage_summary.h"

#include <algorithm>
#include <cstdio>

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

// Sorted records need one time-zone conversion per local day, not per record: the day's bounds
// follow from one moment's local clock. A day in which the clocks change has other bounds; there
// the key is trusted for the quarter hour only (every zone offset is a multiple of 15 minutes).
class LocalDates {
public:
    const std::string& For(int64_t time) {
        if (time >= from_ && time < until_ && !key_.empty()) {
            return key_;
        }
        const LocalDateTime local = ToLocalDateTime(time);
        key_ = LocalDateKey(time);
        from_ = time - (local.hour * 3600 + local.minute * 60 + local.second);
        until_ = from_ + 86400;
        if (LocalDateKey(from_) != key_ || LocalDateKey(from_ - 1) == key_ ||
            LocalDateKey(until_ - 1) != key_ || LocalDateKey(until_) == key_) {
            from_ = (time >= 0 ? time / 900 : (time - 899) / 900) * 900;
            until_ = from_ + 900;
        }
        return key_;
    }

private:
    int64_t from_ = 0;
    int64_t until_ = 0;
    std::string key_;
};

}  // namespace

std::string LocalDateKey(int64_t unixSeconds) {
    const LocalDateTime local = ToLocalDateTime(unixSeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.year, local.month, local.day);
    return text;
}

ClaudeLogSummary SummarizeClaudeUsage(bool found, const std::vector<ClaudeLogRecord>& records,
                                      int64_t now, AtomicDouble& maxblock) {
    ClaudeLogSummary summary;
    summary.found = found;
    if (records.empty()) {
        return summary;
    }
    // Records come sorted by time, so a day's tokens are summed apart and join the map once.
    LocalDates dates;
    const std::string* day = &dates.For(records.front().time);
    std::string dayKey = *day;
    double dayTokens = records.front().tokens;
    UsageBlock open = OpenBlock(records.front());
    for (size_t i = 1; i < records.size(); ++i) {
        const ClaudeLogRecord& record = records[i];
        day = &dates.For(record.time);
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
