#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "display/usage_snapshot.h"
#include "history/history_rows.h"
#include "history/ledger_row.h"

// The usage report page for the snapshot at `now`, as one line of UTF-8 HTML: when it was made,
// tokens per day (every day of the last eight, oldest first, with bars against the busiest day),
// every 5-hour window (newest first) and the Codex limits. `toLocal` converts `now` and block
// start times to local time.
std::string BuildUsageReport(const UsageSnapshot& snapshot, int64_t now,
                             const std::function<LocalDateTime(int64_t)>& toLocal = ToLocalDateTime);

// What the ledger adds to the report: every computer's rows, whether the logs are still being
// read into it, and the ledgers that could not be read (full paths).
struct ReportHistory {
    std::vector<LedgerRow> rows;
    bool stillReading = false;
    std::vector<std::wstring> unreadable;
};

// The report's history from what was read of the ledgers.
ReportHistory ReportHistoryFrom(HistoryRows read, bool stillReading);

// The same page with the history after everything above (which stays as it is), as of the
// local day of `now`. With no rows, nothing being read and nothing unreadable, the page above.
std::string BuildUsageReport(
    const UsageSnapshot& snapshot, const ReportHistory& history, int64_t now,
    const std::function<LocalDateTime(int64_t)>& toLocal = ToLocalDateTime);

// When the report was made, as its heading says, in US English whatever the locale:
// "Mon, Mar 3, 2025 at 2:05 PM".
std::string FormatReportMadeTime(const LocalDateTime& local);

// A block's start as the report shows it, in English whatever the locale: "Mon 03 Mar 14:00".
std::string FormatReportStartTime(const LocalDateTime& local);
