#include "core/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

struct DoubleCase {
    const char* text;
    size_t used;
    double value;
};

TEST(ParseLeadingDouble, FollowsStrtod) {
    const DoubleCase cases[] = {
        {"42", 2, 42},
        {"  -1.5e3x", 8, -1500},
        {"+.5", 3, 0.5},
        {"5.", 2, 5},
        {"1e", 1, 1},
        {"1e+", 1, 1},
        {"0x1p3", 5, 8},
        {"0X.8", 4, 0.5},
        {"0x", 1, 0},
        {"0xg", 1, 0},
        {"1e999", 5, HUGE_VAL},
        {"-1e999", 6, -HUGE_VAL},
        {"0.000e999", 9, 0},
        {"1e-999", 6, 0},
        {"", 0, 0},
        {"-", 0, 0},
        {"+-1", 0, 0},
        {".", 0, 0},
        {"null", 0, 0},
        {"\"3\"", 0, 0},
        {"1,5", 1, 1},  // "," is never the decimal point, whatever the locale
        {"0007}", 4, 7},
        {"123456789012345,", 15, 123456789012345.0},
        {"9007199254740993", 16, 9007199254740992.0},  // beyond 15 digits: rounded as strtod does
        {"12e2", 4, 1200},
        {"12x", 2, 12},
    };
    for (const DoubleCase& c : cases) {
        double value = 99;
        EXPECT_EQ(ParseLeadingDouble(c.text, value), c.used) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ParseLeadingDouble, ReadsInfinityAndNan) {
    double value = 0;
    EXPECT_EQ(ParseLeadingDouble("infinity", value), 8u);
    EXPECT_TRUE(std::isinf(value));
    EXPECT_EQ(ParseLeadingDouble("-INF", value), 4u);
    EXPECT_TRUE(std::isinf(value) && value < 0);
    EXPECT_EQ(ParseLeadingDouble("nan", value), 3u);
    EXPECT_TRUE(std::isnan(value));
}

TEST(ParseLeadingDouble, IgnoresTheProcessLocale) {
    // A locale whose decimal point is a comma, where one is installed.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        std::setlocale(LC_NUMERIC, "German");
    }
    double value = 0;
    EXPECT_EQ(ParseLeadingDouble("12.75", value), 5u);
    EXPECT_EQ(value, 12.75);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseLeadingInt64, SaturatesAndStopsAtTheFirstNonDigit) {
    EXPECT_EQ(ParseLeadingInt64("1740824130"), 1740824130);
    EXPECT_EQ(ParseLeadingInt64("  -42abc"), -42);
    EXPECT_EQ(ParseLeadingInt64("+7"), 7);
    EXPECT_EQ(ParseLeadingInt64("x1"), 0);
    EXPECT_EQ(ParseLeadingInt64(""), 0);
    EXPECT_EQ(ParseLeadingInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseLeadingInt64("9223372036854775808"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseLeadingInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseLeadingInt64("-99999999999999999999"), std::numeric_limits<int64_t>::min());
}

TEST(Truncate, GoesTowardZeroAndSaturates) {
    EXPECT_EQ(TruncateToInt64(1234.9), 1234);
    EXPECT_EQ(TruncateToInt64(-1234.9), -1234);
    EXPECT_EQ(TruncateToInt64(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt64(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(TruncateToInt64(-HUGE_VAL), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(TruncateToInt32(99.99), 99);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(3e9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncateToInt32(-2147483648.9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncateToInt32(-3e9), std::numeric_limits<int32_t>::min());
}

}  // namespace

namespace {

TEST(ParseLeadingDouble, HugeExponentsDecideOverflowWithoutOverflowingThemselves) {
    double value = 0;
    EXPECT_EQ(ParseLeadingDouble("3332e534333333333333337", value), 23u);
    EXPECT_EQ(value, HUGE_VAL);
    EXPECT_EQ(ParseLeadingDouble("1e-99999999999999999999999", value), 26u);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ParseLeadingDouble("0x1p99999999999999999999", value), 24u);
    EXPECT_EQ(value, HUGE_VAL);
}

}  // namespace
