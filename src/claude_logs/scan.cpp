#include "claude_logs/scan.h"

#include <ctime>

#include "claude_logs/log_roots.h"
#include "claude_logs/log_scanner.h"
#include "core/settings.h"

namespace {
ClaudeLogScanner gClaudeLogScanner;
}  // namespace

ClaudeLogSummary ScanClaudeLogs(int64_t now) {
    const ClaudeLogSelection& selection = gClaudeLogScanner.Scan(
        ClaudeLogRootsFromEnvironment(), now, static_cast<int64_t>(std::time(nullptr)));
    return SummarizeClaudeUsage(selection.found, selection.records, now, gSettings.maxblock);
}
