#pragma once

#include <windows.h>

#include "limits/refresh_worker.h"

// Wakes the refresh worker: an auto-reset event, so signals given while it works coalesce.
extern HANDLE RefreshEvent;

// Creates RefreshEvent and starts the worker thread, detached: it runs a cycle, posts
// MSG_DATA_READY to `window`, and waits up to 45 seconds on RefreshEvent, until QuitFlag is set.
// Returns false when the event or the thread could not be created.
bool StartRefreshWorker(HWND window, RefreshSources sources);
