#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/local_time.h"
#include "display/usage_snapshot.h"

// The usage report page for the snapshot at `now`, as one line of UTF-8 HTML: tokens per day
// (oldest first, with bars against the busiest day), every 5-hour window (newest first) and the
// Codex limits. `toLocal` converts block start times to local time.
std::string BuildUsageReport(const UsageSnapshot& snapshot, int64_t now,
                             const std::function<LocalDateTime(int64_t)>& toLocal = ToLocalDateTime);

// A block's start as the report shows it, in English whatever the locale: "Mon 03 Mar 14:00".
std::string FormatReportStartTime(const LocalDateTime& local);
