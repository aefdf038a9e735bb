#include "claude_logs/scan.h"

#include <ctime>

#include "claude_logs/log_roots.h"

ClaudeLogSummary ScanClaudeLogs(ClaudeLogScanner& scanner, int64_t now, AtomicDouble& maxblock) {
    const ClaudeLogSelection& selection = scanner.Scan(ClaudeLogRootsFromEnvironment(), now,
                                                       static_cast<int64_t>(std::time(nullptr)));
    return SummarizeClaudeUsage(selection.found, selection.records, now, maxblock);
}
