#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "claude_logs/log_record.h"
#include "core/atomic_double.h"
#include "core/source_lines.h"

// One 5-hour window of Claude Code activity; all zero means none.
struct UsageBlock {
    int64_t start = 0;          // the first record's time rounded down to the full (UTC) hour
    int64_t end = 0;            // start + 5 hours
    int64_t lastMessageAt = 0;  // the newest record's time
    double tokens = 0;
    double cost = 0;  // US dollars at API rates
    int32_t messages = 0;
    bool costEstimated = false;  // some of its models are not in the price list
};

// The result of one scan of Claude Code's logs.
struct ClaudeLogSummary {
    bool found = false;   // a log root exists
    bool active = false;  // the newest block has not ended yet
    UsageBlock current;   // the newest block while active, else all zero
    std::vector<UsageBlock> blocks;  // oldest first
    std::map<std::string, double> dailyTokens;  // local date "YYYY-MM-DD" -> tokens
    double percent = 0;  // the running block against the largest completed one, 0-100
    std::vector<SourceLine> sources;  // the places read, and how many files gave records
};

inline constexpr int64_t kBlockSeconds = 5 * 3600;

// The local calendar days that daily totals met, kept from one summary to the next so that a
// cycle in which no log changed converts hardly any time. A day in which the clocks change is
// known by quarter hours.
class LocalDays {
public:
    // "YYYY-MM-DD" of the local date of `time`.
    const std::string& KeyOf(int64_t time);
    // Forgets every day when the time zone no longer gives the first one its bounds.
    void Revalidate();

private:
    static constexpr size_t kMaxDays = 4096;
    struct Day {
        int64_t from = 0;  // Unix seconds, inclusive
        int64_t until = 0;
        std::string key;
    };
    std::vector<Day> days_;  // by time, apart
    size_t last_ = 0;        // the day asked for last
};

// Builds the summary from the selected records (sorted by time). Every block that has ended by
// `now` raises `maxblock` to its tokens; the running block never does.
// `days`, when given, keeps the local days from one call to the next.
ClaudeLogSummary SummarizeClaudeUsage(bool found, const std::vector<ClaudeLogRecord>& records,
                                      int64_t now, AtomicDouble& maxblock,
                                      LocalDays* days = nullptr);

// "YYYY-MM-DD" of the local calendar date of a Unix time.
std::string LocalDateKey(int64_t unixSeconds);
