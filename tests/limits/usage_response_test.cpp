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
    EXPECT_EQ(rows[0], (LimitRow{L"5-hour limit", 42.5, ParseIsoTime("2025-09-10T13:00:00Z")}));
    EXPECT_EQ(rows[1], (LimitRow{L"Weekly \u00b7 All models", 17, ParseIsoTime("2025-09-14T08:00:00Z")}));
    EXPECT_EQ(rows[2], (LimitRow{L"Weekly \u00b7 Opus", 55, ParseIsoTime("2025-09-14T08:00:00Z")}));
    EXPECT_EQ(rows[3], (LimitRow{L"Weekly \u00b7 Sonnet", 3, 0}));  // resets_at null
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
