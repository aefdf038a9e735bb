#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "limits/limit_rows.h"

// The "five_hour" and "seven_day" limits of Claude Code's status-line JSON, as at most two rows
// labelled like the usage service's ("5-hour limit", "Weekly · All models"), in that order.
std::vector<LimitRow> ParseStatusLineLimits(std::string_view input);

// The model's "display_name" in the input, its bytes as they stand; empty when absent.
std::string_view StatusLineDisplayName(std::string_view input);

// The one line printed for Claude Code, with its line feed: "Opus  5h 43% · week 17%\n", or
// "Tidewell" in place of the figures when there are no rows.
std::string FormatStatusLine(const std::vector<LimitRow>& rows, std::string_view displayName);
