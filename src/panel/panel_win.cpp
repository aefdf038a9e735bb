#include "panel/panel_win.h"

#include "core/settings.h"
#include "limits/refresh_thread_win.h"
#include "platform/gdi_objects_win.h"

DWORD LastPanelHideTick = 0;
bool gFontsAvailable = false;

namespace {

constexpr wchar_t kPanelClass[] = L"TidewellPanel";
constexpr COLORREF kPanelBackground = RGB(0x18, 0x18, 0x1B);
constexpr int kPanelWidth = 330;
constexpr int kPanelHeight = 338;
constexpr int kMargin = 12;

HWND gPanel = nullptr;

void HideSelf(HWND window) {
    ShowWindow(window, SW_HIDE);
    LastPanelHideTick = GetTickCount();
}

LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            GdiObject<HBRUSH> background(CreateSolidBrush(kPanelBackground));
            if (background) FillRect(dc, &paint.rcPaint, background.get());
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers every pixel
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && IsWindowVisible(window) && !gSettings.pinned) {
                HideSelf(window);
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) HideSelf(window);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Beside the tray: the bottom-right corner of the primary work area.
void Place(HWND window) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, HWND_TOPMOST, work.right - kMargin - kPanelWidth,
                 work.bottom - kMargin - kPanelHeight, kPanelWidth, kPanelHeight, SWP_NOACTIVATE);
}

}  // namespace

HWND CreatePanelWindow(HINSTANCE instance) {
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
                             0, 0, 340, 400, nullptr, nullptr, instance, nullptr);
    return gPanel;
}

HWND PanelWindow() { return gPanel; }

void ShowPanel(bool toggle) {
    if (!gPanel) return;
    if (toggle && IsWindowVisible(gPanel)) {
        HideSelf(gPanel);
        return;
    }
    Place(gPanel);
    ShowWindow(gPanel, SW_SHOW);
    SetForegroundWindow(gPanel);
    if (RefreshEvent) SetEvent(RefreshEvent);
}

void InvalidateVisiblePanel() {
    if (gPanel && IsWindowVisible(gPanel)) InvalidateRect(gPanel, nullptr, FALSE);
}

void HidePanelUnlessPinned() {
    if (gPanel && !gSettings.pinned) ShowWindow(gPanel, SW_HIDE);
}

void ShowPanelSettingsPage() { InvalidateVisiblePanel(); }
