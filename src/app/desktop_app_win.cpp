#include "app/desktop_app_win.h"

#include <dwmapi.h>
#include <shellapi.h>

#include <ctime>

#include "app/folder_dialog_win.h"
#include "app/save_dialog_win.h"
#include "core/autostart.h"
#include "display/history_text.h"
#include "display/limit_level.h"
#include "history/history_rows.h"
#include "history/login_places.h"
#include "panel/claude_connect_win.h"
#include "panel/theme_win.h"
#include "statusline/claude_settings.h"
#include "platform/atomic_file.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/window_link_win.h"
#include "report/report_win.h"
#include "tray/tray_menu_win.h"
#include "tray/tray_text.h"

namespace {

constexpr int kFontResources[] = {101, 102, 103, 104};  // Geist Regular, Medium, SemiBold, Bold
// How long quitting waits for the worker. A scan stops between files and a wait at once, so
// this is only reached by a network call held up (its own time-outs are longer).
constexpr DWORD kWorkerStopMs = 2000;

// Registers the embedded fonts for this process; they are released with the returned owners.
std::vector<FontResource> RegisterEmbeddedFonts(HINSTANCE instance) {
    std::vector<FontResource> fonts;
    for (const int id : kFontResources) {
        HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
        HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
        void* data = loaded ? LockResource(loaded) : nullptr;
        DWORD count = 0;
        if (data) {
            FontResource font(
                AddFontMemResourceEx(data, SizeofResource(instance, resource), nullptr, &count));
            if (font)
                fonts.push_back(std::move(font));
        }
    }
    return fonts;
}

void RoundFrame(HWND panel) {
    const DWORD rounded = 2;
    DwmSetWindowAttribute(panel, 33, &rounded, sizeof rounded);  // DWMWA_WINDOW_CORNER_PREFERENCE
}

// The frame's border and shadow follow the panel: dark only in the dark theme.
void FollowTheme(HWND panel, ThemeKind kind) {
    const BOOL dark = kind == ThemeKind::kDark;
    DwmSetWindowAttribute(panel, 20, &dark, sizeof dark);  // DWMWA_USE_IMMERSIVE_DARK_MODE
}

}  // namespace

DesktopApp::~DesktopApp() {
    // Should the loop end some other way than Quit, the worker still ends before its state.
    if (!worker_.Stop(kWorkerStopMs))
        TerminateProcess(GetCurrentProcess(), 0);
}

int64_t DesktopApp::Now() const {
    return static_cast<int64_t>(std::time(nullptr));
}

bool DesktopApp::Start(HINSTANCE instance, bool autostart) {
    fonts_ = RegisterEmbeddedFonts(instance);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass))
        return false;
    // An ordinary top-level window, never shown: FindWindowW does not see message-only windows.
    if (!CreateWindowExW(0, kMainWindowClass, L"Tidewell", 0, 0, 0, 0, 0, nullptr, nullptr,
                         instance, this)) {
        return false;
    }
    if (panel_.Create(instance, window_, !fonts_.empty()))
        RoundFrame(panel_.window());
    tray_.Add(window_);
    ApplyTheme();
    historyFolder_.Set(settings_.values().historyFolder);
    const HWND window = window_;
    worker_.Start(published_, settings_.values().maxblock,
                  [window] { PostMessageW(window, MSG_DATA_READY, 0, 0); },
                  [&choice = historyFolder_] { return choice.Get(); },
                  settings_.values().loginMaxblocks);
    // A writer killed halfway (Claude Code ends a slow status line run) leaves its temporary
    // file behind; ten minutes on, no write can still own it.
    RemoveAbandonedTempFiles(DataDirectory(), 600);
    RemoveAbandonedTempFiles(LocalDataDirectory(), 600);
    WelcomeOrRefreshAutostart();
    if (!autostart)
        ShowPanel();
    return true;
}

int DesktopApp::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The worker may be inside a scan of gigabytes or a network call: it is told to stop, and
    // waited for a little. Should it not end in time, the process ends here, before any of the
    // state it uses is torn down (a join would hold the exit up; a detached thread would run on
    // over freed memory).
    if (!worker_.Stop(kWorkerStopMs))
        TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

