#pragma once

#include <cstdint>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "history/history_state.h"
#include "limits/refresh_worker.h"
#include "limits/usage_client.h"

// The UI thread's copy of the published state: what the tray, the panel, the warnings and the
// report show.
struct UsageSnapshot {
    PlanLimits planLimits;
    CodexLimits codex;
    ClaudeLogSummary claude;
    HistoryState history;    // the usage ledger: the panel's totals, the reading, the faults
    std::vector<AccountUsage> accounts;  // every login; see UsageState
    bool hasUpdate = false;  // false until the worker's first publish: the figures are being read
    int64_t lastUpdate = 0;  // when the figures were gathered (Unix seconds)
};

// The snapshot of what the worker published.
UsageSnapshot SnapshotOf(const UsageState& state);
