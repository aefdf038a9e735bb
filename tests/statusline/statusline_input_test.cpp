#include "statusline/statusline_input.h"

#include <gtest/gtest.h>

#include "core/iso_time.h"

namespace {

std::string Input(const std::string& limits, const std::string& name = "Opus") {
    return R"({"hook_event_name":"Status","session_id":"abc","transcript_path":"/home/me/.claude/)"
           R"(projects/app/abc.jsonl","cwd":"/home/me/app","model":{"id":"claude-opus-4-1",)"
           R"("display_name":")" + name +
           R"("},"workspace":{"current_dir":"/home/me/app"},"version":"1.0.80",)"
           R"("output_style":{"name":"default"},"cost":{"total_cost_usd":0.42},"rate_limits":)" +
           limits + "}";
}

const std::string kBoth =
    R"({"five_hour":{"used_percentage":42.5,"resets_at":1757600000.9},)"
    R"("seven_day":{"used_percentage":17,"resets_at":"2025-09-14T08:00:00Z"}})";

std::string Line(const std::string& input) {
    return FormatStatusLine(ParseStatusLineLimits(input), StatusLineDisplayName(input));
}

TEST(StatusLine, BothLimitsGiveTwoRowsAndTheFullLine) {
    const auto rows = ParseStatusLineLimits(Input(kBoth));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (LimitRow{L"5-hour limit", 42.5, 1757600000, false, kFiveHourSeconds}));
    EXPECT_EQ(rows[1], (LimitRow{L"Weekly \u00b7 All models", 17,
                                 ParseIsoTime("2025-09-14T08:00:00Z"), false, kWeekSeconds}));
    EXPECT_EQ(Line(Input(kBoth)), "Opus  5h 43% \xC2\xB7 week 17%\n");
}

TEST(StatusLine, OneLimitHasNoSeparator) {
    EXPECT_EQ(Line(Input(R"({"five_hour":{"used_percentage":42.5}})")), "Opus  5h 43%\n");
    EXPECT_EQ(Line(Input(R"({"seven_day":{"used_percentage":17}})")), "Opus  week 17%\n");
}

TEST(StatusLine, WithoutLimitsItSaysTidewell) {
    EXPECT_EQ(Line(""), "Tidewell\n");
    EXPECT_EQ(Line(R"({"model":{"display_name":"Sonnet"}})"), "Sonnet  Tidewell\n");
    EXPECT_EQ(Line(Input("{}")), "Opus  Tidewell\n");
    EXPECT_EQ(Line(Input(R"({"five_hour":{"used_percentage":"42"}})")), "Opus  Tidewell\n");
    EXPECT_EQ(Line(Input(R"({"five_hour":{"used_percentage":null}})")), "Opus  Tidewell\n");
    EXPECT_EQ(Line(Input("null")), "Opus  Tidewell\n");
}

TEST(StatusLine, RoundsHalvesAwayFromZeroWithoutClamping) {
    const std::pair<const char*, const char*> cases[] = {
        {"42.5", "43"}, {"0.4", "0"}, {"99.5", "100"}, {"100.4", "100"}, {"120", "120"},
        {"0", "0"}, {"1e300", "2147483647"}};
    for (const auto& [value, shown] : cases) {
        EXPECT_EQ(Line(Input(std::string(R"({"five_hour":{"used_percentage":)") + value + "}}")),
                  std::string("Opus  5h ") + shown + "%\n")
            << value;
    }
}

TEST(StatusLine, FieldsOutsideTheLimitsBracesDoNotCount) {
    const auto rows = ParseStatusLineLimits(
        Input(R"({"five_hour":{"resets_at":5},"other":{"used_percentage":80}})"));
    EXPECT_TRUE(rows.empty());
    // A string reset time is searched without the brace bound.
    const auto later = ParseStatusLineLimits(Input(
        R"({"five_hour":{"used_percentage":1},"x":{"resets_at":"2025-09-14T08:00:00Z"}})"));
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].resetsAt, ParseIsoTime("2025-09-14T08:00:00Z"));
}

TEST(StatusLine, LimitsAreLookedForOnlyAfterRateLimits) {
    // Earlier mentions (a transcript quoting the same keys, say) do not count.
    const std::string input =
        R"({"quoted":{"five_hour":{"used_percentage":99},"seven_day":{"used_percentage":98}},)"
        R"("rate_limits":{"five_hour":{"used_percentage":12},"seven_day":{"used_percentage":3}}})";
    EXPECT_EQ(Line(input), "5h 12% \xC2\xB7 week 3%\n");
}

TEST(StatusLine, ResetTimesTruncateConvertOrStayZero) {
    EXPECT_EQ(ParseStatusLineLimits(Input(R"({"five_hour":{"used_percentage":1,"resets_at":-7.9}})"))[0].resetsAt, -7);
    EXPECT_EQ(ParseStatusLineLimits(Input(R"({"five_hour":{"used_percentage":1}})"))[0].resetsAt, 0);
    EXPECT_EQ(ParseStatusLineLimits(Input(R"({"five_hour":{"used_percentage":1,"resets_at":"soon"}})"))[0].resetsAt, 0);
}

TEST(StatusLine, DisplayNamesKeepTheirEscapes) {
    EXPECT_EQ(Line(Input(R"({"five_hour":{"used_percentage":5}})", R"(Caf\u00e9 \"Max\")")),
              "Caf\\u00e9 \\  5h 5%\n");
    EXPECT_EQ(StatusLineDisplayName(R"({"display_name": "Spaced"})"), "Spaced");
    EXPECT_EQ(StatusLineDisplayName(R"({"display_name":null})"), "");
}

TEST(StatusLine, LongInputIsSearchedWhole) {
    std::string input = R"({"transcript":")" + std::string(20000, 'x') + R"(",)" + Input(kBoth).substr(1);
    EXPECT_EQ(Line(input), "Opus  5h 43% \xC2\xB7 week 17%\n");
}

}  // namespace
