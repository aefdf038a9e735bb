#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/history_export.h"
#include "app/window_job_win.h"
#include "core/settings.h"
#include "display/commands.h"
#include "display/shown_logins.h"
#include "display/usage_snapshot.h"
#include "limits/refresh_thread_win.h"
#include "limits/refresh_worker.h"
#include "panel/panel_win.h"
#include "platform/handles_win.h"
#include "tray/history_notice.h"
#include "tray/limit_warnings.h"
#include "tray/tray_click.h"
#include "tray/tray_notify_win.h"

// The desktop program: the one owner of everything it holds while it runs. The settings, the
// published state and its lock, the snapshot the views read, the warnings shown, the tray icon,
// the panel and the refresh worker live here, in the order they are made; the worker is the
// last member, so it is stopped before anything it touches goes away.
class DesktopApp {
public:
    explicit DesktopApp(Settings settings) : settings_(std::move(settings)) {}
    ~DesktopApp();
    DesktopApp(const DesktopApp&) = delete;
    DesktopApp& operator=(const DesktopApp&) = delete;

    // Fonts, the two windows, the tray icon, the worker and the first-run welcome; the panel
    // unless `autostart`. False when the main window could not be made.
    bool Start(HINSTANCE instance, bool autostart);
    // The message loop, until the user quits. Returns the exit code, 0.
    int Run();

    // One command of the tray menu or the panel; `target` is the panel target that asked (a
    // login's target names the login).
    void RunCommand(Command command, int32_t target = kTargetNone);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnDataReady();
    void OnTrayCallback(WPARAM wParam, LPARAM lParam);
    void ShowTrayNumber();
    void ApplyTheme();
    void ShowPanel(bool fromKeyboard = false);
    void ChangeSetting(bool& setting);
    void SetTrayNumber(const std::wstring& show);
    void SetPanelSize(int32_t size);
    void ToggleConnection(int32_t loginTarget = kTargetNone);
    void ToggleLoginShown(int32_t loginTarget);
    void ChooseHistoryFolder();
    void SetHistoryFolder(std::wstring folder);
    void OpenReport();
    void OnReportWritten();
    void ExportHistory();
    void OnHistoryExported();
    LedgerLocation LedgerToRead();
    void Quit();
    void WelcomeOrRefreshAutostart();
    int64_t Now() const;

    SettingsStore settings_;
    std::vector<FontResource> fonts_;
    PublishedState published_;
    UsageSnapshot snapshot_;
    WarningTracker warnings_;
    std::vector<NumberChoice> menuLogins_;  // the login choices of the last tray menu
    TrayClickRule trayClicks_;  // what a click on the icon does, after a double click too
    MovedAsideNotice movedAside_;
    // The history folder as the user chose it, for the worker (which moves the ledger there).
    HistoryFolderChoice historyFolder_;
    UINT taskbarCreated_ = 0;
    HWND window_ = nullptr;  // the hidden main window: the message hub; destroyed on quit
    TrayNotifyIcon tray_;
    PanelWindow panel_{
        PanelWindow::Context{snapshot_, settings_, [this](Command command, int32_t target) { RunCommand(command, target); },
                             [this]() -> std::optional<PanelRect> {
                                 const std::optional<RECT> rect = tray_.ScreenRect();
                                 if (!rect)
                                     return std::nullopt;
                                 return PanelRect{rect->left, rect->top, rect->right, rect->bottom};
                             }}};
    bool inDialog_ = false;  // a message box of the connection flow, or the save dialog, is up
    bool quitAfterDialog_ = false;
    // The report and the history export read the ledgers off the window thread.
    WindowJob<std::wstring> reportJob_;  // the written page's path; empty on failure
    struct Export {
        std::wstring path;
        HistoryExportResult result;
    };
    WindowJob<Export> exportJob_;
    RefreshThread worker_;
};
