#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "limits/limit_rows.h"
#include "limits/usage_client.h"

// What the refresh worker publishes; guarded by gUsageStateLock.
struct UsageState {
    PlanLimits planLimits;
    CodexLimits codex;
    ClaudeLogSummary claude;
};

extern UsageState gUsageState;
extern std::mutex gUsageStateLock;
// Set once when the main window goes away; the worker ends at the top of its next cycle.
extern std::atomic<bool> QuitFlag;
// Set by the panel's Refresh: lets the next cycle ask the service early (after 60 seconds).
extern std::atomic<bool> ForceRefreshFlag;

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
};

// The real sources: the usage service, live.ini, Claude Code's credentials and both scanners.
RefreshSources DefaultRefreshSources();

// One refresh cycle after another: ask the service when due, merge fresh status-line rows,
// scan both logs and publish everything under the lock.
class RefreshWorker {
public:
    RefreshWorker(RefreshSources sources, UsageState& state, std::mutex& lock);

    // Runs one cycle at `now`; `requested` is the panel's Refresh. A cycle that runs out of
    // memory ends early and publishes nothing.
    void RunCycle(int64_t now, bool requested);

    const FetchSchedule& schedule() const { return schedule_; }

private:
    void RunCycleOrThrow(int64_t now, bool requested);

    RefreshSources sources_;
    UsageState& state_;
    std::mutex& lock_;
    FetchSchedule schedule_;
};
