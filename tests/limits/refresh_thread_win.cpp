// The worker thread under Wine: it publishes at once, answers a wake without waiting out its 45
// seconds, ends when stopped, and is waited for.
#include "limits/refresh_thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>

namespace {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        Sleep(10);
    return done();
}

RefreshSources CountingSources(std::atomic<int>& cycles, std::atomic<bool>& holdScan) {
    RefreshSources sources;
    sources.fetchPlanLimits = [](int64_t) { return PlanLimits{}; };
    sources.readLiveCache = [](std::vector<LimitRow>&) { return int64_t{0}; };
    sources.planFromCredentials = [] { return std::wstring(); };
    sources.scanClaudeLogs = [&](int64_t) {
        ++cycles;
        while (holdScan.load())
            Sleep(5);
        return ClaudeLogSummary{};
    };
    sources.scanCodexLimits = [](int64_t) { return CodexLimits{}; };
    return sources;
}

// No window here: a window would make Wine start its desktop process, which would hold on to
// the test's output and keep ctest waiting.
TEST(RefreshThread, PublishesWakesOnTheEventAndStops) {
    std::atomic<int> cycles{0}, published{0};
    std::atomic<bool> hold{false};
    PublishedState state;
    RefreshThread thread;
    ASSERT_TRUE(thread.Start(CountingSources(cycles, hold), state, [&] { ++published; }));

    EXPECT_TRUE(WaitUntil([&] { return published >= 1; }, std::chrono::seconds(5)));
    EXPECT_NE(state.state.publishedAt, 0);
    thread.Wake();
    thread.Wake();  // signals coalesce: at most one more cycle each time it waits
    EXPECT_TRUE(WaitUntil([&] { return published >= 2; }, std::chrono::seconds(5)));
    const int cyclesBeforeStop = cycles;
    EXPECT_TRUE(thread.Stop(2000));
    EXPECT_LE(cycles - cyclesBeforeStop, 1);  // a cycle under way may finish; then it stops
    EXPECT_LE(cycles, 4);
}

TEST(RefreshThread, AStopThatTimesOutSaysSoAndAStopLaterWaits) {
    std::atomic<int> cycles{0}, published{0};
    std::atomic<bool> hold{true};  // a scan held up, as on a slow network drive
    PublishedState state;
    RefreshThread thread;
    ASSERT_TRUE(thread.Start(CountingSources(cycles, hold), state, [&] { ++published; }));
    ASSERT_TRUE(WaitUntil([&] { return cycles >= 1; }, std::chrono::seconds(5)));
    EXPECT_FALSE(thread.Stop(100));
    hold = false;
    EXPECT_TRUE(thread.Stop(2000));
    EXPECT_EQ(published, 0);  // the cycle that ran into the stop published nothing
}

}  // namespace
