#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>

#include "limits/refresh_worker.h"
#include "platform/handles_win.h"

// The refresh worker's thread, owned by the desktop program: started once, woken through an
// auto-reset event (signals given while it works coalesce), told to stop, and waited for before
// anything it touches goes away.
class RefreshThread {
public:
    RefreshThread() = default;
    // Stops the thread and waits for it, however long that takes.
    ~RefreshThread();
    RefreshThread(const RefreshThread&) = delete;
    RefreshThread& operator=(const RefreshThread&) = delete;

    // Starts the worker with the program's own sources (its log scanners live here): a cycle,
    // then `published()` (which posts MSG_DATA_READY), then a wait of up to 45 seconds or until
    // woken, until stopped. `state` and `maxblock` must outlive the thread. False when the
    // event or the thread could not be created.
    // `historyFolder` gives the history folder setting (none: the data folder).
    // `loginMaxblocks` are the other logins' largest blocks as stored (by login tag).
    bool Start(PublishedState& state, AtomicDouble& maxblock, std::function<void()> published,
               std::function<std::wstring()> historyFolder = nullptr,
               std::map<std::wstring, double> loginMaxblocks = {});
    // The same with other sources (tests).
    bool Start(RefreshSources sources, PublishedState& state, std::function<void()> published);

    // An early cycle (the panel opened, "Refresh now", new status-line figures).
    void Wake();
    // An early cycle that may also ask the service early (the panel's Refresh).
    void WakeWithFetch();

    // Tells the thread to end: a scan stops between files, a wait ends at once.
    void RequestStop();
    // Requests the stop and waits up to `timeoutMs` for the thread to end. False when it is
    // still running (held up in a network call, say).
    bool Stop(DWORD timeoutMs);

private:
    static DWORD WINAPI Main(void* self);
    void Loop();

    KernelHandle wake_;
    KernelHandle thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> forceFetch_{true};  // the first cycle counts as a requested refresh
    LogScanners scanners_;
    RefreshSources sources_;
    PublishedState* state_ = nullptr;
    std::function<void()> published_;
};
