#include "limits/refresh_worker.h"

#include <new>

#include <algorithm>
#include <ctime>
#include <optional>

#include "claude_logs/scan.h"
#include "codex/codex_scanner.h"
#include "limits/history_cycle.h"
#include "limits/limit_cache.h"
#include "platform/whole_file.h"

bool FetchIsDue(const FetchSchedule& schedule, int64_t now, bool requested) {
    return now >= schedule.nextFetchTime ||
           (requested && now >= schedule.nextFetchTime - kEarlyRefresh);
}

void ScheduleAfterFetch(FetchSchedule& schedule, int64_t now, const PlanLimits& limits) {
    // Cached rows keep the failure's status: only the service's own rows end a back-off.
    if (limits.status == FetchStatus::kOk) {
        schedule.backoff = kFetchInterval;
        schedule.nextFetchTime = now + kFetchInterval;
    } else if (limits.status == FetchStatus::kRateLimited) {
        schedule.nextFetchTime = now + schedule.backoff;
        schedule.backoff = std::min(schedule.backoff * 2, kMaxBackoff);
    } else {
        schedule.nextFetchTime = now + kFetchInterval;
    }
}

PlanLimits MergeLiveRows(const std::vector<LimitRow>& live, int64_t liveAt, const PlanLimits& base,
                         int64_t now, const std::function<std::wstring()>& planFromCredentials) {
    PlanLimits merged;
    merged.limits = live;
    for (LimitRow& row : merged.limits) {  // the service's word on which limit binds stays
        row.binding = std::any_of(base.limits.begin(), base.limits.end(), [&](const LimitRow& b) {
            return b.binding && b.label == row.label;
        });
    }
    for (const LimitRow& row : base.limits) {
        const bool replaced = std::any_of(live.begin(), live.end(), [&](const LimitRow& liveRow) {
            return liveRow.label == row.label;
        });
        if (!replaced) merged.limits.push_back(row);
    }
    for (LimitRow& row : merged.limits) {
        if (row.resetsAt != 0 && row.resetsAt <= now) row.percent = 0;
    }
    merged.hasLimits = true;
    merged.fromStatusLine = true;
    merged.asOf = liveAt;
    merged.extra = base.extra;
    merged.plan = base.plan.empty() ? planFromCredentials() : base.plan;
    return merged;
}

RefreshSources DefaultRefreshSources(LogScanners& scanners, AtomicDouble& maxblock,
                                     const std::atomic<bool>* stop) {
    RefreshSources sources;
    sources.fetchPlanLimits = [stop](int64_t now) { return FetchPlanLimits(now, stop); };
    sources.readLiveCache = [&scanners](std::vector<LimitRow>& rows) {
        return scanners.live.Read(rows, static_cast<int64_t>(std::time(nullptr)));
    };
    sources.planFromCredentials = [] {
        const auto path = FindClaudeCredentials();
        return path ? PlanFromCredentials(ReadWholeFile(*path)) : std::wstring();
    };
    sources.scanClaudeLogs = [&scanners, &maxblock](int64_t now) {
        return ScanClaudePlaces(scanners.claude, scanners.places, now,
                                static_cast<int64_t>(std::time(nullptr)), maxblock,
                                &scanners.claudeGate, &scanners.claudeDays);
    };
    sources.scanCodexLimits = [&scanners](int64_t now) {
        return ScanCodexPlaces(scanners.codex, scanners.places, now, &scanners.codexGate);
    };
    scanners.history.StopWhen(stop);
    sources.recordHistory = [&scanners](int64_t now, const std::wstring& historyFolder) {
        HistoryRecorder& recorder = scanners.history;
        recorder.Record(LedgerLocationNow(historyFolder),
                        HistoryPlacesAfterScan(scanners.places, scanners.claude, scanners.codex, now),
                        HistoryFilesAfterScan(scanners.claude, scanners.codex), now);
        return recorder.state();
    };
    sources.readHistorySlice = [&scanners](int64_t now, HistoryState& state) {
        const bool more = scanners.history.ReadHistorySlice(now);
        state = scanners.history.state();
        return more;
    };
    return sources;
}

RefreshWorker::RefreshWorker(RefreshSources sources, PublishedState& published,
                             const std::atomic<bool>* stop)
    : sources_(std::move(sources)), published_(published), stop_(stop) {}

void RefreshWorker::RunCycle(int64_t now, bool requested) {
    try {
        RunCycleOrThrow(now, requested);
    } catch (const std::bad_alloc&) {
        // Out of memory (a hostile log, say): this cycle publishes nothing; the next one tries
        // again, and the program stays up.
    }
}

void RefreshWorker::RunCycleOrThrow(int64_t now, bool requested) {
    std::optional<PlanLimits> limits;
    if (FetchIsDue(schedule_, now, requested)) {
        limits = sources_.fetchPlanLimits(now);
        ScheduleAfterFetch(schedule_, now, *limits);
    }

    std::vector<LimitRow> live;
    const int64_t liveAt = sources_.readLiveCache(live);
    if (IsCacheFresh(live.size(), liveAt, now, kLiveCacheMaxAge)) {
        limits = MergeLiveRows(live, liveAt, limits ? *limits : lastPlanLimits_, now,
                               sources_.planFromCredentials);
    }

    // The scans fill this worker's own results; the lock is taken only to move them in, so a
    // reader never waits for a scan.
    ClaudeLogSummary claude = sources_.scanClaudeLogs(now);
    CodexLimits codex = sources_.scanCodexLimits(now);
    if (stop_ && stop_->load()) {
        return;  // a scan cut short by quitting is not the picture of the logs
    }
    std::optional<HistoryState> history;
    if (sources_.recordHistory) {
        history = sources_.recordHistory(
            now, sources_.historyFolder ? sources_.historyFolder() : std::wstring());
        readingHistory_ = history->readingHistory;
    }
    if (limits) lastPlanLimits_ = *limits;
    std::lock_guard<std::mutex> guard(published_.lock);
    UsageState& state = published_.state;
    state.claude = std::move(claude);
    state.codex = std::move(codex);
    if (limits) state.planLimits = std::move(*limits);
    if (history) state.history = std::move(*history);
    state.publishedAt = now;
}

bool RefreshWorker::RunHistorySlice(int64_t now) {
    if (!sources_.readHistorySlice || !readingHistory_) return false;
    HistoryState history;
    try {
        readingHistory_ = sources_.readHistorySlice(now, history);
    } catch (const std::bad_alloc&) {
        return readingHistory_;  // tried again at the next slice
    }
    std::lock_guard<std::mutex> guard(published_.lock);
    published_.state.history = std::move(history);
    return readingHistory_;
}
