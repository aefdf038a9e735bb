#include "display/display_format.h"

#include <gtest/gtest.h>

#include "platform/local_time.h"

namespace {

TEST(DisplayFormat, TokenCountsSwitchUnitsOnTheExactValue) {
    const std::pair<double, const wchar_t*> cases[] = {
        {0, L"0"},      {950, L"950"},     {999, L"999"},         {999.7, L"1000"},
        {1000, L"1k"},  {1499, L"1k"},     {45600, L"46k"},       {999999, L"1000k"},
        {1e6, L"1.0M"}, {1234567, L"1.2M"}, {2500, L"2k"} /* halfway goes to even */,
    };
    for (const auto& [tokens, text] : cases) EXPECT_EQ(FormatTokenCount(tokens), text) << tokens;
}

TEST(DisplayFormat, DurationsUseHoursUpToFortySeven) {
    const std::pair<int64_t, const wchar_t*> cases[] = {
        {-5, L"0m"},        {0, L"0m"},          {59, L"0m"},          {600, L"10m"},
        {3599, L"59m"},     {3600, L"1h 00m"},   {3660, L"1h 01m"},    {90061, L"25h 01m"},
        {172799, L"47h 59m"}, {172800, L"2d 0h"}, {200000, L"2d 7h"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}

TEST(DisplayFormat, WindowLabels) {
    const std::pair<int32_t, const wchar_t*> cases[] = {
        {0, L"Current window"},
        {-1, L"Current window"},
        {10080, L"Weekly"},
        {1440, L"1-day window"},
        {2880, L"2-day window"},
        {20160, L"14-day window"},
        {300, L"5-hour window"},
        {60, L"1-hour window"},
        {90, L"90-minute window"},
        {45, L"45-minute window"},
        // Older Codex gives a minute less; within 1% of 5 hours or a week is that window.
        {296, L"296-minute window"},
        {297, L"5-hour window"},
        {299, L"5-hour window"},
        {303, L"5-hour window"},
        {304, L"304-minute window"},
        {9979, L"9979-minute window"},
        {9980, L"Weekly"},
        {10079, L"Weekly"},
        {10180, L"Weekly"},
        {10181, L"10181-minute window"},
    };
    for (const auto& [minutes, text] : cases) EXPECT_EQ(FormatWindowLabel(minutes), text) << minutes;
}

TEST(DisplayFormat, PercentsRoundHalvesAwayFromZero) {
    const std::pair<double, const wchar_t*> cases[] = {
        {0.4, L"0%"}, {0.5, L"1%"}, {89.5, L"90%"}, {99.6, L"100%"}, {100, L"100%"},
        {-0.5, L"-1%"}, {120, L"120%"},
    };
    for (const auto& [percent, text] : cases) EXPECT_EQ(FormatPercent(percent), text) << percent;
    EXPECT_EQ(TruncatePercent(42.9), 42);
    EXPECT_EQ(RoundPercent(0.0 / 0.0), 0);
}

TEST(DisplayFormat, ResetLabelsByLeadTime) {
    const int64_t now = 1765000000;
    EXPECT_EQ(FormatResetLabelAt(0, now), L"");
    EXPECT_EQ(FormatResetLabelAt(now, now), L"Resetting\u2026");
    EXPECT_EQ(FormatResetLabelAt(now - 60, now), L"Resetting\u2026");
    const auto clock = [&](int64_t lead) { return FormatLocalClockTime(now + lead); };
    const auto day = [&](int64_t lead) { return FormatLocalDayName(now + lead); };
    EXPECT_EQ(FormatResetLabelAt(now + 71999, now), L"Resets " + clock(71999));
    EXPECT_EQ(FormatResetLabelAt(now + 72000, now), L"Resets " + day(72000) + L" " + clock(72000));
    EXPECT_EQ(FormatResetLabelAt(now + 518399, now), L"Resets " + day(518399) + L" " + clock(518399));
    EXPECT_EQ(FormatResetLabelAt(now + 518400, now), L"Resets " + FormatLocalDayMonth(now + 518400));
    EXPECT_FALSE(clock(0).empty());
}

TEST(FormatExtraUsage, DollarsFromCentsWithOrWithoutTheCap) {
    EXPECT_EQ(FormatExtraUsage({true, 1240, 5000, true}), L"$12.40 of $50.00");
    EXPECT_EQ(FormatExtraUsage({true, 1240, 0, false}), L"$12.40");
    EXPECT_EQ(FormatExtraUsage({true, 0.5, 0, false}), L"$0.01");  // printf rounding
    EXPECT_EQ(FormatExtraUsage({true, -5, 1e300, true}), L"$0.00 of $10000000000.00");
}

}  // namespace
