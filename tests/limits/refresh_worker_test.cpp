#include "limits/refresh_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr int64_t kStart = 1757500000;

// A fetch's result. The message of a failure is not the one the client writes: the worker must
// go by the status alone.
PlanLimits Service(std::vector<LimitRow> rows, FetchStatus status = FetchStatus::kOk) {
    PlanLimits limits;
    limits.limits = std::move(rows);
    limits.hasLimits = !limits.limits.empty();
    limits.status = status;
    if (status != FetchStatus::kOk)
        limits.message = L"failed";
    limits.plan = L"Max";
    return limits;
}

// A worker whose sources are scripted by the test.
class Worker : public ::testing::Test {
protected:
    PublishedState shared;
    UsageState& state = shared.state;
    std::mutex& lock = shared.lock;
    int fetches = 0;
    PlanLimits answer = Service({{L"5-hour limit", 20, 0}});
    std::vector<LimitRow> live;
    int64_t liveAt = 0;
    int scans = 0;
    RefreshWorker worker{Sources(), shared};

    RefreshSources Sources() {
        RefreshSources sources;
        sources.fetchPlanLimits = [this](int64_t) {
            ++fetches;
            return answer;
        };
        sources.readLiveCache = [this](std::vector<LimitRow>& rows) {
            rows = live;
            return liveAt;
        };
        sources.planFromCredentials = [] { return std::wstring(L"Pro"); };
        sources.scanClaudeLogs = [this](int64_t) {
            ++scans;
            ClaudeLogSummary summary;
            summary.found = true;
            return summary;
        };
        sources.scanCodexLimits = [](int64_t) {
            CodexLimits codex;
            codex.found = true;
            return codex;
        };
        return sources;
    }
};

TEST_F(Worker, TheFirstCycleFetchesScansAndPublishes) {
    worker.RunCycle(kStart, true);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(scans, 1);
    EXPECT_TRUE(state.planLimits.hasLimits);
    EXPECT_TRUE(state.claude.found);
    EXPECT_TRUE(state.codex.found);
    EXPECT_EQ(worker.schedule().nextFetchTime, kStart + 600);
}

// A reader (the UI thread) takes the lock while a scan runs and never waits for it; the scan's
// results arrive whole, with the cycle's time, once it ends.
TEST_F(Worker, ScansRunOutsideTheLockAndPublishWhole) {
    std::atomic<bool> scanning{false}, release{false};
    RefreshSources sources = Sources();
    sources.scanClaudeLogs = [&](int64_t) {
        scanning = true;
        while (!release) std::this_thread::yield();
        ClaudeLogSummary summary;
        summary.found = true;
        return summary;
    };
    RefreshWorker slow{sources, shared};
    std::thread cycle([&] { slow.RunCycle(kStart, false); });
    while (!scanning) std::this_thread::yield();
    const bool free = lock.try_lock();
    if (free) {
        EXPECT_EQ(state.publishedAt, 0);  // nothing half-published meanwhile
        EXPECT_FALSE(state.claude.found);
        lock.unlock();
    }
    release = true;
    cycle.join();
    EXPECT_TRUE(free);
    EXPECT_TRUE(state.claude.found);
    EXPECT_EQ(state.publishedAt, kStart);
}

TEST_F(Worker, ACycleThatRunsIntoAStopPublishesNothing) {
    std::atomic<bool> stop{false};
    RefreshSources sources = Sources();
    sources.scanCodexLimits = [&](int64_t) {
        stop = true;  // the program quits during the scans
        return CodexLimits{};
    };
    RefreshWorker stopping{sources, shared, &stop};
    stopping.RunCycle(kStart, true);
    EXPECT_EQ(state.publishedAt, 0);
    EXPECT_FALSE(state.planLimits.hasLimits);
}

TEST_F(Worker, ACycleThatRunsOutOfMemoryEndsAloneAndTheNextOnePublishes) {
    bool exhausted = true;
    RefreshSources sources = Sources();
    sources.scanCodexLimits = [&](int64_t) -> CodexLimits {
        if (exhausted) throw std::bad_alloc();
        CodexLimits codex;
        codex.found = true;
        return codex;
    };
    RefreshWorker failing{sources, shared};
    failing.RunCycle(kStart, false);
    EXPECT_FALSE(state.codex.found);
    EXPECT_TRUE(lock.try_lock());  // not left held
    lock.unlock();
    exhausted = false;
    failing.RunCycle(kStart + 45, false);
    EXPECT_TRUE(state.codex.found);
}

TEST_F(Worker, ARequestedRefreshComesAtMostSixtySecondsAfterAFetch) {
    worker.RunCycle(kStart, true);
    worker.RunCycle(kStart + 59, true);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(scans, 2);  // the logs are still scanned
    worker.RunCycle(kStart + 60, true);
    EXPECT_EQ(fetches, 2);
    worker.RunCycle(kStart + 60 + 300, false);  // "Refresh now" and plain cycles wait the 600 s
    EXPECT_EQ(fetches, 2);
    worker.RunCycle(kStart + 660, false);
    EXPECT_EQ(fetches, 3);
}

TEST_F(Worker, RateLimitingBacksOffAndASuccessResetsIt) {
    answer = Service({}, FetchStatus::kRateLimited);
    int64_t now = kStart;
    std::vector<int64_t> pauses;
    for (int i = 0; i < 5; ++i) {
        worker.RunCycle(now, false);
        pauses.push_back(worker.schedule().nextFetchTime - now);
        now = worker.schedule().nextFetchTime;
    }
    EXPECT_EQ(pauses, (std::vector<int64_t>{600, 1200, 2400, 3600, 3600}));
    EXPECT_EQ(fetches, 5);
    answer = Service({{L"5-hour limit", 1, 0}});
    worker.RunCycle(now, false);
    EXPECT_EQ(worker.schedule().nextFetchTime - now, 600);
    EXPECT_EQ(worker.schedule().backoff, 600);
}

