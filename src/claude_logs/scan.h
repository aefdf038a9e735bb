#pragma once

#include <cstdint>

#include "claude_logs/usage_summary.h"

// Scans Claude Code's logs under the roots of this process's environment with the process-wide
// scanner, raising gSettings.maxblock as blocks end. Not thread-safe: one caller at a time.
ClaudeLogSummary ScanClaudeLogs(int64_t now);
