// The panel window's paint cycle on GDI: what it leaves behind over many repaints.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "panel/panel_win.h"
#include "support/gdi_probe_win.h"

namespace {

// Windows need a display: the panel's end-to-end test runs this one on its Wine desktop.
TEST(PanelPaint, TenThousandRepaintsLeaveNoObjectBehind) {
    const UsageSnapshot snapshot;
    SettingsStore settings{Settings{}};
    PanelWindow window{PanelWindow::Context{snapshot, settings, nullptr, nullptr}};
    if (!window.Create(GetModuleHandleW(nullptr), nullptr, false)) GTEST_SKIP() << "no display";
    HWND panel = window.window();
    // Hover each kind of target, on both pages, and repaint.
    const auto cycles = [&window, panel](int count) {
        for (int i = 0; i < count; ++i) {
            if (i % 500 == 0) {
                if ((i / 500) % 2) {
                    window.ShowPage(true);
                } else {
                    SendMessageW(panel, WM_KEYDOWN, VK_ESCAPE, 0);  // back to the main page
                }
            }
            SendMessageW(panel, WM_MOUSEMOVE, 0, MAKELPARAM(20 + (i * 37) % 300, (i * 53) % 500));
            SendMessageW(panel, WM_PAINT, 0, 0);
        }
    };
    cycles(100);
    const int before = HighestGdiSlot();
    cycles(10000);
    EXPECT_LT(std::abs(HighestGdiSlot() - before), 16);
}

}  // namespace
