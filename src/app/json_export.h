#pragma once

#include <functional>
#include <string>
#include <vector>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "limits/account_usage.h"

// The export's one line of JSON, without a line break.
std::string FormatJsonExport(const ClaudeLogSummary& claude, const CodexLimits& codex);

// The same with the member "accounts" last: one object per login, {"name", "tool" ("claude" or
// "codex"), "folder", "limits": [{"label", "percent", "resets_at"}], "estimate": {"percent",
// "tokens"}} ("estimate" is null for Codex, whose figures are its limits). The members before
// it are byte for byte the line above, so older readers see what they saw.
std::string FormatJsonExport(const ClaudeLogSummary& claude, const CodexLimits& codex,
                             const std::vector<AccountUsage>& accounts);

// Where the export finds the logins and their own estimates; with no `logins`, "accounts" is
// empty.
struct JsonLoginSources {
    std::function<std::vector<Login>(int64_t now)> logins;
    std::function<ClaudeLogSummary(const Login& login, int64_t now)> claudeEstimate;
    std::function<CodexLimits(const Login& login, int64_t now)> codexEstimate;
};

// Loads the settings, scans both logs once and writes the line to `outputPath` (created or
// truncated; relative to the current folder). Each login's limits come from its caches (no
// request is made). Returns the exit code: 0, or 1 when the file could not be created or fully
// written.
int RunJsonExport(const std::wstring& outputPath, const JsonLoginSources& logins = {});
