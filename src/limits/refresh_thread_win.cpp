#include "limits/refresh_thread_win.h"

#include <ctime>
#include <thread>

#include "platform/messages.h"

HANDLE RefreshEvent = nullptr;

namespace {

constexpr DWORD kCycleWaitMs = 45000;

void RefreshWorkerBody(RefreshSources sources, std::function<void()> published) {
    RefreshWorker worker(std::move(sources), gUsageState, gUsageStateLock);
    while (!QuitFlag.load()) {
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        worker.RunCycle(now, ForceRefreshFlag.exchange(false));
        published();
        WaitForSingleObject(RefreshEvent, kCycleWaitMs);
    }
}

}  // namespace

std::function<void()> PostDataReadyTo(HWND window) {
    return [window] { PostMessageW(window, MSG_DATA_READY, 0, 0); };
}

bool StartRefreshWorker(RefreshSources sources, std::function<void()> published) {
    if (!RefreshEvent) {
        RefreshEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    if (!RefreshEvent) {
        return false;
    }
    try {
        std::thread(RefreshWorkerBody, std::move(sources), std::move(published)).detach();
    } catch (...) {
        return false;  // no thread to be had; no exception leaves this module
    }
    return true;
}
