// Shows the panel's page with made-up figures in a window of its own, painted as the program
// paints it, for screenshots of states the program cannot be brought into on demand (the usage
// history's totals, its first read, a folder out of reach):
//   tidewell_panel_shot main|settings[-contrast] SECONDS [FONT.ttf...]
// ("-contrast": drawn as high contrast draws it, in the system's colours, whether or not the
// system says high contrast is on).
// The window stands at (20, 20) at the system's DPI, for SECONDS, then closes; "ready" and its
// rectangle are printed once it is painted. Fonts given are registered for this process (the
// program embeds them; this tool takes them from the build).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "panel/gdi_canvas_win.h"
#include "panel/panel_layout.h"
#include "panel/theme_win.h"
#include "platform/gdi_objects_win.h"

namespace {

struct Shot {
    UsageSnapshot snapshot;
    Settings settings;
    bool settingsPage = false;
    bool fonts = false;
    float scale = 1.0f;
    std::wstring dataFolder = L"C:\\Users\\someone\\AppData\\Roaming\\Tidewell";
    Palette palette = DarkPalette();

    PanelLayout Paint(HDC dc, bool measureOnly) {
        const PanelInputs inputs{snapshot,           settings,  settingsPage,  kTargetNone,
                                 std::time(nullptr), scale,     kNoStatusLine, false,
                                 kTargetNone,        dataFolder, palette};
        GdiCanvas canvas(dc, PanelScale{scale, settings.size}, fonts);
        if (!measureOnly) {
            canvas.FillRect({0, 0, PanelScale{scale, settings.size}(330), 4000},
                            palette.background);
        }
        return PaintPanel(canvas, inputs, PanelScale{scale, settings.size}(330), measureOnly);
    }
};

Shot* g_shot = nullptr;  // the one window's state, for its procedure

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        MemoryDC memory(dc);
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        {
            Selection useBitmap(memory.get(), bitmap.get());
            g_shot->Paint(memory.get(), false);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A Unix path as Wine's Z: drive, or a Windows path as it is.
std::wstring WindowsPath(const char* path) {
    std::wstring wide;
    if (path[0] == '/')
        wide = L"Z:";
    for (const char* c = path; *c; ++c)
        wide.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return wide;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: tidewell_panel_shot main|settings[-contrast][-accounts] SECONDS [FONT.ttf...]\n");
        return 2;
    }
    SetProcessDPIAware();
    Shot shot;
    g_shot = &shot;
    shot.settingsPage = std::strncmp(argv[1], "settings", 8) == 0;
    if (std::strstr(argv[1], "-contrast"))
        shot.palette = HighContrastPalette(CurrentSystemColours());
    const int seconds = std::atoi(argv[2]);
    for (int i = 3; i < argc; ++i)
        shot.fonts |= AddFontResourceExW(WindowsPath(argv[i]).c_str(), FR_PRIVATE, nullptr) > 0;

    const int64_t now = std::time(nullptr);
    UsageSnapshot& s = shot.snapshot;
    s.planLimits.hasLimits = true;
    s.planLimits.fromStatusLine = true;
    s.planLimits.plan = L"Max";
    s.planLimits.limits = {{L"5-hour limit", 42.6, now + 3600},
                           {L"Weekly \u00b7 All models", 12, now + 4 * 86400}};
    s.planLimits.asOf = now;
    s.codex.found = true;
    s.codex.primary = {true, 31.5, 300, now + 7200};
    s.codex.secondary = {true, 80, 10080, now + 3 * 86400};
    s.claude.found = true;
    s.claude.sources = {{L"Windows ~/.claude", 1204, false}};
    s.hasUpdate = true;
    s.lastUpdate = now - 30;
    s.history.hasRows = true;
    s.history.claudeTodayDollars = 4.1;
    s.history.claudeSevenDayDollars = 1031.2;
    s.history.readingHistory = true;
    s.history.historyBytesRead = 1'234'000'000;
    s.history.historyBytesTotal = 3'400'000'000;
    s.history.unreachableFolder = L"\\\\nas\\shared folders\\tidewell history of the team";
    shot.settings.historyFolder = L"\\\\nas\\shared folders\\tidewell history of the team";
    if (std::strstr(argv[1], "-accounts")) {
        // Two Claude logins and a Codex one, each with its own figures.
        AccountUsage me;
        me.login.key = L"id:1";
        me.login.name = L"me@example.com";
        me.login.where = L"C:\\Users\\someone\\.claude";
        me.login.folders = {me.login.where};
        me.planLimits = s.planLimits;
        me.claude.found = true;
        AccountUsage work = me;
        work.login.key = L"id:2";
        work.login.name = L"work";
        work.login.where = L"C:\\Users\\someone\\.claude-work";
        work.login.folders = {work.login.where};
        work.planLimits.plan = L"Team";
        work.planLimits.limits = {{L"5-hour limit", 81.2, now + 5400, true},
                                  {L"Weekly \u00b7 All models", 96, now + 2 * 86400}};
        AccountUsage codex;
        codex.login.tool = LoginTool::kCodex;
        codex.login.key = L"dir:C:\\Users\\someone\\.codex";
        codex.login.name = L"personal";
        codex.login.where = L"C:\\Users\\someone\\.codex-personal";
        codex.codex = s.codex;
        s.accounts = {me, work, codex};
    }

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TidewellPanelShot";
    RegisterClassExW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Tidewell", WS_POPUP, 20, 20,
                        330, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    using GetDpi = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi ? getDpi(window) : 96;
    shot.scale = dpi ? static_cast<float>(dpi) / 96.0f : 1.0f;
    int32_t height = 0;
    {
        WindowDC dc(window);
        height = shot.Paint(dc.get(), true).height;
    }
    const int32_t width = PanelScale{shot.scale, shot.settings.size}(330);
    SetWindowPos(window, HWND_TOPMOST, 20, 20, width, height, SWP_SHOWWINDOW);
    UpdateWindow(window);
    std::printf("ready %u dpi %d %d %d %d\n", dpi, 20, 20, 20 + width, 20 + height);
    std::fflush(stdout);
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
