#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "limits/limit_rows.h"

// The rows of a usage-service reply, in row order. The reply is searched, not parsed: every
// member object with a numeric "utilization" becomes a row labelled after the member's key,
// with its "resets_at" time. "extra_usage" never becomes a row. Then the entries of the
// "limits" array: a "weekly_scoped" one is the row "Weekly · " + its model's display name, a
// "session" or "weekly_all" one stands in for a missing "five_hour" or "seven_day", unless a row
// of that label is there already; the entry marked "is_active" marks its row as binding.
std::vector<LimitRow> ParseUsageResponse(std::string_view body);

// The reply's "extra_usage": on only when "is_enabled" is true; "used_credits" and
// "monthly_limit" in cents, a null or missing limit meaning no cap.
ExtraUsage ParseExtraUsage(std::string_view body);

// A model name from the reply, for a label: undecoded bytes as UTF-16, without control
// characters, at most kMaxModelNameChars.
inline constexpr size_t kMaxModelNameChars = 40;
std::wstring ModelNameForLabel(std::string_view name);

// The row label for a reply member, or nothing for "extra_usage": "five_hour" is "5-hour limit",
// "seven_day" is "Weekly · All models", "seven_day_NAME" is "Weekly · " + TitleCaseKey(NAME),
// any other key its TitleCaseKey; "oauth_apps" reads as "apps".
std::optional<std::wstring> UsageRowLabel(std::string_view key);

// The window of the row for a reply member: 5 hours for "five_hour", 7 days for "seven_day" and
// "seven_day_NAME", 0 (unknown) for any other.
int64_t UsageRowWindowSeconds(std::string_view key);

// Byte by byte: "_" becomes a space, the first byte and each one after "_" is upper-cased
// (ASCII), and every byte becomes one UTF-16 code unit.
std::wstring TitleCaseKey(std::string_view key);
