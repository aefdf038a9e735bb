// Daily totals follow the local calendar: checked with fixed time zones.
#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "claude_logs/usage_summary.h"
#include "core/iso_time.h"
#include "support/temp_dir.h"

namespace {

class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        const char* old = getenv("TZ");
        saved_ = old ? old : "";
        hadZone_ = old != nullptr;
        SetEnvironment("TZ", zone);
        tzset();
    }
    ~TimeZone() {
        SetEnvironment("TZ", hadZone_ ? saved_.c_str() : nullptr);
        tzset();
    }

private:
    std::string saved_;
    bool hadZone_ = false;
};

TEST(LocalDates, OneBlockAcrossLocalMidnightGivesTwoDates) {
    TimeZone zone("EST5EDT");  // UTC-5 in March before the switch
    const int64_t before = ParseIsoTime("2025-03-02T04:30:00Z");  // 23:30 local on the 1st
    const int64_t after = ParseIsoTime("2025-03-02T05:30:00Z");   // 00:30 local on the 2nd
    AtomicDouble maxblock;
    const ClaudeLogSummary s =
        SummarizeClaudeUsage(true, {{before, 10, 0, {}}, {after, 5, 0, {}}}, after + 60, maxblock);
    ASSERT_EQ(s.blocks.size(), 1u);
    ASSERT_EQ(s.dailyTokens.size(), 2u);
    EXPECT_EQ(s.dailyTokens.at("2025-03-01"), 10);
    EXPECT_EQ(s.dailyTokens.at("2025-03-02"), 5);
}

TEST(LocalDates, HalfHourZonesSplitOnTheirOwnMidnight) {
    TimeZone zone("IST-5:30");
    EXPECT_EQ(LocalDateKey(ParseIsoTime("2025-03-01T18:29:59Z")), "2025-03-01");
    EXPECT_EQ(LocalDateKey(ParseIsoTime("2025-03-01T18:30:00Z")), "2025-03-02");
    // The per-quarter-hour cache must not carry a date across that boundary.
    AtomicDouble maxblock;
    const int64_t a = ParseIsoTime("2025-03-01T18:29:00Z");
    const int64_t b = ParseIsoTime("2025-03-01T18:31:00Z");
    const ClaudeLogSummary s =
        SummarizeClaudeUsage(true, {{a, 1, 0, {}}, {b, 2, 0, {}}}, b, maxblock);
    EXPECT_EQ(s.dailyTokens.at("2025-03-01"), 1);
    EXPECT_EQ(s.dailyTokens.at("2025-03-02"), 2);
}

// Zones a quarter hour off the half hours: a cache of dates per half hour would put both records
// of each pair on one date.
TEST(LocalDates, QuarterHourZonesSplitOnTheirOwnMidnight) {
    struct Case {
        const char* zone;
        const char* lastOfDay;   // UTC, one minute before local midnight
        const char* firstOfDay;  // UTC, one minute after
    };
    const Case cases[] = {
        {"NPT-5:45", "2025-03-01T18:14:00Z", "2025-03-01T18:16:00Z"},
        {"CHAST-12:45", "2025-03-01T11:14:00Z", "2025-03-01T11:16:00Z"},
    };
    for (const Case& c : cases) {
        TimeZone zone(c.zone);
        AtomicDouble maxblock;
        const int64_t a = ParseIsoTime(c.lastOfDay);
        const int64_t b = ParseIsoTime(c.firstOfDay);
        const ClaudeLogSummary s = SummarizeClaudeUsage(true, {{a, 1, 0, {}}, {b, 2, 0, {}}}, b, maxblock);
        ASSERT_EQ(s.dailyTokens.size(), 2u) << c.zone;
        EXPECT_EQ(s.dailyTokens.begin()->second, 1) << c.zone;
        EXPECT_EQ(s.dailyTokens.rbegin()->second, 2) << c.zone;
    }
}

}  // namespace

namespace {

// Days on which the clocks change are 23 or 25 hours long: the totals of records every 7
// minutes across both changes of the year match a conversion of each record's own time, also
// with the days kept from one summary to the next while the zone changes.
TEST(LocalDates, DaysWithAChangeOfClocksMatchRecordByRecord) {
    LocalDays days;
    for (const char* name : {"EST5EDT,M3.2.0,M11.1.0", "CET-1CEST,M3.5.0,M10.5.0/3",
                             "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "UTC0"}) {
        TimeZone zone(name);
        for (const char* around :
             {"2025-03-08T00:00:00Z", "2025-03-29T00:00:00Z", "2025-10-25T00:00:00Z",
              "2025-11-01T00:00:00Z", "2025-04-05T00:00:00Z", "2025-10-04T00:00:00Z"}) {
            std::vector<ClaudeLogRecord> records;
            std::map<std::string, double> expected;
            for (int64_t t = ParseIsoTime(around); t < ParseIsoTime(around) + 3 * 86400; t += 420) {
                records.push_back({t, 1, 0, {}});
                expected[LocalDateKey(t)] += 1;
            }
            AtomicDouble maxblock;
            const ClaudeLogSummary s =
                SummarizeClaudeUsage(true, records, records.back().time, maxblock);
            EXPECT_EQ(s.dailyTokens, expected) << name << " around " << around;
            // The days kept across calls, out of order and across changes of zone, agree.
            const ClaudeLogSummary kept =
                SummarizeClaudeUsage(true, records, records.back().time, maxblock, &days);
            EXPECT_EQ(kept.dailyTokens, expected) << name << " around " << around << ", kept";
        }
    }
}

}  // namespace