TEST_F(Worker, OtherFailuresLeaveTheBackOffAlone) {
    answer = Service({}, FetchStatus::kRateLimited);
    worker.RunCycle(kStart, false);  // pause 600, back-off now 1200
    answer = Service({}, FetchStatus::kOffline);
    worker.RunCycle(kStart + 600, false);
    EXPECT_EQ(worker.schedule().nextFetchTime, kStart + 1200);
    answer = Service({}, FetchStatus::kRateLimited);
    worker.RunCycle(kStart + 1200, false);
    EXPECT_EQ(worker.schedule().nextFetchTime, kStart + 2400);  // waits 1200
}

TEST_F(Worker, CachedRowsAfterA429StillBackOff) {
    answer = Service({{L"5-hour limit", 5, 0}}, FetchStatus::kRateLimited);  // rows from api.ini
    worker.RunCycle(kStart, false);
    EXPECT_EQ(worker.schedule().backoff, 1200);
}

TEST_F(Worker, FreshLiveRowsWinAndBringTheOtherServiceRowsAlong) {
    answer = Service({{L"5-hour limit", 20, 0},
                      {L"Weekly \u00b7 All models", 10, 0},
                      {L"Weekly \u00b7 Opus", 5, 0}});
    live = {{L"5-hour limit", 30, 0}};
    liveAt = kStart - 100;
    worker.RunCycle(kStart, false);
    const PlanLimits& published = state.planLimits;
    ASSERT_EQ(published.limits.size(), 3u);
    EXPECT_EQ(published.limits[0], (LimitRow{L"5-hour limit", 30, 0}));
    EXPECT_EQ(published.limits[1].label, L"Weekly \u00b7 All models");
    EXPECT_EQ(published.limits[2].label, L"Weekly \u00b7 Opus");
    EXPECT_TRUE(published.fromStatusLine);
    EXPECT_TRUE(published.hasLimits);
    EXPECT_EQ(published.message, L"");
    EXPECT_EQ(published.asOf, kStart - 100);
    EXPECT_EQ(published.plan, L"Max");
}

TEST_F(Worker, ALiveRowKeepsTheServicesBindingMark) {
    answer = Service({{L"5-hour limit", 20, 0}, {L"Weekly \u00b7 Fable", 43, 0, true}});
    live = {{L"Weekly \u00b7 Fable", 44, 0}, {L"5-hour limit", 30, 0}};
    liveAt = kStart;
    worker.RunCycle(kStart, false);
    ASSERT_EQ(state.planLimits.limits.size(), 2u);
    EXPECT_TRUE(state.planLimits.limits[0].binding);
    EXPECT_FALSE(state.planLimits.limits[1].binding);
}

TEST_F(Worker, LiveRowsKeepTheirOrderAndResetRowsReadZero) {
    answer = Service({{L"5-hour limit", 20, kStart - 1}});
    live = {{L"Weekly \u00b7 All models", 40, kStart}};
    liveAt = kStart;
    worker.RunCycle(kStart, false);
    ASSERT_EQ(state.planLimits.limits.size(), 2u);
    EXPECT_EQ(state.planLimits.limits[0], (LimitRow{L"Weekly \u00b7 All models", 0, kStart}));
    EXPECT_EQ(state.planLimits.limits[1], (LimitRow{L"5-hour limit", 0, kStart - 1}));
}

TEST_F(Worker, StaleLiveRowsAreIgnoredAndNothingIsZeroed) {
    answer = Service({{L"5-hour limit", 20, kStart - 1}});
    live = {{L"5-hour limit", 99, 0}};
    liveAt = kStart - 21600;
    worker.RunCycle(kStart, false);
    EXPECT_FALSE(state.planLimits.fromStatusLine);
    EXPECT_EQ(state.planLimits.limits[0].percent, 20);
}

TEST_F(Worker, LiveRowsHideAnOfflineServiceAndFillAnEmptyPlan) {
    answer = Service({}, FetchStatus::kOffline);
    answer.plan = L"";
    live = {{L"5-hour limit", 30, 0}};
    liveAt = kStart;
    worker.RunCycle(kStart, false);
    EXPECT_EQ(state.planLimits.message, L"");
    EXPECT_TRUE(state.planLimits.hasLimits);
    EXPECT_EQ(state.planLimits.plan, L"Pro");
}

TEST_F(Worker, WithoutAFetchLiveRowsMergeIntoThePublishedLimits) {
    worker.RunCycle(kStart, false);  // publishes the service's 20%
    live = {{L"Weekly \u00b7 All models", 50, 0}};
    liveAt = kStart + 30;
    worker.RunCycle(kStart + 45, false);
    EXPECT_EQ(fetches, 1);
    ASSERT_EQ(state.planLimits.limits.size(), 2u);
    EXPECT_EQ(state.planLimits.limits[1], (LimitRow{L"5-hour limit", 20, 0}));
    // A cycle with neither a fetch nor fresh live rows keeps the published limits.
    live.clear();
    worker.RunCycle(kStart + 90, false);
    EXPECT_TRUE(state.planLimits.fromStatusLine);
}

}  // namespace
