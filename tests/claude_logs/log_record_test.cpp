#include "claude_logs/log_record.h"

#include <gtest/gtest.h>

#include <cmath>

#include "claude_logs/model_prices.h"
#include "support/claude_lines.h"

namespace {

ClaudeLogRecord Parse(const std::string& line) {
    ClaudeLogRecord record;
    EXPECT_TRUE(ParseClaudeLogLine(line, record)) << line;
    return record;
}

TEST(ParseClaudeLogLine, CountsTokensAndPricesByModel) {
    struct Case {
        const char* model;
        double cost;  // 1,000 tokens of each kind
        bool estimated;
    };
    const Case cases[] = {
        {"claude-opus-4", 0.11025, false},
        {"claude-sonnet-4", 0.02205, false},
        {"claude-3-5-haiku", 0.00588, false},
        {"claude-OPUS-4", 0.11025, false},     // ids match in any case
        {"claude-opus-5[1m]", 0.03675, false}, // a context tail is not part of the id
        {"", 0.0147, true},                    // unknown: the newest Sonnet's rates, estimated
        {"opus-haiku-hybrid", 0.0292, true},   // unknown: its family's newest (Opus 5.5)
    };
    for (const Case& c : cases) {
        AssistantReply reply;
        reply.model = c.model;
        reply.in = reply.out = reply.cacheWrite = reply.cacheRead = 1000;
        const ClaudeLogRecord record = Parse(AssistantLine(reply));
        EXPECT_EQ(record.tokens, 3000) << c.model;
        if (PriceListName() == "none") continue;  // built without the price list
        EXPECT_NEAR(record.cost, c.cost, 1e-12) << c.model;
        EXPECT_EQ(record.costEstimated, c.estimated) << c.model;
        EXPECT_EQ(record.time, 1740824130);
    }
}

// Claude Code's own "<synthetic>" replies name no real model and use no tokens: they cost
// nothing for certain, so their window's cost is no estimate on their account.
TEST(ParseClaudeLogLine, ASyntheticReplyIsNoEstimate) {
    AssistantReply reply;
    reply.model = "<synthetic>";
    reply.in = reply.out = reply.cacheWrite = reply.cacheRead = 0;
    const ClaudeLogRecord record = Parse(AssistantLine(reply));
    EXPECT_EQ(record.cost, 0);
    EXPECT_FALSE(record.costEstimated);
    reply.out = 1;  // a model no list knows that did cost something: a guess
    EXPECT_TRUE(Parse(AssistantLine(reply)).costEstimated);
}

// Claude Code logs one-hour cache writes apart; they cost twice the input rate, not 1.25 times.
TEST(ParseClaudeLogLine, OneHourCacheWritesAreDearer) {
    if (PriceListName() == "none") GTEST_SKIP() << "built without the price list";
    AssistantReply reply;
    reply.model = "claude-opus-5";
    reply.in = reply.out = reply.cacheRead = 0;
    reply.cacheWrite = 3000;
    std::string line = AssistantLine(reply);
    EXPECT_NEAR(Parse(line).cost, 3000 * 6.25 / 1e6, 1e-12);  // no split: all at the 5-minute rate
    const std::string split = R"(,"cache_creation":{"ephemeral_5m_input_tokens":1000,)"
                              R"("ephemeral_1h_input_tokens":2000})";
    line.insert(line.find(R"(,"service_tier")"), split);
    const ClaudeLogRecord record = Parse(line);
    EXPECT_NEAR(record.cost, (1000 * 6.25 + 2000 * 10) / 1e6, 1e-12);
    EXPECT_EQ(record.tokens, 3000);
}

TEST(ParseClaudeLogLine, RejectsLinesWithoutUsageOrTime) {
    ClaudeLogRecord record;
    EXPECT_FALSE(ParseClaudeLogLine(UserLine(), record));
    EXPECT_FALSE(ParseClaudeLogLine("", record));
    AssistantReply reply;
    reply.timestamp = "not a date";
    EXPECT_FALSE(ParseClaudeLogLine(AssistantLine(reply), record));
    EXPECT_FALSE(ParseClaudeLogLine(R"({"usage":{"input_tokens":5}})", record));
    EXPECT_FALSE(ParseClaudeLogLine(R"({"usage":{},"timestamp":"2025-03-01T10:15Z"})", record));
}

// A count no reply can have would raise the largest block to infinity for good.
TEST(ParseClaudeLogLine, RejectsImpossibleCounts) {
    const char* counts[] = {"1e999", "-1e999", "-5", "2e9", "1e300", "-0.5"};
    for (const char* count : counts) {
        for (const char* key : {"input_tokens", "output_tokens", "cache_creation_input_tokens",
                                "cache_read_input_tokens"}) {
            const std::string line = std::string(R"({"timestamp":"2025-03-01T10:15:30Z","usage":{")") +
                                     key + "\":" + count + "}}";
            ClaudeLogRecord record;
            EXPECT_FALSE(ParseClaudeLogLine(line, record)) << line;
        }
    }
    ClaudeLogRecord record;  // the largest context windows are far below the bound
    EXPECT_TRUE(ParseClaudeLogLine(
        R"({"timestamp":"2025-03-01T10:15:30Z","usage":{"input_tokens":1000000,"cache_read_input_tokens":900000000}})",
        record));
}

TEST(ParseClaudeLogLine, ReadsCountsOnlyAfterTheUsageKey) {
    const std::string line =
        R"({"input_tokens":999,"timestamp":"2025-03-01T10:15:30Z","usage":{"output_tokens":7,)"
        R"("input_tokens":null,"cache_creation_input_tokens":"5"}})";
    const ClaudeLogRecord record = Parse(line);
    EXPECT_EQ(record.tokens, 7);
    EXPECT_TRUE(record.dedupKey.empty());  // no "message" key
}

TEST(ParseClaudeLogLine, KeysOnMessageIdAndRequestId) {
    AssistantReply reply;
    const ClaudeLogRecord a = Parse(AssistantLine(reply));
    EXPECT_FALSE(a.dedupKey.empty());
    EXPECT_EQ(Parse(AssistantLine(reply)).dedupKey, a.dedupKey);
    reply.requestId = "req_other";
    EXPECT_NE(Parse(AssistantLine(reply)).dedupKey, a.dedupKey);
    reply.messageId = "";
    EXPECT_TRUE(Parse(AssistantLine(reply)).dedupKey.empty());
}

TEST(ParseClaudeLogLine, TakesTheFirstIdAfterMessageEvenWhenNested) {
    const std::string nested =
        R"({"message":{"content":[{"id":"toolu_1"}],"id":"msg_real","usage":{"input_tokens":1}},)"
        R"("timestamp":"2025-03-01T10:15:30Z"})";
    EXPECT_EQ(Parse(nested).dedupKey, MakeDedupKey("toolu_1", ""));
    const std::string noId =
        R"({"message":{"usage":{"input_tokens":1}},"timestamp":"2025-03-01T10:15:30Z"})";
    EXPECT_TRUE(Parse(noId).dedupKey.empty());
}

TEST(MakeDedupKey, SeparatesIdFromRequestId) {
    EXPECT_NE(MakeDedupKey("ab", "c"), MakeDedupKey("a", "bc"));
    EXPECT_NE(MakeDedupKey("a|b", ""), MakeDedupKey("a", "b"));
    EXPECT_EQ(MakeDedupKey("msg", "req"), MakeDedupKey("msg", "req"));
    EXPECT_TRUE(MakeDedupKey("", "req").empty());
    EXPECT_FALSE(MakeDedupKey("m", "").empty());
}

TEST(ParseClaudeLogLine, SurvivesEveryTruncation) {
    const std::string line = AssistantLine(AssistantReply{});
    for (size_t n = 0; n <= line.size(); ++n) {
        ClaudeLogRecord record;
        ParseClaudeLogLine(std::string_view(line).substr(0, n), record);
        ParseClaudeLogLine(std::string_view(line).substr(n), record);
    }
}

}  // namespace
