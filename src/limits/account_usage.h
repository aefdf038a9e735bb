#pragma once

#include <vector>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "limits/usage_client.h"
#include "sources/login.h"

// What one login shows: its own limits (the usage service's and its status line's, merged), its
// own log estimate, or its Codex figures.
struct AccountUsage {
    Login login;
    PlanLimits planLimits;    // Claude
    ClaudeLogSummary claude;  // Claude: the estimate from its own logs
    double maxblock = 0;      // Claude: tokens of its largest completed block (the estimate's 100%)
    CodexLimits codex;        // Codex
    // Its folder went away: these are its last figures, shown greyed for one cycle, then it goes.
    bool gone = false;
};

// The logins of `tool` among `accounts`.
size_t CountLogins(const std::vector<AccountUsage>& accounts, LoginTool tool);
