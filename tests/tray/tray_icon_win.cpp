// The tray icon's pixels, read back from the icon GDI made, and no GDI object left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/gdi_probe_win.h"

#include <cstdlib>
#include <mutex>
#include <vector>

#include "tray/tray_icon.h"
#include "tray/tray_icon_win.h"
#include "tray/tray_notify_win.h"

namespace {

// The icon's colour pixels as 0xAARRGGBB, top-down.
std::vector<uint32_t> Pixels(HICON icon) {
    std::vector<uint32_t> pixels(32 * 32);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = 32;
    header.bmiHeader.biHeight = -32;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, 32, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

uint32_t Rgb(uint32_t colorref) {  // COLORREF 0x00BBGGRR as a pixel's 0x00RRGGBB
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

TEST(TrayIconPixels, CornersBarAndColours) {
    struct Case {
        int32_t value;
        bool hasValue;
    };
    const Case cases[] = {{0, true}, {69, true}, {70, true}, {89, true}, {90, true},
                          {99, true}, {100, true}, {1234, true}, {-3, true}, {0, false}};
    for (const Case& c : cases) {
        HICON icon = RenderTrayIcon(c.value, c.hasValue);
        ASSERT_NE(icon, nullptr);
        const std::vector<uint32_t> pixels = Pixels(icon);
        DestroyIcon(icon);
        ASSERT_EQ(pixels.size(), 1024u);
        const auto at = [&](int x, int y) { return pixels[y * 32 + x]; };
        for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) {
            EXPECT_EQ(at(x, y) >> 24, 0u) << c.value << " corner " << x << "," << y;
        }
        for (int y = 3; y < 29; ++y) {
            for (int x = 3; x < 29; ++x) EXPECT_EQ(at(x, y) >> 24, 255u) << c.value << " at " << x << "," << y;
        }
        const TrayIconLook look = TrayIconLookFor(c.value, c.hasValue);
        for (int x = 4; x < 28; ++x) {
            const uint32_t expected = Rgb(x < 4 + look.barWidth ? look.barColor : kIconTrack);
            EXPECT_EQ(at(x, 26) & 0xFFFFFF, expected) << c.value << " bar at " << x;
        }
        EXPECT_EQ(at(16, 30) & 0xFFFFFF, Rgb(kIconBackground)) << c.value;
    }
}

// The table slot that the next USER object (an icon) gets: Wine reuses freed slots, so a probe
// made after many cycles lands near one made before them unless icons leaked.
uintptr_t IconProbeIndex() {
    HICON probe = RenderTrayIcon(1, true);
    const auto index = reinterpret_cast<uintptr_t>(probe) & 0xFFFF;
    DestroyIcon(probe);
    return index;
}

TEST(TrayIconPixels, RenderingLeavesNoObjectBehind) {
    // The first renders create what GDI keeps for the process (realised fonts, say).
    for (int value : {0, 100}) DestroyIcon(RenderTrayIcon(value, true));
    const int before = HighestGdiSlot();
    for (int i = 0; i < 20000; ++i) DestroyIcon(RenderTrayIcon(i % 120, i % 7 != 0));
    EXPECT_EQ(HighestGdiSlot(), before);
}

// Each refresh installs a new icon and destroys the one before it. The first cycles create
// what GDI and the shell keep for the process; after them nothing may grow.
TEST(TrayIconPixels, RefreshesLeaveNoIconBehind) {
    TrayNotifyIcon tray;
    const auto cycles = [&tray](int count) {
        for (int i = 0; i < count; ++i) {
            tray.Show(i % 3 != 0 ? std::optional<int32_t>(i % 110) : std::nullopt, L"Tidewell");
        }
    };
    cycles(1000);
    const auto before = HighestGdiSlot();
    const auto iconBefore = static_cast<int>(IconProbeIndex());
    cycles(20000);
    EXPECT_LT(std::abs(static_cast<int>(IconProbeIndex()) - iconBefore), 64);
    // The old and new icons overlap in each refresh, so the free slots come back in another
    // order: the probe lands near where it was, where one leak per refresh would move it by
    // thousands of slots (or exhaust the table).
    EXPECT_LT(std::abs(HighestGdiSlot() - before), 64);
}

}  // namespace
