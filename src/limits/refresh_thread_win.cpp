#include "limits/refresh_thread_win.h"

#include <ctime>

namespace {

constexpr DWORD kCycleWaitMs = 45000;
// Between two slices of the history reading the thread rests this long, and tells the window
// how far it got at most this often.
constexpr DWORD kSlicePauseMs = 20;
constexpr ULONGLONG kProgressEveryMs = 1000;

// The calling thread's I/O and memory priority lowered while it lives: the history reading
// gives way to everything else on the computer.
class BackgroundMode {
public:
    BackgroundMode() : entered_(SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN)) {}
    ~BackgroundMode() {
        if (entered_) SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_END);
    }
    BackgroundMode(const BackgroundMode&) = delete;
    BackgroundMode& operator=(const BackgroundMode&) = delete;

private:
    BOOL entered_;
};

}  // namespace

RefreshThread::~RefreshThread() {
    Stop(INFINITE);
}

bool RefreshThread::Start(PublishedState& state, AtomicDouble& maxblock,
                          std::function<void()> published,
                          std::function<std::wstring()> historyFolder,
                          std::map<std::wstring, double> loginMaxblocks) {
    scanners_.loginMaxblockSeeds = std::move(loginMaxblocks);
    scanners_.claude.StopWhen(&quit_);
    scanners_.codex.StopWhen(&quit_);
    RefreshSources sources = DefaultRefreshSources(scanners_, maxblock, &quit_);
    sources.historyFolder = std::move(historyFolder);
    return Start(std::move(sources), state, std::move(published));
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
        const ULONGLONG cycleStart = GetTickCount64();
        worker.RunCycle(static_cast<int64_t>(std::time(nullptr)), forceFetch_.exchange(false));
        if (quit_.load())
            break;
        published_();
        // The history reading goes on between cycles until the next one is due; a wake (a
        // refresh, a changed log) runs the cycle at once.
        bool woken = false, sliced = false;
        ULONGLONG lastProgress = GetTickCount64();
        while (worker.readingHistory() && !quit_.load() &&
               GetTickCount64() - cycleStart < kCycleWaitMs) {
            if (WaitForSingleObject(wake_.get(), kSlicePauseMs) == WAIT_OBJECT_0) {
                woken = true;
                break;
            }
            {
                const BackgroundMode background;
                worker.RunHistorySlice(static_cast<int64_t>(std::time(nullptr)));
            }
            sliced = true;
            if (!worker.readingHistory() || GetTickCount64() - lastProgress >= kProgressEveryMs) {
                published_();
                lastProgress = GetTickCount64();
            }
        }
        if (woken || quit_.load())
            continue;
        const ULONGLONG spent = sliced ? GetTickCount64() - cycleStart : 0;
        WaitForSingleObject(wake_.get(),
                            spent >= kCycleWaitMs ? 0 : static_cast<DWORD>(kCycleWaitMs - spent));
    }
}
