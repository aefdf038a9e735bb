#include "limits/refresh_thread_win.h"

#include <ctime>
#include <thread>

#include "app/messages.h"

HANDLE RefreshEvent = nullptr;

namespace {

constexpr DWORD kCycleWaitMs = 45000;

void RefreshWorkerBody(HWND window, RefreshSources sources) {
    RefreshWorker worker(std::move(sources), gUsageState, gUsageStateLock);
    while (!QuitFlag.load()) {
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        worker.RunCycle(now, ForceRefreshFlag.exchange(false));
        PostMessageW(window, MSG_DATA_READY, 0, 0);
        WaitForSingleObject(RefreshEvent, kCycleWaitMs);
    }
}

}  // namespace

bool StartRefreshWorker(HWND window, RefreshSources sources) {
    if (!RefreshEvent) {
        RefreshEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    if (!RefreshEvent) {
        return false;
    }
    try {
        std::thread(RefreshWorkerBody, window, std::move(sources)).detach();
    } catch (...) {
        return false;  // no thread to be had; no exception leaves this module
    }
    return true;
}
