#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "core/atomic_double.h"
#include "core/walk_gate.h"

// Scans Claude Code's logs under the roots of this process's environment with `scanner`,
// raising `maxblock` as blocks end. With a `gate`, the roots are walked only when it says that
// something there changed; otherwise the records already read are summed up again for `now`.
// `days` keeps the local days of the daily totals from one call to the next.
ClaudeLogSummary ScanClaudeLogs(ClaudeLogScanner& scanner, int64_t now, AtomicDouble& maxblock,
                                WalkGate* gate = nullptr, LocalDays* days = nullptr);

// The same for given `roots`, with `clockNow` the wall clock.
ClaudeLogSummary ScanClaudeRoots(ClaudeLogScanner& scanner, const std::vector<std::wstring>& roots,
                                 int64_t now, int64_t clockNow, AtomicDouble& maxblock,
                                 WalkGate* gate, LocalDays* days = nullptr);