// The first start says hello and starts with Windows from then on; later starts keep the Run
// value pointing at this executable, if the user kept it.
void DesktopApp::WelcomeOrRefreshAutostart() {
    if (RecordFirstRun(settings_.values().configPath)) {
        // A first run may also follow a deleted settings folder: an entry the user disabled in
        // Task Manager stays disabled.
        SetAutostart(true, false);
        tray_.ShowBalloon(L"Tidewell is running",
                          L"Tip: drag the icon from the ^ area onto the taskbar so your limits "
                          L"stay visible.");
    } else {
        RefreshAutostartCommand();
    }
}

LRESULT CALLBACK DesktopApp::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DesktopApp* self = LinkedObject<DesktopApp>(window, message, lParam);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        self->window_ = window;
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT DesktopApp::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_.FitToTaskbar();  // the new taskbar may sit on another monitor
        tray_.AddAgain();
        ShowTrayNumber();
        return 0;
    }
    switch (message) {
        // A hidden window gets no WM_DPICHANGED: a change of scale or of monitors comes as these.
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE:
            if (IsThemeMessage(message, wParam, lParam))
                ApplyTheme();
            if (tray_.FitToTaskbar())
                ShowTrayNumber();
            return DefWindowProcW(window_, message, wParam, lParam);
        // Sent to every top-level window, as this one is: the system colours or high contrast
        // changed.
        case WM_SYSCOLORCHANGE:
            ApplyTheme();
            return 0;
        case WM_CLOSE:
            // Whoever asks the window to close (a task killer, a script) gets what Quit gives,
            // with its rule: never while the connection dialog is up.
            Quit();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Windows is logging off or shutting down: the process ends soon after this returns.
            // The worker is stopped between files, never halfway through a write, and the
            // settings are saved once more.
            if (wParam) {
                worker_.RequestStop();
                settings_.Save();
                if (!worker_.Stop(kWorkerStopMs))
                    TerminateProcess(GetCurrentProcess(), 0);
                tray_.Remove();
                // An installer's Restart Manager closes the program to replace it: it must go
                // now, even past an open connection dialog, or the file stays locked.
                if ((lParam & ENDSESSION_CLOSEAPP) && window_)
                    DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            worker_.RequestStop();
            tray_.Remove();
            PostQuitMessage(0);
            return 0;
        case WM_COMMAND:
            if (const std::optional<size_t> login = LoginChoiceOfMenuItem(LOWORD(wParam))) {
                // The choices the menu was built with: the logins may have changed since.
                if (*login < menuLogins_.size())
                    SetTrayNumber(menuLogins_[*login].show);
                return 0;
            }
            RunCommand(CommandForMenuItem(LOWORD(wParam)));
            return 0;
        case MSG_TRAY_CALLBACK:
            OnTrayCallback(wParam, lParam);
            return 0;
        case MSG_DATA_READY:
            OnDataReady();
            return 0;
        case MSG_REFRESH_NOW:
            worker_.Wake();
            return 0;
        case MSG_REPORT_DONE:
            OnReportWritten();
            return 0;
        case MSG_EXPORT_DONE:
            OnHistoryExported();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// New figures from the worker: copied under the lock (never held for long: the worker takes it
// only to move finished results in), then shown everywhere.
void DesktopApp::OnDataReady() {
    {
        std::lock_guard<std::mutex> guard(published_.lock);
        snapshot_ = SnapshotOf(published_.state);
    }
    for (const AccountUsage& account : snapshot_.accounts) {
        if (account.login.tool == LoginTool::kClaude)
            RaiseLoginMaxblock(settings_.values(), LoginFileTag(account.login.key),
                               account.maxblock);
    }
    settings_.SaveIfChanged();  // the largest blocks reach config.ini
    ShowTrayNumber();
    const Settings& settings = settings_.values();
    if (settings.alerts) {
        for (const Balloon& balloon :
             warnings_.CheckLimitWarnings(snapshot_, settings.maxblock.Load(), Now(),
                                          settings.hiddenLogins)) {
            tray_.ShowBalloon(balloon.title, balloon.text);
        }
    }
    // Not one of the limit warnings that `alerts` silences: history was lost and is rebuilt.
    if (const std::optional<Balloon> balloon = movedAside_.Check(snapshot_.history))
        tray_.ShowBalloon(balloon->title, balloon->text);
    panel_.Repaint();
}

// Light, dark or high contrast, read afresh: the panel, its frame and the tray icon follow.
void DesktopApp::ApplyTheme() {
    const WindowsTheme theme = ReadWindowsTheme();
    panel_.SetPalette(theme.palette);
    if (panel_.window())
        FollowTheme(panel_.window(), theme.kind);
    if (tray_.SetLightTaskbar(theme.lightTaskbar))
        ShowTrayNumber();
}

// The icon and tooltip from the snapshot as it is; the snapshot itself changes only with data.
void DesktopApp::ShowTrayNumber() {
    const Settings& settings = settings_.values();
    const std::optional<double> percent =
        ChooseTrayPercent(snapshot_, settings.show, settings.hiddenLogins);
    tray_.Show(percent ? std::optional<int32_t>(ShownPercent(*percent)) : std::nullopt,
               BuildTrayTooltip(snapshot_, Now(), settings.show, settings.hiddenLogins));
}

static_assert(kTraySelect == NIN_SELECT && kTrayKeySelect == NIN_KEYSELECT &&
              kTrayDoubleClick == WM_LBUTTONDBLCLK);

void DesktopApp::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    if (IsTrayClick(event)) {
        if (!inDialog_) {
            panel_.NoteAnchor(static_cast<short>(LOWORD(wParam)),
                              static_cast<short>(HIWORD(wParam)));
        }
        const TrayClickPanel state{panel_.Visible(), panel_.JustHid(), inDialog_};
        switch (trayClicks_.Decide(event, state, GetTickCount(), GetDoubleClickTime())) {
            case TrayClickAction::kShow:
                ShowPanel();
                return;
            case TrayClickAction::kShowFromKeyboard:
                ShowPanel(true);
                return;
            case TrayClickAction::kHide:
                panel_.Hide();
                return;
            case TrayClickAction::kNothing:
                return;
        }
    }
    switch (event) {
        case WM_CONTEXTMENU: {
            if (!inDialog_)
                panel_.HideUnlessPinned();
            POINT at{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))};
            if (at.x == 0 && at.y == 0)
                GetCursorPos(&at);
            const Settings& settings = settings_.values();
            menuLogins_ = LoginNumberChoices(ShownLogins(snapshot_, settings.hiddenLogins));
            const uint32_t chosen = TrackTrayMenu(
                window_, at,
                TrayMenuChecks{settings.show, IsAutostartOn(), settings.alerts, menuLogins_});
            // Run from the message loop once the menu is gone, never inside its tracking.
            if (chosen != 0)
                PostMessageW(window_, WM_COMMAND, chosen, 0);
            return;
        }
        default:
            return;
    }
}

