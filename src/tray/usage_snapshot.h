#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "limits/usage_client.h"

// The main thread's copy of the published state: what the tray, the panel, the warnings and
// the report show.
struct UsageSnapshot {
    PlanLimits planLimits;
    CodexLimits codex;
    ClaudeLogSummary claude;
    bool hasUpdate = false;
    int64_t lastUpdate = 0;
};

// The percent the tray icon shows under the `show` setting ("auto", "claude" or "codex"; any
// other value acts as "auto"), or nothing.
std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show);

// The tray tooltip: "Tidewell", then the Claude, Codex and no-session lines as they apply.
std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now);
