#include "tray/tray_icon_win.h"

#include <cstring>
#include <cwchar>

#include "platform/gdi_objects_win.h"
#include "tray/tray_icon.h"

namespace {

void Fill(HDC dc, const IconRect& rect, COLORREF color) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    if (brush)
        FillRect(dc, &area, brush.get());
}

// Segoe UI is on every Windows since Vista; where it is not (Wine), Tahoma is the closer face.
bool HasSegoeUi(HDC dc) {
    GdiObject<HFONT> font(CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                      ANTIALIASED_QUALITY, 0, L"Segoe UI"));
    Selection selected(dc, font.get());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    return std::wcscmp(face, L"Segoe UI") == 0;
}

}  // namespace

HICON RenderTrayIcon(int32_t value, bool hasValue, int size, bool lightTaskbar) {
    const TrayIconGeometry geometry = TrayIconGeometryFor(size);
    const TrayIconColours colours = TrayIconColoursFor(lightTaskbar);
    size = geometry.size;
    const TrayIconLook look = TrayIconLookFor(value, hasValue, geometry);

    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size;  // top-down rows
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;

    WindowDC screen;
    void* bits = nullptr;
    GdiObject<HBITMAP> color(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                              DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC dc(screen.get());
    if (!color || !bits || !dc.get()) {
        return nullptr;
    }
    auto* pixels = static_cast<uint32_t*>(bits);
    std::memset(pixels, 0, size * size * 4);
    {
        Selection bitmap(dc.get(), color.get());
        Fill(dc.get(), IconRect{0, 0, size, size}, colours.background);
        IconRect bar = geometry.track;
        Fill(dc.get(), bar, colours.track);
        bar.right = bar.left + look.barWidth;
        if (look.barWidth > 0)
            Fill(dc.get(), bar, colours.Bar(look.barColor));
        {
            // Three digits on a small icon sit a pixel closer together; a face wider than
            // Segoe UI (a substitute) gets smaller until the number fits.
            const int widest = size - 2;
            if (look.text.size() >= 3 && size < 24)
                SetTextCharacterExtra(dc.get(), -1);
            const wchar_t* face = HasSegoeUi(dc.get()) ? L"Segoe UI" : L"Tahoma";
            GdiObject<HFONT> font;
            for (int height = -look.fontHeight; height >= 6; --height) {
                font.reset(CreateFontW(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                       ANTIALIASED_QUALITY, 0, face));
                Selection measuring(dc.get(), font.get());
                SIZE extent{};
                if (!GetTextExtentPoint32W(dc.get(), look.text.c_str(),
                                           static_cast<int>(look.text.size()), &extent) ||
                    extent.cx <= widest)
                    break;
            }
            Selection selectedFont(dc.get(), font.get());
            SetTextColor(dc.get(), colours.text);
            SetBkMode(dc.get(), TRANSPARENT);
            RECT textRect{geometry.number.left, geometry.number.top, geometry.number.right,
                          geometry.number.bottom};
            DrawTextW(dc.get(), look.text.c_str(), -1, &textRect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        GdiFlush();
    }
    // The square is opaque; its rounded corners are cleared.
    for (int y = 0; y < size; ++y) {
        const int cut = CornerCut(geometry, y);
        for (int x = 0; x < size; ++x) {
            uint32_t& pixel = pixels[y * size + x];
            pixel = x < cut || x >= size - cut ? 0 : pixel | 0xFF000000;
        }
    }
    GdiObject<HBITMAP> mask(CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&info);
}

int TaskbarIconSize() {
    // The taskbar's monitor decides: with per-monitor awareness the shell draws its icons at
    // that monitor's scale. Older systems have one scale for all.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
    const auto metricsForDpi = reinterpret_cast<MetricsForDpi>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetSystemMetricsForDpi")));
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    const UINT dpi = taskbar && dpiForWindow ? dpiForWindow(taskbar) : 0;
    const int size =
        dpi && metricsForDpi ? metricsForDpi(SM_CXSMICON, dpi) : GetSystemMetrics(SM_CXSMICON);
    return size > 0 ? size : kTrayIconDesignSize;
}
