#pragma once

#include <cstdint>

#include "display/usage_snapshot.h"

// Writes the usage report of `snapshot` to "tidewell-report.html" in the temporary folder and
// opens it. False, opening nothing, when the page could not be written: an earlier page must not
// pass for this one.
bool OpenUsageReport(const UsageSnapshot& snapshot, int64_t now);
