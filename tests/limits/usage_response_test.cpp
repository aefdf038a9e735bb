#include "limits/usage_response.h"

#include <gtest/gtest.h>

#include "core/iso_time.h"

namespace {

const std::string kBody =
    R"({"seven_day_opus":{"utilization":55.0,"resets_at":"2025-09-14T08:00:00.123456+00:00"},)"
    R"("seven_day":{"utilization":17,"resets_at":"2025-09-14T08:00:00Z"},)"
    R"("five_hour":{"utilization":42.5,"resets_at":"2025-09-10T13:00:00Z"},)"
    R"("seven_day_oauth_apps":{"utilization":null,"resets_at":null},)"
    R"("seven_day_sonnet":{"utilization":3,"resets_at":null},)"
    R"("extra_usage":{"is_enabled":false,"utilization":12.0}})";

TEST(ParseUsageResponse, BuildsRowsInRowOrder) {
    const std::vector<LimitRow> rows = ParseUsageResponse(kBody);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (LimitRow{L"5-hour limit", 42.5, ParseIsoTime("2025-09-10T13:00:00Z"), false,
                                 kFiveHourSeconds}));
    EXPECT_EQ(rows[1], (LimitRow{L"Weekly \u00b7 All models", 17,
                                 ParseIsoTime("2025-09-14T08:00:00Z"), false, kWeekSeconds}));
    EXPECT_EQ(rows[2], (LimitRow{L"Weekly \u00b7 Opus", 55, ParseIsoTime("2025-09-14T08:00:00Z"),
                                 false, kWeekSeconds}));
    EXPECT_EQ(rows[3],
              (LimitRow{L"Weekly \u00b7 Sonnet", 3, 0, false, kWeekSeconds}));  // resets_at null
}

// Today's replies give per-model weekly caps only in the "limits" array (trimmed from real
// replies of July-September 2026).
const std::string kToday =
    R"({"five_hour":{"utilization":29.0,"resets_at":"2026-09-03T15:00:00.52+00:00"},)"
    R"("seven_day":{"utilization":26.0,"resets_at":"2026-09-08T10:00:00+00:00"},)"
    R"("seven_day_opus":null,"seven_day_sonnet":null,)"
    R"("extra_usage":{"is_enabled":true,"monthly_limit":5000,"used_credits":1240,"utilization":24.8},)"
    R"("limits":[{"kind":"session","group":"session","percent":29,"severity":"normal",)"
    R"("resets_at":"2026-09-03T15:00:00.52+00:00","scope":null,"is_active":false},)"
    R"({"kind":"weekly_all","group":"weekly","percent":26,"severity":"normal",)"
    R"("resets_at":"2026-09-08T10:00:00+00:00","scope":null,"is_active":false},)"
    R"({"kind":"weekly_scoped","group":"weekly","percent":43,"severity":"warning",)"
    R"("resets_at":"2026-09-05T10:00:00+00:00","scope":{"model":{"id":null,"display_name":"Fable"},)"
    R"("surface":null},"is_active":true}]})";

TEST(ParseUsageResponse, TodaysLimitsArrayGivesTheModelRowAndTheBindingMark) {
    const std::vector<LimitRow> rows = ParseUsageResponse(kToday);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (LimitRow{L"5-hour limit", 29, ParseIsoTime("2026-09-03T15:00:00.52+00:00"),
                                 false, kFiveHourSeconds}));
    EXPECT_EQ(rows[1], (LimitRow{L"Weekly \u00b7 All models", 26,
                                 ParseIsoTime("2026-09-08T10:00:00Z"), false, kWeekSeconds}));
    EXPECT_EQ(rows[2], (LimitRow{L"Weekly \u00b7 Fable", 43, ParseIsoTime("2026-09-05T10:00:00Z"),
                                 true, kWeekSeconds}));
}

