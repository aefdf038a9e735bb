#include "tray/tray_icon_win.h"

#include <cstring>

#include "platform/gdi_objects_win.h"
#include "tray/tray_icon.h"

namespace {

constexpr int kSize = 32;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    if (brush) FillRect(dc, &rect, brush.get());
}

}  // namespace

HICON RenderTrayIcon(int32_t value, bool hasValue) {
    const TrayIconLook look = TrayIconLookFor(value, hasValue);

    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = kSize;
    header.bV5Height = -kSize;  // top-down rows
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
    std::memset(pixels, 0, kSize * kSize * 4);
    {
        Selection bitmap(dc.get(), color.get());
        {
            GdiObject<HBRUSH> background(CreateSolidBrush(kIconBackground));
            Selection brush(dc.get(), background.get());
            Selection pen(dc.get(), GetStockObject(NULL_PEN));
            RoundRect(dc.get(), 0, 0, kSize + 1, kSize + 1, 10, 10);
        }
        Fill(dc.get(), RECT{4, 24, 28, 29}, kIconTrack);
        if (look.barWidth > 0) Fill(dc.get(), RECT{4, 24, 4 + look.barWidth, 29}, look.barColor);
        {
            GdiObject<HFONT> font(CreateFontW(look.fontHeight, 0, 0, 0, FW_BOLD, 0, 0, 0,
                                              DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                                              L"Segoe UI"));
            Selection selectedFont(dc.get(), font.get());
            SetTextColor(dc.get(), kIconText);
            SetBkMode(dc.get(), TRANSPARENT);
            RECT textRect{0, 0, kSize, 24};
            DrawTextW(dc.get(), look.text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        GdiFlush();
    }
    // Painted pixels become opaque; the untouched rounded corners stay transparent.
    for (int i = 0; i < kSize * kSize; ++i) {
        if (pixels[i] & 0x00FFFFFF) pixels[i] |= 0xFF000000;
    }
    GdiObject<HBITMAP> mask(CreateBitmap(kSize, kSize, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&info);
}
