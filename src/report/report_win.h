#pragma once

// Writes the usage report for the current snapshot to "tidewell-report.html" in the temporary
// folder and opens it. The page replaces the earlier one only once it is written whole; when
// that fails, the earlier page is left alone, nothing is opened and a balloon says so.
void OpenUsageReport();
