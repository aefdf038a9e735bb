#include "tray/tray_window_win.h"

#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <mutex>

#include "core/autostart.h"
#include "core/settings.h"
#include "limits/refresh_thread_win.h"
#include "panel/display_format.h"
#include "panel/panel_win.h"
#include "platform/messages.h"
#include "report/report_win.h"
#include "tray/limit_warnings.h"
#include "tray/tray_icon_win.h"

UsageSnapshot gUsageSnapshot;

namespace {

// Menu command ids.
enum : UINT {
    kRefreshNow = 100,
    kOpenReport = 101,
    kToggleAlerts = 102,
    kToggleAutostart = 103,
    kWebsite = 106,
    kQuit = 107,
    kShowAuto = 108,
    kShowClaude = 109,
    kShowCodex = 110,
    kOpenPanel = 111,
    kOpenSettings = 112,
};

constexpr UINT kStartFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;  // 0x87

NOTIFYICONDATAW gTrayIcon{};
HICON gInstalledIcon = nullptr;  // the icon the last refresh gave the shell
WarningTracker gWarnings;

template <size_t N>
void CopyCut(wchar_t (&field)[N], const std::wstring& text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    field[length] = L'\0';
}

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

void AddIconToShell() {
    gTrayIcon.uFlags = kStartFlags;
    Shell_NotifyIconW(NIM_ADD, &gTrayIcon);
    gTrayIcon.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &gTrayIcon);
}

void ShowTrayMenu(HWND window, int x, int y) {
    HMENU menu = CreatePopupMenu();
    HMENU numbers = CreatePopupMenu();
    if (!menu || !numbers) {
        if (menu) DestroyMenu(menu);
        if (numbers) DestroyMenu(numbers);
        return;
    }
    const auto checked = [](bool on) -> UINT { return on ? MF_CHECKED : MF_STRING; };
    AppendMenuW(numbers, checked(gSettings.show == L"auto"), kShowAuto, L"Whichever I used last");
    AppendMenuW(numbers, checked(gSettings.show == L"claude"), kShowClaude, L"Claude Code");
    AppendMenuW(numbers, checked(gSettings.show == L"codex"), kShowCodex, L"Codex");
    AppendMenuW(menu, MF_STRING, kOpenPanel, L"Open Tidewell");
    AppendMenuW(menu, MF_STRING, kOpenSettings, L"Settings\u2026");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(numbers), L"Number on the icon");
    AppendMenuW(menu, checked(IsAutostartOn()), kToggleAutostart, L"Start with Windows");
    AppendMenuW(menu, checked(gSettings.alerts), kToggleAlerts, L"Warnings at 80% and 95%");
    AppendMenuW(menu, MF_STRING, kOpenReport, L"Open usage report");
    AppendMenuW(menu, MF_STRING, kRefreshNow, L"Refresh now");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kWebsite, L"Tidewell website");
    AppendMenuW(menu, MF_STRING, kQuit, L"Quit Tidewell");

    SetForegroundWindow(window);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, x, y, 0, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);  // and the submenu with it
    if (chosen != 0) {
        // Run from the message loop once the menu is gone, never inside its tracking.
        PostMessageW(window, WM_COMMAND, chosen, 0);
    }
}

void OnTrayCallback(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
            // The click that took the focus from the panel (and so hid it) must not reopen it.
            NotePanelAnchor(static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)));
            if (GetTickCount() - LastPanelHideTick > 399) ShowPanel(true);
            break;
        case WM_CONTEXTMENU: {
            HidePanelUnlessPinned();
            int x = static_cast<short>(LOWORD(wParam));
            int y = static_cast<short>(HIWORD(wParam));
            if (LOWORD(wParam) == 0 && HIWORD(wParam) == 0) {
                POINT cursor{};
                GetCursorPos(&cursor);
                x = cursor.x;
                y = cursor.y;
            }
            ShowTrayMenu(window, x, y);
            break;
        }
        default:
            break;
    }
}

}  // namespace

