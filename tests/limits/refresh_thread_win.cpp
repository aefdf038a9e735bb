// The worker thread under Wine: it publishes at once, answers RefreshEvent without waiting out
// its 45 seconds, and ends after QuitFlag.
#include "limits/refresh_thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include <functional>

namespace {

std::atomic<int> gDataReady{0};
std::atomic<int> gCycles{0};

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) Sleep(10);
    return done();
}

// No window here: a window would make Wine start its desktop process, which would hold on to
// the test's output and keep ctest waiting.
TEST(RefreshThread, PublishesWakesOnTheEventAndQuits) {
    RefreshSources sources;
    sources.fetchPlanLimits = [](int64_t) { return PlanLimits{}; };
    sources.readLiveCache = [](std::vector<LimitRow>&) { return int64_t{0}; };
    sources.planFromCredentials = [] { return std::wstring(); };
    sources.scanClaudeLogs = [](int64_t) {
        ++gCycles;
        return ClaudeLogSummary{};
    };
    sources.scanCodexLimits = [](int64_t) { return CodexLimits{}; };
    ASSERT_TRUE(StartRefreshWorker(sources, [] { ++gDataReady; }));

    EXPECT_TRUE(WaitUntil([] { return gDataReady >= 1; }, std::chrono::seconds(5)));
    SetEvent(RefreshEvent);
    SetEvent(RefreshEvent);  // signals coalesce: at most one more cycle each time it waits
    EXPECT_TRUE(WaitUntil([] { return gDataReady >= 2; }, std::chrono::seconds(5)));
    const int cyclesBeforeQuit = gCycles;
    QuitFlag = true;
    SetEvent(RefreshEvent);
    Sleep(500);
    EXPECT_LE(gCycles - cyclesBeforeQuit, 1);  // a cycle under way may finish; then it stops
    EXPECT_LE(gCycles, 4);
}

}  // namespace