TEST(ParseUsageResponse, LimitsArrayShapes) {
    const auto entry = [](const std::string& kind, double percent, bool active,
                          const std::string& model = "") {
        return R"({"kind":")" + kind + R"(","percent":)" + std::to_string(percent) +
               R"(,"resets_at":null,"scope":)" +
               (model.empty() ? std::string("null")
                              : R"({"model":{"id":null,"display_name":")" + model + R"("}})") +
               R"(,"is_active":)" + (active ? "true" : "false") + "}";
    };
    struct Case {
        const char* what;
        std::string body;
        std::vector<LimitRow> rows;
    };
    const Case cases[] = {
        {"limits only: session and weekly_all stand in for the members",
         R"({"limits":[)" + entry("weekly_all", 12, false) + "," + entry("session", 7, true) + "]}",
         {{L"5-hour limit", 7, 0, true, kFiveHourSeconds},
          {L"Weekly \u00b7 All models", 12, 0, false, kWeekSeconds}}},
        {"a legacy row wins over the array's figures and takes its mark",
         R"({"seven_day_opus":{"utilization":50,"resets_at":null},"limits":[)" +
             entry("weekly_scoped", 51, true, "Opus") + "]}",
         {{L"Weekly \u00b7 Opus", 50, 0, true, kWeekSeconds}}},
        {"over 100 stays as given; only the first active entry binds",
         R"({"limits":[)" + entry("weekly_scoped", 143.5, true, "Fable") + "," +
             entry("weekly_scoped", 2, true, "Haiku") + "]}",
         {{L"Weekly \u00b7 Fable", 143.5, 0, true, kWeekSeconds},
          {L"Weekly \u00b7 Haiku", 2, 0, false, kWeekSeconds}}},
        {"unknown kinds and nameless models give nothing",
         R"({"limits":[)" + entry("monthly", 5, true) + "," + entry("weekly_scoped", 5, false) +
             "]}",
         {}},
        {"null, empty and garbled arrays give nothing", R"({"limits":null})", {}},
        {"", R"({"limits":[]})", {}},
        {"", R"({"limits":[{"kind":"session","percent":5)", {}},
        {"", R"({"limits":{"kind":"session","percent":5}})", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseUsageResponse(c.body), c.rows) << c.what << c.body;
    EXPECT_EQ(ModelNameForLabel("F\x01" "able\x7f"), L"Fable");
    EXPECT_EQ(ModelNameForLabel(std::string(300, 'x')).size(), kMaxModelNameChars);
}

TEST(ParseExtraUsage, OnWithOrWithoutACapOtherwiseNothing) {
    struct Case {
        std::string body;
        ExtraUsage extra;
    };
    const Case cases[] = {
        {kToday, {true, 1240, 5000, true}},
        {R"({"extra_usage":{"is_enabled":true,"monthly_limit":null,"used_credits":99.5}})",
         {true, 99.5, 0, false}},
        {R"({"extra_usage": {"is_enabled": true, "used_credits": 0}})", {true, 0, 0, false}},
        {R"({"extra_usage":{"is_enabled":false,"monthly_limit":5000,"used_credits":1}})", {}},
        {R"({"extra_usage":null,"x":{"is_enabled":true}})", {}},
        {kBody, {}},  // older replies: disabled
        {R"({"five_hour":{"utilization":1}})", {}},
        {R"({"extra_usage":{"is_enabled":true,"used_credits":5)", {}},  // never closes
    };
    for (const Case& c : cases) EXPECT_EQ(ParseExtraUsage(c.body), c.extra) << c.body;
}

TEST(ParseUsageResponse, OddBodiesGiveFewerRows) {
    EXPECT_TRUE(ParseUsageResponse("").empty());
    EXPECT_TRUE(ParseUsageResponse("{}").empty());
    EXPECT_TRUE(ParseUsageResponse(R"("utilization":5})").empty());  // no "{" before it
    EXPECT_TRUE(ParseUsageResponse(R"({"utilization":5})").empty());  // no member key
    EXPECT_TRUE(ParseUsageResponse(R"({"a":{"utilization":5)").empty());  // no closing brace
    const auto rows = ParseUsageResponse(R"({"x":{"utilization":"5"},"oauth_apps":{"utilization":1}})");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].label, L"Apps");
}

TEST(ParseUsageResponse, SurvivesEveryTruncation) {
    for (size_t n = 0; n <= kToday.size(); ++n) {
        ParseUsageResponse(std::string_view(kToday).substr(0, n));
        ParseUsageResponse(std::string_view(kToday).substr(n));
    }
    for (size_t n = 0; n <= kBody.size(); ++n) {
        ParseUsageResponse(std::string_view(kBody).substr(0, n));
        ParseUsageResponse(std::string_view(kBody).substr(n));
    }
}

TEST(UsageRowLabel, NamesEveryKindOfMember) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"five_hour", L"5-hour limit"},
        {"seven_day", L"Weekly \u00b7 All models"},
        {"seven_day_opus", L"Weekly \u00b7 Opus"},
        {"seven_day_oauth_apps", L"Weekly \u00b7 Apps"},
        {"seven_day_", L"Weekly \u00b7 "},
        {"oauth_apps", L"Apps"},
        {"monthly_cap_x", L"Monthly Cap X"},
        {"_odd__key", L" Odd  Key"},
    };
    for (const auto& [key, label] : cases) {
        EXPECT_EQ(UsageRowLabel(key), label) << key;
    }
    EXPECT_FALSE(UsageRowLabel("extra_usage"));
}

TEST(TitleCaseKey, WorksByteByByte) {
    EXPECT_EQ(TitleCaseKey("opus_4"), L"Opus 4");
    EXPECT_EQ(TitleCaseKey("\xC3\xA9t\xC3\xA9"), std::wstring({L'\xC3', L'\xA9', L't', L'\xC3', L'\xA9'}));
    EXPECT_EQ(TitleCaseKey(""), L"");
}

}  // namespace

namespace {

TEST(UsageRowWindowSeconds, ByTheMembersKey) {
    const std::pair<const char*, int64_t> cases[] = {
        {"five_hour", kFiveHourSeconds},
        {"seven_day", kWeekSeconds},
        {"seven_day_opus", kWeekSeconds},
        {"seven_dayx", 0},
        {"five_hours", 0},
        {"monthly", 0},
    };
    for (const auto& [key, seconds] : cases)
        EXPECT_EQ(UsageRowWindowSeconds(key), seconds) << key;
}

}  // namespace
