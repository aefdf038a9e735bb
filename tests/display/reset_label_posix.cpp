// Reset labels in fixed time zones: the local clock, day name and date.
#include <gtest/gtest.h>

#include <ctime>

#include "core/iso_time.h"
#include "display/display_format.h"
#include "support/temp_dir.h"

namespace {

TEST(ResetLabelPosix, FollowsTheLocalCalendar) {
    const ScopedEnvironment zone("TZ", "UTC");
    tzset();
    const int64_t now = ParseIsoTime("2025-12-09T10:00:00Z");  // a Tuesday
    EXPECT_EQ(FormatResetLabelAt(ParseIsoTime("2025-12-09T14:30:00Z"), now), L"Resets 14:30");
    EXPECT_EQ(FormatResetLabelAt(ParseIsoTime("2025-12-11T09:05:00Z"), now), L"Resets Thu 09:05");
    EXPECT_EQ(FormatResetLabelAt(ParseIsoTime("2025-12-19T09:05:00Z"), now), L"Resets 19 Dec");
    {
        // East of UTC, 23:30 UTC is already the next day.
        const ScopedEnvironment east("TZ", "JST-9");
        tzset();
        EXPECT_EQ(FormatResetLabelAt(ParseIsoTime("2025-12-10T23:30:00Z"), now), L"Resets Thu 08:30");
    }
    tzset();
}

}  // namespace