void DesktopApp::ShowPanel(bool fromKeyboard) {
    panel_.Show(fromKeyboard);
    worker_.Wake();  // whoever opens the panel wants fresh figures
}

void DesktopApp::ChangeSetting(bool& setting) {
    setting = !setting;
    settings_.Save();
    panel_.Refit();
}

void DesktopApp::SetTrayNumber(const std::wstring& show) {
    settings_.values().show = show;
    settings_.Save();
    ShowTrayNumber();
    panel_.Refit();
}

void DesktopApp::SetPanelSize(int32_t size) {
    settings_.values().size = size;
    settings_.Save();
    panel_.Refit();
}

void DesktopApp::RunCommand(Command command, int32_t target) {
    Settings& settings = settings_.values();
    switch (command) {
        case Command::kNone:
            return;
        case Command::kOpenPanel:
            if (!inDialog_)
                ShowPanel();
            return;
        case Command::kOpenSettings:
            if (inDialog_)
                return;
            ShowPanel();
            panel_.ShowPage(true);
            return;
        case Command::kShowSettingsPage:
            panel_.ShowPage(true);
            return;
        case Command::kShowMainPage:
            panel_.ShowPage(false);
            return;
        case Command::kClosePanel:
            if (!inDialog_)
                panel_.Hide();
            return;
        case Command::kShowAuto:
            return SetTrayNumber(L"auto");
        case Command::kShowClaude:
            return SetTrayNumber(L"claude");
        case Command::kShowCodex:
            return SetTrayNumber(L"codex");
        case Command::kShowHighest:
            return SetTrayNumber(kHighestShow);
        case Command::kShowLogin:  // the menu item says which: WM_COMMAND runs it
            return;
        case Command::kToggleAutostart:
            SetAutostart(!IsAutostartOn());
            panel_.Refit();
            return;
        case Command::kToggleAlerts:
            return ChangeSetting(settings.alerts);
        case Command::kTogglePinned:
            return ChangeSetting(settings.pinned);
        case Command::kToggleClaudeSection:
            return ChangeSetting(settings.secclaude);
        case Command::kToggleCodexSection:
            return ChangeSetting(settings.seccodex);
        case Command::kToggleConnection:
            return ToggleConnection();
        case Command::kToggleLogin:
            return ToggleLoginShown(target);
        case Command::kToggleLoginConnection:
            return ToggleConnection(target);
        case Command::kSizeCompact:
            return SetPanelSize(0);
        case Command::kSizeNormal:
            return SetPanelSize(1);
        case Command::kSizeLarge:
            return SetPanelSize(2);
        case Command::kResetPosition:
            panel_.ResetPosition();
            return;
        case Command::kChooseHistoryFolder:
            return ChooseHistoryFolder();
        case Command::kDefaultHistoryFolder:
            return SetHistoryFolder(L"");
        case Command::kOpenReport:
            return OpenReport();
        case Command::kExportHistory:
            return ExportHistory();
        case Command::kRefreshNow:
            worker_.Wake();
            return;
        case Command::kRefreshWithFetch:
            worker_.WakeWithFetch();
            return;
        case Command::kWebsite:
            ShellExecuteW(nullptr, L"open", TIDEWELL_WEBSITE, nullptr, nullptr, SW_SHOWNORMAL);
            return;
        case Command::kQuit:
            return Quit();
    }
}

