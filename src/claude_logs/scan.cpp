#include "claude_logs/scan.h"

#include <ctime>

#include "claude_logs/log_roots.h"

ClaudeLogSummary ScanClaudeRoots(ClaudeLogScanner& scanner, const std::vector<std::wstring>& roots,
                                 int64_t now, int64_t clockNow, AtomicDouble& maxblock,
                                 WalkGate* gate) {
    const ClaudeLogSelection* selection = nullptr;
    if (gate && !gate->WalkDue(roots, now)) {
        selection = &scanner.Reselect(now);
    } else {
        try {
            selection = &scanner.Scan(roots, now, clockNow);
        } catch (...) {
            if (gate)
                gate->WalkFailed();
            throw;
        }
    }
    return SummarizeClaudeUsage(selection->found, selection->records, now, maxblock);
}

ClaudeLogSummary ScanClaudeLogs(ClaudeLogScanner& scanner, int64_t now, AtomicDouble& maxblock,
                                WalkGate* gate) {
    return ScanClaudeRoots(scanner, ClaudeLogRootsFromEnvironment(), now,
                           static_cast<int64_t>(std::time(nullptr)), maxblock, gate);
}
