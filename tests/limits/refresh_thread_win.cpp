// The worker thread under Wine: it publishes at once, answers RefreshEvent without waiting out
// its 45 seconds, and ends after QuitFlag.
#include "limits/refresh_thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "app/messages.h"

namespace {

std::atomic<int> gDataReady{0};
std::atomic<int> gCycles{0};

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_DATA_READY) {
        ++gDataReady;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Pumps this thread's messages until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (done()) return true;
        Sleep(10);
    }
    return done();
}

TEST(RefreshThread, PublishesWakesOnTheEventAndQuits) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TidewellWorkerTest";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    RefreshSources sources;
    sources.fetchPlanLimits = [](int64_t) { return PlanLimits{}; };
    sources.readLiveCache = [](std::vector<LimitRow>&) { return int64_t{0}; };
    sources.planFromCredentials = [] { return std::wstring(); };
    sources.scanClaudeLogs = [](int64_t) {
        ++gCycles;
        return ClaudeLogSummary{};
    };
    sources.scanCodexLimits = [](int64_t) { return CodexLimits{}; };
    ASSERT_TRUE(StartRefreshWorker(window, sources));

    EXPECT_TRUE(PumpUntil([] { return gDataReady >= 1; }, std::chrono::seconds(5)));
    SetEvent(RefreshEvent);
    SetEvent(RefreshEvent);  // signals coalesce: at most one more cycle each time it waits
    EXPECT_TRUE(PumpUntil([] { return gDataReady >= 2; }, std::chrono::seconds(5)));
    const int cyclesBeforeQuit = gCycles;
    QuitFlag = true;
    SetEvent(RefreshEvent);
    PumpUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_LE(gCycles - cyclesBeforeQuit, 1);  // a cycle under way may finish; then it stops
    EXPECT_LE(gCycles, 4);
    DestroyWindow(window);
}

}  // namespace