// The connection flow's message boxes run a modal loop: meanwhile data, tray clicks and menu
// commands are still dispatched. The panel stays up beside its dialog, commands that would show
// or hide it wait, and a Quit is carried out once the dialog is gone, so that nothing the flow
// touches afterwards has gone away under it.
void DesktopApp::ToggleConnection(int32_t loginTarget) {
    if (inDialog_)
        return;
    // The login is taken now: new figures may come while its dialog is up.
    const std::optional<size_t> login = LoginOfPanelTarget(loginTarget);
    if (login && *login >= snapshot_.accounts.size())
        return;
    const Login* chosen = login ? &snapshot_.accounts[*login].login : nullptr;
    const std::wstring settingsPath = chosen ? LoginSettingsPath(*chosen) : std::wstring();
    const std::wstring loginName = chosen ? chosen->name : std::wstring();
    if (chosen && settingsPath.empty())
        return;
    inDialog_ = true;
    panel_.HoldOpen(true);
    const bool changed = chosen ? ToggleLoginConnection(panel_.window(), settingsPath, loginName)
                                : ToggleClaudeConnection(panel_.window());
    panel_.HoldOpen(false);
    inDialog_ = false;
    if (quitAfterDialog_)
        return Quit();
    if (changed)
        panel_.Refit();
}

// A login shown and counted, or hidden: by its stable tag, so that logins found later or
// folders renamed do not move the choice to another login.
void DesktopApp::ToggleLoginShown(int32_t loginTarget) {
    const std::optional<size_t> login = LoginOfPanelTarget(loginTarget);
    if (!login || *login >= snapshot_.accounts.size())
        return;
    ToggleLoginHidden(settings_.values(), LoginFileTag(snapshot_.accounts[*login].login.key));
    settings_.Save();
    ShowTrayNumber();
    panel_.Refit();
}

