#pragma once

#include <cstdint>
#include <string>

#include "display/usage_snapshot.h"
#include "history/ledger_location.h"

// Writes the usage report of `snapshot`, with the history of the ledgers at `ledgers`, to
// "tidewell-report.html" in the temporary folder. Reads the ledgers, so it belongs on a thread
// other than the window's. Returns the page's path; empty when it could not be written (an
// earlier page must not pass for this one).
std::wstring WriteUsageReport(const UsageSnapshot& snapshot, const LedgerLocation& ledgers,
                              bool stillReading, int64_t now);

// Opens a written report in the user's browser.
void ShowUsageReport(const std::wstring& path);
