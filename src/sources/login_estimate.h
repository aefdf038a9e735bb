#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "core/atomic_double.h"
#include "sources/login.h"

// The records of one login, taken from what the shared scanner has read: the files below the
// login's roots, selected as the scanner selects all of them (the last 8 days, each reply once
// in path order, in time order). One object per login keeps its selection, so that a cycle in
// which no file changed selects nothing again.
class LoginRecords {
public:
    const ClaudeLogSelection& Select(const ClaudeLogScanner& scanner,
                                     const std::vector<std::wstring>& roots, int64_t now);

private:
    void SelectAll(const ClaudeLogScanner& scanner, int64_t now);

    ClaudeLogSelection selection_;
    bool selected_ = false;
    uint64_t version_ = 0;
    std::vector<std::wstring> roots_;
    int64_t selectedFrom_ = 0;          // the record cut-off of the selection
    int64_t nextCrossing_ = 0;          // the oldest selected time at or after it
    std::vector<DedupKey> laterTwins_;  // kept replies whose later copy was passed over, sorted
};

// One login's own estimate from its own records, raising its own `maxblock` as its blocks end.
// `found` says whether any of its roots exists (asked of `exists`).
ClaudeLogSummary EstimateLogin(LoginRecords& records, const ClaudeLogScanner& scanner,
                               const Login& login, int64_t now, AtomicDouble& maxblock,
                               LocalDays* days = nullptr,
                               const std::function<bool(const std::wstring&)>& exists = nullptr);

// One Codex login's newest figures: those of the files below its sessions folders, of what the
// shared scanner has read.
CodexLimits CodexLimitsOfLogin(const CodexScanner& scanner, const Login& login, int64_t now,
                               const std::function<bool(const std::wstring&)>& exists = nullptr);
