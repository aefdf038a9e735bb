#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "core/atomic_double.h"
#include "core/walk_gate.h"
#include "history/history_recorder.h"
#include "history/history_state.h"
#include "history/ledger_days.h"
#include "limits/account_usage.h"
#include "limits/fetch_schedule.h"
#include "limits/limit_cache.h"
#include "limits/limit_rows.h"
#include "limits/usage_client.h"
#include "sources/login_estimate.h"
#include "sources/place_scan.h"

// What the refresh worker publishes.
struct UsageState {
    PlanLimits planLimits;
    CodexLimits codex;
    ClaudeLogSummary claude;
    HistoryState history;
    // Every login, in the settings page's order: Claude's, then Codex's. The members above are
    // the picture of one login per tool (the first Claude login's limits, every log merged).
    std::vector<AccountUsage> accounts;
    int64_t publishedAt = 0;  // the time of the cycle that published last; 0 before the first
};

// The published state and the one lock that guards it. The worker holds the lock only to move
// a finished cycle's results in; readers hold it only to copy them out.
struct PublishedState {
    std::mutex lock;
    UsageState state;
};

// The plan limits with fresh status-line rows merged in: the live rows first, then the other
// rows of `base` whose label no live row has; rows that have reset by `now` read 0 percent.
// An empty plan is filled by `planFromCredentials`.
PlanLimits MergeLiveRows(const std::vector<LimitRow>& live, int64_t liveAt, const PlanLimits& base,
                         int64_t now, const std::function<std::wstring()>& planFromCredentials);

// Where a cycle gets its figures; tests supply fakes.
struct RefreshSources {
    std::function<PlanLimits(int64_t now)> fetchPlanLimits;
    std::function<int64_t(std::vector<LimitRow>& rows)> readLiveCache;  // returns "at"
    std::function<std::wstring()> planFromCredentials;
    std::function<ClaudeLogSummary(int64_t now)> scanClaudeLogs;
    std::function<CodexLimits(int64_t now)> scanCodexLimits;
    // The ledger: a cycle's recording, and one slice of the history reading (true while more is
    // left). Either may be empty.
    std::function<HistoryState(int64_t now, const std::wstring& historyFolder)> recordHistory;
    std::function<bool(int64_t now, HistoryState& state)> readHistorySlice;
    // The history folder the user chose; empty for the data folder.
    std::function<std::wstring()> historyFolder;

    // Each login's own figures. Without `logins`, or while it finds none, a cycle is the one of
    // one login per tool above.
    std::function<std::vector<Login>(int64_t now)> logins;
    // One login's fetch with its own credentials (none: signed out, nothing sent) into its own
    // api cache.
    std::function<PlanLimits(const Login& login, int64_t now)> fetchLoginLimits;
    // The access token in a login's credentials; empty when there is none.
    std::function<std::string(const Login& login)> loginToken;
    // The newest of a login's live files: appends its rows, returns its "at".
    std::function<int64_t(const Login& login, std::vector<LimitRow>& rows)> readLoginLive;
    std::function<std::wstring(const Login& login)> loginPlan;  // from its credentials
    // The credentials the one-login picture used (FindClaudeCredentials): whose limits are
    // `UsageState::planLimits`.
    std::function<std::optional<std::wstring>()> primaryCredentials;
    // A login's own log estimate and the tokens of its largest completed block; a Codex login's
    // own figures. Any may be empty.
    std::function<ClaudeLogSummary(const Login& login, int64_t now)> claudeEstimate;
    std::function<double(const Login& login)> claudeMaxblock;
    std::function<CodexLimits(const Login& login, int64_t now)> codexEstimate;
};

// What the worker keeps from one cycle to the next: the scanners' memories of the log files,
// the watches that let a cycle in which no log changed skip the walks, the local days of the
// daily totals, and live.ini as read.
struct LogScanners {
    ClaudeLogScanner claude;
    CodexScanner codex;
    WalkGate claudeGate;
    WalkGate codexGate;
    LocalDays claudeDays;
    LiveCacheReader live{LiveCachePath()};
    LogPlaceFinder places;
    HistoryRecorder history{LocalDayOf};
    std::map<std::wstring, LiveCacheReader> loginLive;  // by path: every login's live files
    // Each login's own records, largest block and local days, by login key. The default login's
    // largest block is the settings' own; another's starts from `loginMaxblockSeeds` (by
    // LoginFileTag), the blocks stored at the last run.
    struct LoginScan {
        LoginRecords records;
        AtomicDouble maxblock;
        LocalDays days;
    };
    std::map<std::wstring, LoginScan> loginScans;
    std::map<std::wstring, double> loginMaxblockSeeds;
};

// The newest of the live files `fileNames` (in the cache folder), each read through its own
// reader in `readers`: appends its rows and returns its "at"; 0 when none has rows.
int64_t ReadNewestLive(std::map<std::wstring, LiveCacheReader>& readers,
                       const std::vector<std::wstring>& fileNames, std::vector<LimitRow>& rows,
                       int64_t now);

// The real sources: the usage service, live.ini, Claude Code's credentials and both scanners
// (the Claude scan raises `maxblock`); once `stop` is set, a usage-service reply is no longer
// stored. All three must outlive the sources.
RefreshSources DefaultRefreshSources(LogScanners& scanners, AtomicDouble& maxblock,
                                     const std::atomic<bool>* stop = nullptr);

// One refresh cycle after another: ask the service when due, merge fresh status-line rows,
// scan both logs, and publish everything. Everything slow runs outside the lock.
class RefreshWorker {
public:
    // Once `stop` is set, a cycle publishes nothing more (the program is quitting).
    RefreshWorker(RefreshSources sources, PublishedState& published,
                  const std::atomic<bool>* stop = nullptr);

    // Runs one cycle at `now`; `requested` is the panel's Refresh. A cycle that runs out of
    // memory ends early and publishes nothing.
    void RunCycle(int64_t now, bool requested);
    // One slice of the history reading, published; true while more is left.
    bool RunHistorySlice(int64_t now);
    bool readingHistory() const { return readingHistory_; }

    const FetchSchedule& schedule() const { return schedule_; }
    // A login's schedule; nullptr for a login not seen.
    const FetchSchedule* loginSchedule(const std::wstring& key) const;

private:
    struct LoginLimits {
        FetchSchedule schedule;
        PlanLimits last;  // what this worker last published for the login
    };

    void RunCycleOrThrow(int64_t now, bool requested);
    // Every login's figures at `now`, asking the service for at most one of them.
    std::vector<AccountUsage> LoginCycle(const std::vector<Login>& logins, int64_t now,
                                         bool requested);
    void FetchOneLogin(const std::vector<Login>& logins, int64_t now, bool requested);

    RefreshSources sources_;
    PublishedState& published_;
    const std::atomic<bool>* stop_;
    FetchSchedule schedule_;
    PlanLimits lastPlanLimits_;  // what this worker last published, the base of a live merge
    std::map<std::wstring, LoginLimits> loginLimits_;  // by login key
    std::vector<AccountUsage> lastAccounts_;           // what was published last
    bool readingHistory_ = false;
};
