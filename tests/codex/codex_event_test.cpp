#include "codex/codex_event.h"

#include <gtest/gtest.h>

#include <string>

#include "core/iso_time.h"

namespace {

const int64_t kTime = ParseIsoTime("2025-09-10T08:00:00.000Z");

bool Parse(const std::string& line, CodexEvent& event) {
    return ParseCodexEventLine(line, line.find(kRateLimitsKey), event);
}

std::string Event(const std::string& limits, const std::string& time = "2025-09-10T08:00:00.000Z") {
    return R"({"timestamp":")" + time +
           R"(","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":)"
           R"({"input_tokens":1200}},"rate_limits":)" + limits + "}}";
}

TEST(ParseCodexEventLine, ReadsBothWindows) {
    CodexEvent event;
    ASSERT_TRUE(Parse(Event(R"({"primary":{"used_percent":12.5,"window_minutes":299.9,)"
                            R"("resets_in_seconds":3600},"secondary":{"used_percent":40,)"
                            R"("window_minutes":10080,"resets_at":1757600000}})"),
                      event));
    EXPECT_EQ(event.time, kTime);
    EXPECT_TRUE(event.primary.present);
    EXPECT_EQ(event.primary.usedPercent, 12.5);
    EXPECT_EQ(event.primary.windowMinutes, 299);
    EXPECT_EQ(event.primary.resetsAt, kTime + 3600);
    EXPECT_TRUE(event.secondary.present);
    EXPECT_EQ(event.secondary.usedPercent, 40);
    EXPECT_EQ(event.secondary.windowMinutes, 10080);
    EXPECT_EQ(event.secondary.resetsAt, 1757600000);
}

TEST(ParseCodexEventLine, CountdownWinsOverResetTime) {
    CodexEvent event;
    ASSERT_TRUE(Parse(Event(R"({"primary":{"used_percent":1,"resets_at":5,"resets_in_seconds":60}})"),
                      event));
    EXPECT_EQ(event.primary.resetsAt, kTime + 60);
    ASSERT_TRUE(Parse(Event(R"({"primary":{"used_percent":1,"resets_at":"2025-09-10T09:00:00Z"}})"),
                      event));
    EXPECT_EQ(event.primary.resetsAt, 0);  // a string does not count
    EXPECT_FALSE(event.secondary.present);
}

TEST(ParseCodexEventLine, RejectsEventsWithoutAUsablePrimaryWindow) {
    CodexEvent event;
    EXPECT_FALSE(Parse(Event("null"), event));
    EXPECT_FALSE(Parse(Event(R"({"secondary":{"used_percent":40}})"), event));
    EXPECT_FALSE(Parse(Event(R"({"primary":{"used_percent":null}})"), event));
    EXPECT_FALSE(Parse(Event(R"({"primary":{}})"), event));
    EXPECT_FALSE(Parse(Event(R"({"primary":{"used_percent":5}})", "not a time"), event));
}

TEST(ParseCodexEventLine, ANullPrimaryNeverTakesTheSecondarysFigures) {
    CodexEvent event;
    EXPECT_FALSE(Parse(Event(R"({"primary":null,"secondary":{"used_percent":77,"window_minutes":10080}})"),
                       event));
    EXPECT_FALSE(Parse(Event(R"({"primary": null,"secondary":{"used_percent":77}})"), event));
    // A null secondary next to a real primary is simply absent.
    ASSERT_TRUE(Parse(Event(R"({"primary":{"used_percent":3},"secondary":null})"), event));
    EXPECT_TRUE(event.primary.present);
    EXPECT_FALSE(event.secondary.present);
}

TEST(ParseCodexEventLine, FieldsBeyondTheWindowDoNotCount) {
    CodexEvent event;
    ASSERT_TRUE(Parse(Event(R"({"primary":{"used_percent":9},"secondary":{"used_percent":2,)"
                            R"("window_minutes":10080,"resets_in_seconds":5}})"),
                      event));
    EXPECT_EQ(event.primary.windowMinutes, 0);
    EXPECT_EQ(event.primary.resetsAt, 0);
}

TEST(ParseCodexEventLine, SurvivesEveryTruncationAndHugeValues) {
    const std::string line = Event(R"({"primary":{"used_percent":1e308,"window_minutes":1e300,)"
                                   R"("resets_in_seconds":1e300},"secondary":{"used_percent":2}})");
    CodexEvent event;
    ASSERT_TRUE(Parse(line, event));
    EXPECT_EQ(event.primary.windowMinutes, INT32_MAX);
    EXPECT_EQ(event.primary.resetsAt, INT64_MAX);
    for (size_t n = 0; n < line.size(); ++n) {
        const std::string cut = line.substr(0, n);
        const size_t at = cut.find(kRateLimitsKey);
        if (at != std::string::npos) ParseCodexEventLine(cut, at, event);
    }
}

}  // namespace

namespace {

// Today's Codex names the bucket of each event: the account's ("codex") or a model's.
TEST(ParseCodexEventLine, TheBucketsIdAndNameFromTheRateLimitsObjectOnly) {
    struct Case {
        std::string limits;
        const char* id;
        const char* name;
    };
    const Case cases[] = {
        {R"({"limit_id":"codex","primary":{"used_percent":5}})", "codex", ""},
        {R"({"primary":{"used_percent":5},"secondary":null,"limit_id":"codex_bengalfox",)"
         R"("limit_name":"GPT-5.3-Codex-Spark"})",
         "codex_bengalfox", "GPT-5.3-Codex-Spark"},
        {R"({"primary":{"used_percent":5}})", "", ""},
        // a key of the same name after the object is not the bucket's
        {R"({"primary":{"used_percent":5}},"x":{"limit_id":"other"})", "", ""},
    };
    for (const Case& c : cases) {
        CodexEvent event;
        const std::string line = Event(c.limits);  // the names point into it
        ASSERT_TRUE(Parse(line, event)) << c.limits;
        EXPECT_EQ(event.limitId, c.id) << c.limits;
        EXPECT_EQ(event.limitName, c.name) << c.limits;
    }
    EXPECT_TRUE(IsAccountBucket(""));
    EXPECT_TRUE(IsAccountBucket("codex"));
    EXPECT_FALSE(IsAccountBucket("codex_bengalfox"));
    EXPECT_FALSE(IsAccountBucket("Codex"));
}

}  // namespace
