#pragma once

#include <cstdint>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "core/atomic_double.h"

// Scans Claude Code's logs under the roots of this process's environment with `scanner`,
// raising `maxblock` as blocks end.
ClaudeLogSummary ScanClaudeLogs(ClaudeLogScanner& scanner, int64_t now, AtomicDouble& maxblock);
