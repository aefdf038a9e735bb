#include "limits/refresh_thread_win.h"

#include <ctime>

namespace {
constexpr DWORD kCycleWaitMs = 45000;
}  // namespace

RefreshThread::~RefreshThread() {
    Stop(INFINITE);
}

bool RefreshThread::Start(PublishedState& state, AtomicDouble& maxblock,
                          std::function<void()> published) {
    scanners_.claude.StopWhen(&quit_);
    scanners_.codex.StopWhen(&quit_);
    return Start(DefaultRefreshSources(scanners_, maxblock, &quit_), state, std::move(published));
}

bool RefreshThread::Start(RefreshSources sources, PublishedState& state,
                          std::function<void()> published) {
    if (thread_)
        return false;
    wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!wake_)
        return false;
    sources_ = std::move(sources);
    state_ = &state;
    published_ = std::move(published);
    thread_.reset(CreateThread(nullptr, 0, Main, this, 0, nullptr));
    // Scans give way to the user interface and to the programs the user works with.
    if (thread_)
        SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
    return static_cast<bool>(thread_);
}

void RefreshThread::Wake() {
    if (wake_)
        SetEvent(wake_.get());
}

void RefreshThread::WakeWithFetch() {
    forceFetch_.exchange(true);
    Wake();
}

void RefreshThread::RequestStop() {
    quit_.exchange(true);
    Wake();
}

bool RefreshThread::Stop(DWORD timeoutMs) {
    RequestStop();
    if (!thread_)
        return true;
    if (WaitForSingleObject(thread_.get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    thread_.reset();
    return true;
}

DWORD WINAPI RefreshThread::Main(void* self) {
    static_cast<RefreshThread*>(self)->Loop();
    return 0;
}

void RefreshThread::Loop() {
    RefreshWorker worker(std::move(sources_), *state_, &quit_);
    while (!quit_.load()) {
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        worker.RunCycle(now, forceFetch_.exchange(false));
        if (quit_.load())
            break;
        published_();
        WaitForSingleObject(wake_.get(), kCycleWaitMs);
    }
}
