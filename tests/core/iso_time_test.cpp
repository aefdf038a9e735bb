#include "core/iso_time.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

struct Case {
    const char* text;
    int64_t expected;
};

TEST(ParseIsoTime, ReadsDateTimesWithAndWithoutZones) {
    const Case cases[] = {
        {"2025-03-01T10:15:30Z", 1740824130},
        {"2025-03-01T10:15:30.999Z", 1740824130},  // fraction dropped, not rounded
        {"2025-03-01T10:15:30.123456789Z", 1740824130},
        {"2025-03-01T12:15:30+02:00", 1740824130},
        {"2025-03-01T05:15:30-05:00", 1740824130},
        {"2025-03-01T10:15:30", 1740824130},  // no zone: UTC
        {"2025-03-01T15:45:30+05:30", 1740824130},
        {"2025-03-01T10:15:30+0530", 1740824130 - 530 * 3600},  // read as 530 hours
        {"2025-03-01T10:15:30+05", 1740824130 - 5 * 3600},
        {"1970-01-01T00:00:00Z", 0},
        {"1969-12-31T23:59:59Z", -1},
        {"2000-02-29T00:00:00Z", 951782400},
        {"2024-12-31T23:59:59Z", 1735689599},
        {" 2025- 3- 1T10:15:30Z", 1740824130},  // scanf skips blanks before numbers
        {"2025-03-01T10:15:30.5", 1740824130},
        {"0000-03-01T00:00:00Z", -62162035200},  // proleptic Gregorian, negative era arithmetic
        {"-0001-03-01T00:00:00Z", -62193657600},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIsoTime(c.text), c.expected) << c.text;
    }
}

// The usual "...Z" form is read directly: it and its near misses must mean what their "+00:00"
// spelling means, read the general way, with any field values and fractions of up to ten digits.
TEST(ParseIsoTime, ReadsTheUsualFormAsTheGeneralReadingDoes) {
    std::mt19937 random(5);
    const auto below = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    for (int round = 0; round < 3000; ++round) {
        char fields[40];
        std::snprintf(fields, sizeof fields, "%04u-%02u-%02uT%02u:%02u:%02u", below(10000),
                      below(100), below(100), below(100), below(100), below(100));
        std::string time = fields;
        if (below(3) != 0) {
            time += '.';
            for (unsigned n = below(11); n > 0; --n) {
                time += static_cast<char>(below(2) == 0 ? '9' : '0' + below(10));
            }
        }
        if (below(2) == 0) {  // a near miss of the usual form
            const std::string_view odd = "0123456789.:-TZ+ x";
            time[below(static_cast<unsigned>(time.size()))] = odd[below(odd.size())];
        }
        ASSERT_EQ(ParseIsoTime(time + "Z"), ParseIsoTime(time + "+00:00")) << time;
    }
}

TEST(ParseIsoTime, RejectsTextThatIsNotADateTime) {
    const char* cases[] = {
        "",
        "2025-03-01 10:15:30Z",  // blank instead of T
        "2025-03-01t10:15:30Z",  // lower-case t
        "2025-03-01T10:15Z",     // no seconds
        "2025-03-01T10:15:",
        "2025-03-01",
        "2025/03/01T10:15:30Z",
        "not a time",
        "2025-03-01T10:15:xx",
        "2025-03-01T10:15:inf",  // not a number of seconds we can use
        "2025-03-01T10:15:nan",
        "2025-03-01T10:15:1e300",
    };
    for (const char* text : cases) {
        EXPECT_EQ(ParseIsoTime(text), 0) << text;
    }
}

TEST(ParseIsoTime, DoesNotRangeCheckFields) {
    // Month 13 of 2024 is January 2025; day 40 of January is February 9.
    EXPECT_EQ(ParseIsoTime("2024-13-01T00:00:00Z"), ParseIsoTime("2025-01-01T00:00:00Z"));
    EXPECT_EQ(ParseIsoTime("2025-01-40T00:00:00Z"), ParseIsoTime("2025-02-09T00:00:00Z"));
    EXPECT_EQ(ParseIsoTime("2025-03-01T25:00:00Z"), ParseIsoTime("2025-03-02T01:00:00Z"));
}

TEST(ParseIsoTime, SurvivesHugeFieldsAndEveryTruncation) {
    // Huge fields saturate instead of wrapping (and trapping under the sanitizers): a year past
    // any real one stays in the future, an offset past any real one moves the time far back.
    EXPECT_GT(ParseIsoTime("99999999999999999999-03-01T00:00:00Z"),
              ParseIsoTime("9999-12-31T23:59:59Z"));
    EXPECT_LT(ParseIsoTime("2025-03-01T00:00:00+99999999999999999999:99999999999"), 0);
    const std::string full = "2025-03-01T12:15:30.250+02:00";
    for (size_t n = 0; n < full.size(); ++n) {
        const int64_t parsed = ParseIsoTime(std::string_view(full).substr(0, n));
        if (n < 17) {
            EXPECT_EQ(parsed, 0) << n;
        }
    }
    EXPECT_EQ(ParseIsoTime(full), 1740824130);
}

TEST(DaysFromCivil, MatchesKnownDates) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(DaysFromCivil(2100, 3, 1) - DaysFromCivil(2100, 2, 28), 1);  // 2100 is no leap year
}

}  // namespace
