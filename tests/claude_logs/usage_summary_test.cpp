#include "claude_logs/usage_summary.h"

#include <gtest/gtest.h>

#include "core/iso_time.h"

namespace {

int64_t T(const char* hhmmss) {
    return ParseIsoTime(std::string("2025-03-01T") + hhmmss + "Z");
}

std::vector<ClaudeLogRecord> Records(std::initializer_list<std::pair<const char*, double>> list) {
    std::vector<ClaudeLogRecord> records;
    for (const auto& [time, tokens] : list) {
        records.push_back({T(time), tokens, tokens / 1000, {}});
    }
    return records;
}

TEST(SummarizeClaudeUsage, NoRecordsGiveTheEmptySummary) {
    AtomicDouble maxblock(50);
    const ClaudeLogSummary s = SummarizeClaudeUsage(true, {}, T("12:00:00"), maxblock);
    EXPECT_TRUE(s.found);
    EXPECT_FALSE(s.active);
    EXPECT_TRUE(s.blocks.empty());
    EXPECT_TRUE(s.dailyTokens.empty());
    EXPECT_EQ(s.percent, 0);
    EXPECT_EQ(s.current.start, 0);
    EXPECT_EQ(maxblock.Load(), 50);
}

TEST(SummarizeClaudeUsage, BlocksStartOnTheHourAndCloseAfterFiveHours) {
    AtomicDouble maxblock;
    const ClaudeLogSummary s = SummarizeClaudeUsage(
        true, Records({{"10:40:00", 1}, {"11:10:00", 2}, {"15:05:00", 4}}), T("16:00:00"), maxblock);
    ASSERT_EQ(s.blocks.size(), 2u);
    EXPECT_EQ(s.blocks[0].start, T("10:00:00"));
    EXPECT_EQ(s.blocks[0].end, T("15:00:00"));
    EXPECT_EQ(s.blocks[0].messages, 2);
    EXPECT_EQ(s.blocks[0].tokens, 3);
    EXPECT_DOUBLE_EQ(s.blocks[0].cost, 0.003);
    EXPECT_EQ(s.blocks[0].lastMessageAt, T("11:10:00"));
    EXPECT_EQ(s.blocks[1].start, T("15:00:00"));
    EXPECT_EQ(s.blocks[1].messages, 1);
    EXPECT_TRUE(s.active);
    EXPECT_EQ(s.current.tokens, 4);
    EXPECT_EQ(maxblock.Load(), 3);  // the first block has ended
    EXPECT_EQ(s.percent, 100);      // 4 against max(4, 3)
}

TEST(SummarizeClaudeUsage, ARecordAtExactlyTheEndOpensTheNextBlock) {
    AtomicDouble maxblock;
    const ClaudeLogSummary s = SummarizeClaudeUsage(
        true, Records({{"10:40:00", 1}, {"14:59:59", 1}, {"15:00:00", 1}}), T("15:30:00"), maxblock);
    ASSERT_EQ(s.blocks.size(), 2u);
    EXPECT_EQ(s.blocks[0].messages, 2);
    EXPECT_EQ(s.blocks[1].start, T("15:00:00"));
}

TEST(SummarizeClaudeUsage, ABlockEndingAtNowIsOverAndTeachesTheLargestBlock) {
    AtomicDouble maxblock(100);
    const auto records = Records({{"10:40:00", 300}, {"14:59:00", 200}});
    ClaudeLogSummary s = SummarizeClaudeUsage(true, records, T("14:59:59"), maxblock);
    EXPECT_TRUE(s.active);
    EXPECT_EQ(maxblock.Load(), 100);  // the running block never raises it
    EXPECT_EQ(s.percent, 100);        // 500 against max(500, 100)
    EXPECT_EQ(s.current.lastMessageAt, T("14:59:00"));

    s = SummarizeClaudeUsage(true, records, T("15:00:00"), maxblock);
    EXPECT_FALSE(s.active);
    EXPECT_EQ(s.percent, 0);
    EXPECT_EQ(s.current.tokens, 0);
    EXPECT_EQ(maxblock.Load(), 500);
}

TEST(SummarizeClaudeUsage, PercentIsAgainstTheLargestBlock) {
    const auto running = Records({{"11:00:00", 500}});
    AtomicDouble none;
    EXPECT_EQ(SummarizeClaudeUsage(true, running, T("12:00:00"), none).percent, 100);
    AtomicDouble learned(2000);
    EXPECT_EQ(SummarizeClaudeUsage(true, running, T("12:00:00"), learned).percent, 25);
    AtomicDouble zeroTokens;
    EXPECT_EQ(SummarizeClaudeUsage(true, Records({{"11:00:00", 0}}), T("12:00:00"), zeroTokens)
                  .percent,
              0);
}

TEST(SummarizeClaudeUsage, ASmallerEndedBlockLeavesTheLargestAlone) {
    AtomicDouble maxblock(1000);
    SummarizeClaudeUsage(true, Records({{"01:00:00", 10}}), T("12:00:00"), maxblock);
    EXPECT_EQ(maxblock.Load(), 1000);
}

TEST(SummarizeClaudeUsage, DailyTotalsCoverEveryRecord) {
    AtomicDouble maxblock;
    std::vector<ClaudeLogRecord> records = Records({{"10:00:00", 1}, {"11:00:00", 2}});
    records.push_back({T("10:00:00") + 86400, 4, 0, {}});
    const ClaudeLogSummary s = SummarizeClaudeUsage(true, records, T("12:00:00") + 86400, maxblock);
    ASSERT_EQ(s.dailyTokens.size(), 2u);
    EXPECT_EQ(s.dailyTokens.begin()->second, 3);
    EXPECT_EQ(s.dailyTokens.rbegin()->second, 4);
    EXPECT_EQ(s.dailyTokens.begin()->first.size(), 10u);
}

}  // namespace