void AddTrayIcon(HWND window) {
    gTrayIcon.cbSize = sizeof gTrayIcon;
    gTrayIcon.hWnd = window;
    gTrayIcon.uID = 1;
    gTrayIcon.uCallbackMessage = MSG_TRAY_CALLBACK;
    gTrayIcon.hIcon = RenderTrayIcon(0, false);
    gInstalledIcon = gTrayIcon.hIcon;
    CopyCut(gTrayIcon.szTip, L"Tidewell \u00b7 reading logs\u2026");
    AddIconToShell();
}

void RefreshTray() {
    {
        std::lock_guard<std::mutex> guard(gUsageStateLock);
        gUsageSnapshot.planLimits = gUsageState.planLimits;
        gUsageSnapshot.codex = gUsageState.codex;
        gUsageSnapshot.claude = gUsageState.claude;
    }
    gUsageSnapshot.hasUpdate = true;
    gUsageSnapshot.lastUpdate = Now();
    SaveSettingsIfChanged();  // the largest block reaches config.ini

    const int64_t now = Now();
    const std::optional<double> percent = ChooseTrayPercent(gUsageSnapshot, gSettings.show);
    HICON icon = percent ? RenderTrayIcon(RoundPercent(*percent), true) : RenderTrayIcon(0, false);
    gTrayIcon.hIcon = icon;
    CopyCut(gTrayIcon.szTip, BuildTrayTooltip(gUsageSnapshot, now));
    gTrayIcon.uFlags = NIF_ICON | NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &gTrayIcon);
    if (gInstalledIcon && gInstalledIcon != icon) DestroyIcon(gInstalledIcon);
    gInstalledIcon = icon;

    if (gSettings.alerts) {
        for (const Balloon& balloon :
             gWarnings.CheckLimitWarnings(gUsageSnapshot, gSettings.maxblock.Load(), now)) {
            ShowBalloon(balloon.title, balloon.text);
        }
    }
    InvalidateVisiblePanel();
}

void ShowBalloon(const std::wstring& title, const std::wstring& text) {
    NOTIFYICONDATAW balloon = gTrayIcon;  // the shared record stays as it is
    balloon.uFlags = NIF_INFO;
    CopyCut(balloon.szInfoTitle, title);
    CopyCut(balloon.szInfo, text);
    balloon.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

HWND TrayWindow() { return gTrayIcon.hWnd; }

void SetTrayNumberChoice(const std::wstring& value) {
    gSettings.show = value;
    SaveSettings();
    RefreshTray();
}

void RunTrayCommand(UINT id) {
    switch (id) {
        case kOpenPanel:
            ShowPanel(false);
            break;
        case kOpenSettings:
            ShowPanel(false);
            ShowPanelSettingsPage();
            break;
        case kShowAuto:
            SetTrayNumberChoice(L"auto");
            break;
        case kShowClaude:
            SetTrayNumberChoice(L"claude");
            break;
        case kShowCodex:
            SetTrayNumberChoice(L"codex");
            break;
        case kToggleAutostart:
            SetAutostart(!IsAutostartOn());
            break;
        case kToggleAlerts:
            gSettings.alerts = !gSettings.alerts;
            SaveSettings();
            break;
        case kOpenReport:
            OpenUsageReport();
            break;
        case kRefreshNow:
            if (RefreshEvent) SetEvent(RefreshEvent);
            break;
        case kWebsite:
            ShellExecuteW(nullptr, L"open", TIDEWELL_WEBSITE, nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case kQuit:
            DestroyWindow(gTrayIcon.hWnd);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == taskbarCreated && taskbarCreated != 0) {
        AddIconToShell();
        RefreshTray();
        return 0;
    }
    switch (message) {
        case WM_DESTROY:
            QuitFlag.exchange(true);
            if (RefreshEvent) SetEvent(RefreshEvent);
            Shell_NotifyIconW(NIM_DELETE, &gTrayIcon);
            PostQuitMessage(0);
            return 0;
        case WM_COMMAND:
            RunTrayCommand(LOWORD(wParam));
            return 0;
        case MSG_TRAY_CALLBACK:
            OnTrayCallback(window, wParam, lParam);
            return 0;
        case MSG_DATA_READY:
            RefreshTray();
            return 0;
        case MSG_REFRESH_NOW:
            if (RefreshEvent) SetEvent(RefreshEvent);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