// The folder dialog is modal like the connection flow's message boxes, and held the same way.
void DesktopApp::ChooseHistoryFolder() {
    if (inDialog_)
        return;
    inDialog_ = true;
    panel_.HoldOpen(true);
    const std::wstring dataFolder = DataDirectory();
    const std::optional<std::wstring> picked =
        PickFolder(panel_.window(), L"History folder",
                   ShownHistoryFolder(settings_.values().historyFolder, dataFolder));
    panel_.HoldOpen(false);
    inDialog_ = false;
    if (quitAfterDialog_)
        return Quit();
    if (picked)
        SetHistoryFolder(HistoryFolderSetting(*picked, dataFolder));
}

// The setting is saved, and the worker moves the ledger at its next cycle, which starts now.
void DesktopApp::SetHistoryFolder(std::wstring folder) {
    Settings& settings = settings_.values();
    if (folder != settings.historyFolder) {
        settings.historyFolder = folder;
        settings_.Save();
        historyFolder_.Set(std::move(folder));
        worker_.Wake();
    }
    panel_.Refit();
}

// Where the ledgers are read: where the worker keeps this computer's, once it has said so.
LedgerLocation DesktopApp::LedgerToRead() {
    HistoryState history;
    {
        std::lock_guard<std::mutex> guard(published_.lock);
        history = published_.state.history;
    }
    return ReadableLedgerLocation(history,
                                  ConfiguredLedgerLocation(settings_.values().historyFolder));
}

// The page is built and written on a thread of its own (the ledgers it reads may be large, or
// on a share) and opened here once written. A request while one is under way is that one.
void DesktopApp::OpenReport() {
    bool stillReading = false;
    {
        std::lock_guard<std::mutex> guard(published_.lock);
        stillReading = published_.state.history.readingHistory;
    }
    const LedgerLocation ledgers = LedgerToRead();
    const int64_t now = Now();
    reportJob_.Start(window_, MSG_REPORT_DONE,
                     [snapshot = snapshot_, ledgers, stillReading, now] {
                         return WriteUsageReport(snapshot, ledgers, stillReading, now);
                     });
}

void DesktopApp::OnReportWritten() {
    const std::wstring path = reportJob_.Finish();
    if (path.empty()) {
        tray_.ShowBalloon(L"Usage report", L"The usage report could not be written.");
        return;
    }
    ShowUsageReport(path);
}

// The save dialog runs a modal loop, like the connection flow's message boxes: the same rules
// hold while it is up (see ToggleConnection). The file is written off the window thread.
void DesktopApp::ExportHistory() {
    if (inDialog_ || exportJob_.Running())
        return;
    inDialog_ = true;
    const std::wstring path =
        AskSavePath(window_, SaveDialogChoice{kHistoryCsvFileName, kHistoryCsvTypeName,
                                              kHistoryCsvPattern, kHistoryCsvExtension});
    inDialog_ = false;
    if (quitAfterDialog_)
        return Quit();
    if (path.empty())
        return;
    const LedgerLocation ledgers = LedgerToRead();
    const int64_t now = Now();
    std::vector<Login> logins;
    for (const AccountUsage& account : snapshot_.accounts) logins.push_back(account.login);
    exportJob_.Start(window_, MSG_EXPORT_DONE, [ledgers, path, now, defaults = DefaultAccountsOf(logins)] {
        return Export{path, ExportHistoryCsv(ledgers, path, now, defaults)};
    });
}

void DesktopApp::OnHistoryExported() {
    const Export done = exportJob_.Finish();
    const HistoryExportNotice notice = HistoryExportNoticeFor(done.result, done.path);
    if (!notice.title.empty())
        tray_.ShowBalloon(notice.title, notice.text);
}

void DesktopApp::Quit() {
    if (inDialog_) {
        quitAfterDialog_ = true;
        return;
    }
    if (window_)
        DestroyWindow(window_);  // WM_DESTROY stops the worker and ends the loop
}
