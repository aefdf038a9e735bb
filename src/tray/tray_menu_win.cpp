#include "tray/tray_menu_win.h"

#include "display/commands.h"
#include "platform/handles_win.h"

uint32_t TrackTrayMenu(HWND window, POINT at, const TrayMenuChecks& checks) {
    MenuHandle menu(CreatePopupMenu());
    MenuHandle numbers(CreatePopupMenu());
    if (!menu || !numbers)
        return 0;
    const auto checked = [](bool on) -> UINT { return on ? MF_CHECKED : MF_STRING; };
    AppendMenuW(numbers.get(), checked(checks.show == L"auto"), kMenuShowAuto,
                L"Whichever I used last");
    AppendMenuW(numbers.get(), checked(checks.show == L"claude"), kMenuShowClaude, L"Claude Code");
    AppendMenuW(numbers.get(), checked(checks.show == L"codex"), kMenuShowCodex, L"Codex");
    if (!checks.logins.empty()) {
        AppendMenuW(numbers.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(numbers.get(), checked(checks.show == kHighestShow), kMenuShowHighest,
                    L"Highest");
    }
    for (size_t i = 0; i < checks.logins.size() && kMenuShowLoginFirst + i <= kMenuShowLoginLast;
         ++i) {
        AppendMenuW(numbers.get(), checked(checks.show == checks.logins[i].show),
                    kMenuShowLoginFirst + i, checks.logins[i].label.c_str());
    }
    AppendMenuW(menu.get(), MF_STRING, kMenuOpenPanel, L"Open Tidewell");
    AppendMenuW(menu.get(), MF_STRING, kMenuOpenSettings, L"Settings\u2026");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    // The menu owns its submenu from here on: it is destroyed with it.
    if (AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(numbers.get()),
                    L"Number on the tray icon")) {
        numbers.release();
    }
    AppendMenuW(menu.get(), checked(checks.autostart), kMenuToggleAutostart, L"Start with Windows");
    AppendMenuW(menu.get(), checked(checks.alerts), kMenuToggleAlerts, L"Warn at 80% and 95%");
    AppendMenuW(menu.get(), MF_STRING, kMenuOpenReport, L"Open usage report");
    AppendMenuW(menu.get(), MF_STRING, kMenuExportHistory, L"Export history\u2026");
    AppendMenuW(menu.get(), MF_STRING, kMenuRefreshNow, L"Refresh now");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kMenuWebsite, L"Tidewell website");
    AppendMenuW(menu.get(), MF_STRING, kMenuQuit, L"Quit Tidewell");
    // Bold: what a double click on the icon does.
    SetMenuDefaultItem(menu.get(), kMenuOpenPanel, FALSE);

    SetForegroundWindow(window);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON,
                       at.x, at.y, 0, window, nullptr));
    PostMessageW(window, WM_NULL, 0, 0);
    return chosen;
}
