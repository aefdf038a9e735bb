#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads a leading floating-point number the way strtod does in the classic locale: optional
// white space, sign, decimal digits with "." as the point and an exponent, hexadecimal forms
// ("0x1p3"), and the infinity and not-a-number spellings. Returns how many bytes were
// converted (0 when none, and then `value` is 0). Independent of the process locale.
size_t ParseLeadingDouble(std::string_view text, double& value);

// Reads a leading decimal signed 64-bit integer the way strtoll does with base 10: optional
// white space and sign, then digits; saturates at the limits. No digits gives 0.
int64_t ParseLeadingInt64(std::string_view text);

// Converts a double to a signed 64-bit integer by truncation toward zero, without undefined
// behaviour: NaN gives 0 and values beyond the range saturate.
int64_t TruncateToInt64(double value);

// The same for a signed 32-bit integer.
int32_t TruncateToInt32(double value);

// a + b, saturating at the limits of signed 64-bit instead of overflowing.
int64_t SaturatingAdd(int64_t a, int64_t b);
