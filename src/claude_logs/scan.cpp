#include "claude_logs/scan.h"

#include <ctime>

#include "claude_logs/log_roots.h"

ClaudeLogSummary ScanClaudeRoots(ClaudeLogScanner& scanner, const std::vector<std::wstring>& roots,
                                 int64_t now, int64_t clockNow, AtomicDouble& maxblock,
                                 WalkGate* gate, LocalDays* days) {
    const ClaudeLogSelection& selection = WalkOrReuse(
        gate, roots, now,
        [&]() -> const ClaudeLogSelection& { return scanner.Scan(roots, now, clockNow); },
        [&]() -> const ClaudeLogSelection& { return scanner.Reselect(now); });
    return SummarizeClaudeUsage(selection.found, selection.records, now, maxblock, days);
}

ClaudeLogSummary ScanClaudeLogs(ClaudeLogScanner& scanner, int64_t now, AtomicDouble& maxblock,
                                WalkGate* gate, LocalDays* days) {
    return ScanClaudeRoots(scanner, ClaudeLogRootsFromEnvironment(), now,
                           static_cast<int64_t>(std::time(nullptr)), maxblock, gate, days);
}
