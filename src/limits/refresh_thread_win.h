#pragma once

#include <windows.h>

#include <functional>

#include "limits/refresh_worker.h"

// Wakes the refresh worker: an auto-reset event, so signals given while it works coalesce.
extern HANDLE RefreshEvent;

// Creates RefreshEvent and starts the worker thread, detached: it runs a cycle, calls
// `published` (which posts MSG_DATA_READY to the main window), and waits up to 45 seconds on
// RefreshEvent, until QuitFlag is set. Returns false when the event or the thread could not be
// created.
bool StartRefreshWorker(RefreshSources sources, std::function<void()> published);

// The `published` call of the program: MSG_DATA_READY to its hidden main window.
std::function<void()> PostDataReadyTo(HWND window);
