#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading white space and one sign, as strtod and strtoll do; returns the position after.
size_t SkipSpaceAndSign(std::string_view text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// from_chars reports an out-of-range result without a value; strtod gives HUGE_VAL on
// overflow and 0 on underflow. Tell the two apart from the matched text: the position of the
// first significant digit relative to the point, plus the exponent.
bool Overflows(std::string_view number, bool hex) {
    const char exponentMark = hex ? 'p' : 'e';
    long long magnitude = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    size_t i = 0;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if ((c | 0x20) == exponentMark) {
            break;
        } else if (c != '0' || seenSignificant) {
            seenSignificant = true;
            if (!seenPoint) {
                ++magnitude;
            }
        } else if (seenPoint) {
            --magnitude;  // a zero between the point and the first significant digit
        }
    }
    long long exponent = 0;
    if (i + 1 < number.size()) {
        // Any exponent beyond this decides the outcome alone; clamping keeps the sum in range.
        constexpr long long kBound = 1'000'000'000'000LL;
        exponent = std::clamp<long long>(ParseLeadingInt64(number.substr(i + 1)), -kBound, kBound);
    }
    return magnitude + (hex ? exponent / 4 : exponent) > 0;
}

size_t ParseUnsigned(const char* first, const char* last, double& value) {
    // Plain integers, the usual case in logs, without the general conversion: up to 15 digits
    // are exact in a double, and a point, exponent or "x" after them takes the general path.
    uint64_t integer = 0;
    const char* p = first;
    for (; p < last && p - first < 16 && IsDigit(*p); ++p) integer = integer * 10 + (*p - '0');
    const bool general = p < last && (*p == '.' || (*p | 0x20) == 'e' || (*p | 0x20) == 'x');
    if (p > first && p - first < 16 && !general) {
        value = static_cast<double>(integer);
        return static_cast<size_t>(p - first);
    }
    if (last - first >= 2 && first[0] == '0' && (first[1] | 0x20) == 'x') {
        const char* digits = first + 2;
        if (digits < last && (IsHexDigit(*digits) || (*digits == '.' && digits + 1 < last &&
                                                       IsHexDigit(digits[1])))) {
            const auto result = std::from_chars(digits, last, value, std::chars_format::hex);
            if (result.ec == std::errc::result_out_of_range) {
                value = Overflows({digits, static_cast<size_t>(result.ptr - digits)}, true)
                            ? HUGE_VAL
                            : 0.0;
            }
            if (result.ptr != digits) {
                return static_cast<size_t>(result.ptr - first);
            }
        }
        // "0x" without hexadecimal digits: strtod converts the "0" alone.
        value = 0;
        return 1;
    }
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = Overflows({first, static_cast<size_t>(result.ptr - first)}, false) ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0;
        return 0;
    }
    return static_cast<size_t>(result.ptr - first);
}

}  // namespace

size_t ParseLeadingDouble(std::string_view text, double& value) {
    value = 0;
    bool negative = false;
    const size_t i = SkipSpaceAndSign(text, negative);
    // from_chars takes no sign of its own for our purposes: a second sign is not a number.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') {
        value = 0;
        return 0;
    }
    double magnitude = 0;
    const size_t used = ParseUnsigned(text.data() + i, text.data() + text.size(), magnitude);
    if (used == 0) {
        value = 0;
        return 0;
    }
    value = negative ? -magnitude : magnitude;
    return i + used;
}

int64_t ParseLeadingInt64(std::string_view text) {
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    // Accumulate as a negative number so that the smallest value fits.
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    int64_t accumulated = 0;
    bool saturated = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        if (accumulated < (kMin + digit) / 10) {
            saturated = true;
        } else {
            accumulated = accumulated * 10 - digit;
        }
    }
    if (saturated) {
        return negative ? kMin : std::numeric_limits<int64_t>::max();
    }
    if (negative) {
        return accumulated;
    }
    return accumulated == kMin ? std::numeric_limits<int64_t>::max() : -accumulated;
}

int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // 2^63 is exactly representable; every double below it converts without overflow.
    if (value >= 9223372036854775808.0) {
        return std::numeric_limits<int64_t>::max();
    }
    if (value < -9223372036854775808.0) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(value);
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483649.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return sum;
}
