#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
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
#include "limits/limit_cache.h"
#include "limits/limit_rows.h"
#include "limits/usage_client.h"
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

// When the usage service is asked next, and the pause after a 429.
struct FetchSchedule {
    int64_t nextFetchTime = 0;
    int64_t backoff = 600;
};

inline constexpr int64_t kFetchInterval = 600;
inline constexpr int64_t kMaxBackoff = 3600;
inline constexpr int64_t kEarlyRefresh = 540;  // a requested refresh may come this much early

// True when a cycle at `now` asks the service.
bool FetchIsDue(const FetchSchedule& schedule, int64_t now, bool requested);

// Moves the schedule on after a fetch at `now` that gave `limits`.
void ScheduleAfterFetch(FetchSchedule& schedule, int64_t now, const PlanLimits& limits);

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
};

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

private:
    void RunCycleOrThrow(int64_t now, bool requested);

    RefreshSources sources_;
    PublishedState& published_;
    const std::atomic<bool>* stop_;
    FetchSchedule schedule_;
    PlanLimits lastPlanLimits_;  // what this worker last published, the base of a live merge
    bool readingHistory_ = false;
};
