// The tray icon's pixels, read back from the icon GDI made, and no GDI object left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/gdi_probe_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <mutex>
#include <vector>

#include "tray/tray_icon.h"
#include "tray/tray_icon_win.h"
#include "tray/tray_notify_win.h"

namespace {

// The icon's colour pixels as 0xAARRGGBB, top-down; empty unless it is `size` pixels square.
std::vector<uint32_t> Pixels(HICON icon, int size = 32) {
    std::vector<uint32_t> pixels(size * size);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    if (bitmap.bmWidth != size || bitmap.bmHeight != size) pixels.clear();
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = size;
    header.bmiHeader.biHeight = -size;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    if (!pixels.empty()) GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &header, DIB_RGB_COLORS);
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
    const Case cases[] = {{0, true},  {69, true},  {79, true},   {80, true}, {94, true}, {95, true},
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

// Each size the shell uses: drawn at that size (never scaled by the shell), corners clear, the
// square opaque, the bar in its level colour on the track, and digits with solid stems (a
// scaled-down icon has none). TIDEWELL_ICON_DUMP names a folder for the raw BGRA images.
TEST(TrayIconPixels, EveryShellSizeDrawnAtItsOwnPixels) {
    const char* dump = std::getenv("TIDEWELL_ICON_DUMP");
    for (const int size : {16, 20, 24, 32}) {
        const TrayIconGeometry g = TrayIconGeometryFor(size);
        for (const int32_t value : {7, 42, 85, 100}) {
            HICON icon = RenderTrayIcon(value, true, size);
            ASSERT_NE(icon, nullptr);
            const std::vector<uint32_t> pixels = Pixels(icon, size);
            DestroyIcon(icon);
            ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size)) << size;
            if (dump) {
                const std::string name = std::string(dump) + "/icon-" + std::to_string(size) + "-" +
                                         std::to_string(value) + ".bgra";
                if (FILE* file = std::fopen(name.c_str(), "wb")) {
                    std::fwrite(pixels.data(), 4, pixels.size(), file);
                    std::fclose(file);
                }
            }
            const auto at = [&](int x, int y) { return pixels[y * size + x]; };
            const int last = size - 1;
            for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
                EXPECT_EQ(at(x, y) >> 24, 0u) << size << " corner " << x << "," << y;
            }
            EXPECT_EQ(at(size / 2, 0) >> 24, 255u) << size;
            EXPECT_EQ(at(size / 2, last) & 0xFFFFFF, Rgb(kIconBackground)) << size;
            const TrayIconLook look = TrayIconLookFor(value, true, g);
            const int row = (g.track.top + g.track.bottom) / 2;
            for (int x = g.track.left; x < g.track.right; ++x) {
                const bool filled = x < g.track.left + look.barWidth;
                EXPECT_EQ(at(x, row) & 0xFFFFFF, Rgb(filled ? look.barColor : kIconTrack))
                    << size << " value " << value << " bar at " << x;
            }
            int solid = 0;
            for (int y = g.number.top; y < g.number.bottom; ++y) {
                for (int x = 0; x < size; ++x) solid += (at(x, y) & 0xFFFFFF) == Rgb(kIconText);
            }
            EXPECT_GE(solid, size / 2) << size << " value " << value << ": no solid stems";
        }
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
