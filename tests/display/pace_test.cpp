#include "display/pace.h"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

#include "limits/limit_rows.h"
#include "platform/local_time.h"

namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kFive = 5 * kHour;
constexpr int64_t kReset = 1'800'000'000;  // every case's window ends here

struct PaceCase {
    const char* what;
    double percent;
    int64_t window;
    int64_t now;
    bool known;
    double elapsed;
    int64_t runOutAt;
};

TEST(Pace, TickAndRunOutFollowTheStraightLine) {
    const int64_t start = kReset - kFive;
    const PaceCase cases[] = {
        {"window unknown", 50, 0, start + kHour, false, 0, 0},
        {"reset unknown", 50, kFive, start + kHour, false, 0, 0},  // resetsAt 0 below
        {"reset already past", 50, kFive, kReset, false, 0, 0},
        {"reset further off than a window", 50, kFive, start - 1, false, 0, 0},
        {"window just started", 50, kFive, start, true, 0, 0},
        {"quiet early: under a tenth gone", 90, kFive, start + 1799, true, 1799.0 / kFive, 0},
        {"a tenth gone, fast", 20, kFive, start + 1800, true, 0.1, start + 9000},
        {"used under 5%", 4.9, kFive, start + 1800, true, 0.1, 0},
        // Past the floor only a limit used faster than time goes runs out early: no floor on
        // the percent is needed.
        {"a tenth gone, a tenth used", 10, kFive, start + 1800, true, 0.1, 0},
        {"a tenth gone, a hair over a tenth used", 10.01, kFive, start + 1800, true, 0.1,
         start + 17982},
        {"5% used in a tenth: out after the reset", 5, kFive, start + 1800, true, 0.1, 0},
        {"10.5% used in a tenth", 10.5, kFive, start + 1800, true, 0.1, start + 17142},
        {"exactly on pace", 40, kFive, start + 2 * kHour, true, 0.4, 0},
        {"a hair over pace", 40.01, kFive, start + 2 * kHour, true, 0.4, start + 17995},
        {"used up", 100, kFive, start + 2 * kHour, true, 0.4, 0},
        {"over 100", 130, kFive, start + 2 * kHour, true, 0.4, 0},
        {"weekly, half used in three days", 50, 7 * 86400, kReset - 4 * 86400, true, 3.0 / 7,
         kReset - 86400},
    };
    for (const PaceCase& c : cases) {
        const int64_t reset = std::string_view(c.what) == "reset unknown" ? 0 : kReset;
        const Pace pace = PaceOf(c.percent, reset, c.window, c.now);
        EXPECT_EQ(pace.known, c.known) << c.what;
        EXPECT_NEAR(pace.elapsed, c.elapsed, 1e-9) << c.what;
        EXPECT_EQ(pace.runOutAt, c.runOutAt) << c.what;
    }
    EXPECT_FALSE(PaceOf(std::numeric_limits<double>::quiet_NaN(), kReset, kFive, start).known);
}

TEST(Pace, WindowsOfClaudeLimitsByLabel) {
    EXPECT_EQ(WindowSecondsOfLabel(L"5-hour limit"), kFive);
    EXPECT_EQ(WindowSecondsOfLabel(L"Weekly \u00b7 All models"), 7 * 86400);
    EXPECT_EQ(WindowSecondsOfLabel(L"Weekly \u00b7 Opus"), 7 * 86400);
    EXPECT_EQ(WindowSecondsOfLabel(L"Monthly"), 0);
    EXPECT_EQ(WindowSecondsOfLabel(L"5-hour limits"), 0);
}

TEST(Pace, RunOutLabelNamesTheDayBeyondADay) {
    const int64_t now = kReset - 7 * 86400;
    EXPECT_EQ(FormatRunOutLabel(now + 86400, now), L"Out at " + FormatLocalClockTime(now + 86400));
    EXPECT_EQ(FormatRunOutLabel(now + 86401, now),
              L"Out at " + FormatLocalDayName(now + 86401) + L" " +
                  FormatLocalClockTime(now + 86401));
}

}  // namespace
