#include "app/desktop_win.h"

#include "platform/messages.h"
#include "core/settings.h"
#include "platform/instance.h"

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // ID_OPEN_PANEL: the panel is not built yet; the message is accepted and dropped.
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The desktop start-up so far: settings, the hidden main window that other processes find by
// its class, and the message loop, which ends when that window is closed.
void RunDesktop(HINSTANCE instance, const CommandLine&) {
    LoadSettings();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        return;
    }
    // An ordinary top-level window, never shown: FindWindowW does not see message-only windows.
    HWND window = CreateWindowExW(0, kMainWindowClass, L"Tidewell", WS_OVERLAPPED, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) {
        return;
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
