#include "app/desktop_win.h"

#include <objbase.h>

#include "app/desktop_app_win.h"
#include "platform/handles_win.h"
#include "platform/instance.h"
#include "platform/messages.h"

namespace {

// The manifest asks for per-monitor (v2) awareness; a system that ignored it is asked here.
// Access denied means the manifest's setting holds; Wine refuses v2 (error 87), so fall back.
void BecomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext && setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        SetProcessDPIAware();
}

// Asks the running instance to show its panel. Windows lets a process that was just started by
// the user take the foreground, but not one running in the background: this process hands its
// right over before it posts, or the panel would open without the keyboard's focus and would not
// close on a click elsewhere.
void OpenRunningInstance() {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (!window)
        return;
    DWORD process = 0;
    if (GetWindowThreadProcessId(window, &process) && process != 0)
        AllowSetForegroundWindow(process);
    PostMessageW(window, kWmCommand, ID_OPEN_PANEL, 0);
}

}  // namespace

int RunDesktopInstance(HINSTANCE instance, const CommandLine& command) {
    const KernelHandle mutex(CreateMutexW(nullptr, TRUE, L"Local\\TidewellSingleInstance"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs in this logon session: show its panel, create nothing. If its
        // window is not there yet (it is still starting), leave quietly.
        OpenRunningInstance();
        return 0;
    }
    BecomeDpiAware();
    // Screen readers get the panel's accessible object through COM, marshalled on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 0;
    {
        DesktopApp app(LoadSettings());
        if (app.Start(instance, command.autostart))
            code = app.Run();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    if (mutex)
        ReleaseMutex(mutex.get());
    return code;
}
