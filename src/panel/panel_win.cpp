#include "panel/panel_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include <ctime>

#include "core/autostart.h"
#include "core/settings.h"
#include "limits/refresh_thread_win.h"
#include "panel/claude_connect_win.h"
#include "panel/gdi_canvas_win.h"
#include "panel/panel_layout.h"
#include "panel/panel_placement.h"
#include "platform/gdi_objects_win.h"
#include "report/report_win.h"
#include "tray/tray_window_win.h"

DWORD LastPanelHideTick = 0;
bool gFontsAvailable = false;

namespace {

constexpr wchar_t kPanelClass[] = L"TidewellPanel";

// The panel's view state, all on the UI thread.
HWND gPanel = nullptr;
float PanelDpiScale = 1.0f;
bool SettingsPageShown = false;
int32_t HoveredTargetId = kTargetNone;
PanelLayout gLayout;                     // the targets and header of the latest pass
std::optional<PanelPoint> gNotedAnchor;  // the last tray selection, used by one opening

PanelScale Scale() {
    return PanelScale{PanelDpiScale, gSettings.size};
}

PanelLayout RunPainter(Canvas& canvas, int32_t width, bool measureOnly) {
    const PanelInputs inputs{gUsageSnapshot,     gSettings,     SettingsPageShown,  HoveredTargetId,
                             std::time(nullptr), PanelDpiScale, GetStatusLineState, IsAutostartOn};
    return PaintPanel(canvas, inputs, width, measureOnly);
}

float WindowDpiScale(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi ? static_cast<float>(dpi) / 96.0f : 1.0f;
}

PanelRect WorkAreaNear(PanelPoint point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

std::optional<PanelRect> TrayIconRect() {
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = TrayWindow();
    icon.uID = 1;
    RECT rect{};
    if (FAILED(Shell_NotifyIconGetRect(&icon, &rect)))
        return std::nullopt;  // Wine: E_NOTIMPL
    return PanelRect{rect.left, rect.top, rect.right, rect.bottom};
}

// Sizes the panel to its content at the window's DPI and moves it: beside the tray (or to the
// remembered place) when `opening`, else keeping its left and bottom edges.
void PlacePanel(bool opening) {
    PanelDpiScale = WindowDpiScale(gPanel);
    const int32_t width = Scale()(330);
    {
        WindowDC dc(gPanel);
        GdiCanvas canvas(dc.get(), Scale(), gFontsAvailable);
        gLayout = RunPainter(canvas, width, true);
    }
    RECT current{};
    GetWindowRect(gPanel, &current);
    PlacementRequest request;
    request.opening = opening;
    request.current = {current.left, current.top, current.right, current.bottom};
    request.width = width;
    request.height = gLayout.height;
    if (gSettings.px != kPanelNeverMoved)
        request.remembered = PanelPoint{gSettings.px, gSettings.py};
    if (opening && !request.remembered) {
        request.iconRect = TrayIconRect();
        POINT cursor{};
        GetCursorPos(&cursor);
        request.cursor = gNotedAnchor.value_or(PanelPoint{cursor.x, cursor.y});
    }
    if (opening) gNotedAnchor.reset();
    request.margin = Scale()(12);
    const PanelRect place = PlacePanelRect(request, WorkAreaNear);
    SetWindowPos(gPanel, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE);
}

void RelayoutPanel() {
    PlacePanel(false);
    InvalidateRect(gPanel, nullptr, FALSE);
}

void HideOnDeactivation(HWND window) {
    ShowWindow(window, SW_HIDE);
    LastPanelHideTick = GetTickCount();
}

// The double-buffered paint: the whole page composed off screen, then copied in one go.
void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    int32_t height = client.bottom;
    {
        MemoryDC memory(dc);
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        if (memory.get() && bitmap) {
            Selection useBitmap(memory.get(), bitmap.get());
            GdiCanvas canvas(memory.get(), Scale(), gFontsAvailable);
            canvas.FillRect({0, 0, client.right, client.bottom}, palette::kBackground);
            gLayout = RunPainter(canvas, client.right, false);
            height = gLayout.height;
            BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(window, &paint);
    if (height != client.bottom) PlacePanel(false);
}

void Toggle(bool& flag) {
    flag = !flag;
    SaveSettings();
}

void OnClick(HWND window, int32_t id) {
    switch (id) {
        case kTargetSettings:
            SettingsPageShown = true;
            break;
        case kTargetBack:
            SettingsPageShown = false;
            break;
        case kTargetReport:
            OpenUsageReport();
            return;
        case kTargetRefresh:
            ForceRefreshFlag.exchange(true);
            if (RefreshEvent) SetEvent(RefreshEvent);
            return;
        case kTargetClose:
            ShowWindow(window, SW_HIDE);
            return;
        case kTargetPin:
        case kTargetKeepOpen:
            Toggle(gSettings.pinned);
            break;
        case kTargetShowAuto:
            SetTrayNumberChoice(L"auto");
            break;
        case kTargetShowClaude:
            SetTrayNumberChoice(L"claude");
            break;
        case kTargetShowCodex:
            SetTrayNumberChoice(L"codex");
            break;
        case kTargetClaudeSection:
            Toggle(gSettings.secclaude);
            break;
        case kTargetCodexSection:
            Toggle(gSettings.seccodex);
            break;
        case kTargetAlerts:
            Toggle(gSettings.alerts);
            break;
        case kTargetAutostart:
            SetAutostart(!IsAutostartOn());
            break;
        case kTargetQuit:
            DestroyWindow(TrayWindow());
            return;
        case kTargetConnect:
            if (!ToggleClaudeConnection(window)) return;
            break;
        case kTargetCompact:
        case kTargetNormal:
        case kTargetLarge:
            gSettings.size = id - kTargetCompact;
            SaveSettings();
            break;
        default:
            return;
    }
    RelayoutPanel();
}

void OnMouseMove(HWND window, int32_t x, int32_t y) {
    const int32_t id = HoverTargetAt(gLayout, x, y);
    if (id != HoveredTargetId) {
        HoveredTargetId = id;
        InvalidateRect(window, nullptr, FALSE);
    }
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
    TrackMouseEvent(&track);
    SetCursor(LoadCursorW(nullptr, id != kTargetNone ? IDC_HAND : IDC_ARROW));
}

LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && !gSettings.pinned && IsWindowVisible(window)) {
                HideOnDeactivation(window);
            }
            return 0;
        case WM_NCHITTEST: {
            const LRESULT hit = DefWindowProcW(window, message, wParam, lParam);
            if (hit != HTCLIENT) return hit;
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window, &point);
            return IsDragHandle(gLayout, point.x, point.y) ? HTCAPTION : HTCLIENT;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT)
                return TRUE;  // the cursor chosen on mouse move stays
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_MOUSEMOVE:
            OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSELEAVE:
            if (HoveredTargetId != kTargetNone) {
                HoveredTargetId = kTargetNone;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            OnClick(window, ClickTargetAt(gLayout, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_KEYDOWN:
            if (wParam != VK_ESCAPE) return 0;
            if (SettingsPageShown) {
                SettingsPageShown = false;
                RelayoutPanel();
            } else {
                ShowWindow(window, SW_HIDE);
            }
            return 0;
        case WM_EXITSIZEMOVE: {
            RECT rect{};
            GetWindowRect(window, &rect);
            gSettings.px = rect.left;
            gSettings.py = rect.top;
            SaveSettings();
            return 0;
        }
        case WM_DPICHANGED: {
            // Dragged onto a monitor with another scale: take the place the system suggests and
            // lay the page out again at the new scale.
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            RelayoutPanel();
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreatePanelWindow(HINSTANCE instance, HWND owner) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DROPSHADOW;
    windowClass.lpfnWndProc = PanelWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPanelClass;
    if (!RegisterClassExW(&windowClass)) {
        return nullptr;
    }
    gPanel = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPanelClass, L"Tidewell", WS_POPUP,
                             0, 0, 330, 338, owner, nullptr, instance, nullptr);
    return gPanel;
}

HWND PanelWindow() {
    return gPanel;
}

void ShowPanel(bool toggle) {
    if (!gPanel) return;
    if (toggle && IsWindowVisible(gPanel)) {
        ShowWindow(gPanel, SW_HIDE);
        return;
    }
    SettingsPageShown = false;
    HoveredTargetId = kTargetNone;  // no button lit from before it hid, until the mouse moves
    PlacePanel(true);
    ShowWindow(gPanel, SW_SHOW);
    SetForegroundWindow(gPanel);
    InvalidateRect(gPanel, nullptr, TRUE);
    if (RefreshEvent) SetEvent(RefreshEvent);
}

void NotePanelAnchor(int x, int y) {
    gNotedAnchor = PanelPoint{x, y};
}

void InvalidateVisiblePanel() {
    if (gPanel && IsWindowVisible(gPanel)) InvalidateRect(gPanel, nullptr, FALSE);
}

void HidePanelUnlessPinned() {
    if (gPanel && !gSettings.pinned) ShowWindow(gPanel, SW_HIDE);
}

void ShowPanelSettingsPage() {
    if (!gPanel) return;
    SettingsPageShown = true;
    RelayoutPanel();
}
