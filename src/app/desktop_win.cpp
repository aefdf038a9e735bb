#include "app/desktop_win.h"

#include <dwmapi.h>

#include "core/autostart.h"
#include "core/settings.h"
#include "limits/refresh_thread_win.h"
#include "panel/panel_win.h"
#include "platform/ini.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "tray/tray_window_win.h"

namespace {

constexpr int kFontResources[] = {101, 102, 103, 104};  // Geist Regular, Medium, SemiBold, Bold

// Per-monitor (v2) where the system has it; Wine refuses it (error 87), so fall back.
void BecomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (!setContext || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
        SetProcessDPIAware();
    }
}

// Registers the embedded fonts for this process; true when any of them is available.
bool RegisterEmbeddedFonts(HINSTANCE instance) {
    bool any = false;
    for (const int id : kFontResources) {
        HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
        HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
        void* data = loaded ? LockResource(loaded) : nullptr;
        DWORD count = 0;
        if (data && AddFontMemResourceEx(data, SizeofResource(instance, resource), nullptr, &count)) {
            any = true;
        }
    }
    return any;
}

HWND CreateMainWindow(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TrayWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        return nullptr;
    }
    // An ordinary top-level window, never shown: FindWindowW does not see message-only windows.
    return CreateWindowExW(0, kMainWindowClass, L"Tidewell", 0, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
}

void RoundDarkFrame(HWND panel) {
    const DWORD rounded = 2, dark = 1;
    DwmSetWindowAttribute(panel, 33, &rounded, sizeof rounded);  // DWMWA_WINDOW_CORNER_PREFERENCE
    DwmSetWindowAttribute(panel, 20, &dark, sizeof dark);        // DWMWA_USE_IMMERSIVE_DARK_MODE
}

// The first start says hello and starts with Windows from then on; later starts keep the Run
// value pointing at this executable, if the user kept it.
void WelcomeOrRefreshAutostart() {
    const std::wstring config = gSettings.configPath;
    if (IniReadInt(config, L"q", L"welcomed", 0) == 0) {
        IniWriteString(config, L"q", L"welcomed", L"1");
        SetAutostart(true);
        ShowBalloon(L"Tidewell is running",
                    L"Tip: drag the icon from the ^ area onto the taskbar so your limits stay visible.");
    } else if (IsAutostartOn()) {
        SetAutostart(true);
    }
}

void RunDesktop(HINSTANCE instance, const CommandLine& command) {
    BecomeDpiAware();
    LoadSettings();
    gFontsAvailable = RegisterEmbeddedFonts(instance);
    HWND window = CreateMainWindow(instance);
    if (!window) {
        return;
    }
    if (HWND panel = CreatePanelWindow(instance, window)) {
        RoundDarkFrame(panel);
    }
    AddTrayIcon(window);
    StartRefreshWorker(DefaultRefreshSources(), PostDataReadyTo(window));
    WelcomeOrRefreshAutostart();
    if (!command.autostart) {
        ShowPanel(false);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int RunDesktopInstance(HINSTANCE instance, const CommandLine& command) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Local\\TidewellSingleInstance");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs in this logon session: show its panel, create nothing. If its
        // window is not there yet (it is still starting), leave quietly.
        PostToRunningInstance(kWmCommand, ID_OPEN_PANEL, 0);
        if (mutex) CloseHandle(mutex);
        return 0;
    }
    RunDesktop(instance, command);
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return 0;
}
