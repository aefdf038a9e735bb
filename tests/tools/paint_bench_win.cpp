// Times the panel's full repaint (fonts made, page laid out and drawn on a bitmap of the
// window's size, copied out) at a DPI scale: paint_bench [SCALE] [REPEATS].
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "panel/gdi_canvas_win.h"
#include "panel/panel_layout.h"
#include "platform/gdi_objects_win.h"

int main(int argc, char** argv) {
    const float scale = argc > 1 ? static_cast<float>(std::atof(argv[1])) : 1.0f;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 2000;
    UsageSnapshot snapshot;
    snapshot.planLimits = {
        true, true, L"", L"Max", {{L"5-hour limit", 42, 1}, {L"Weekly \u00b7 All models", 81, 1}},
        0, {}};
    snapshot.codex.found = true;
    snapshot.codex.primary = {true, 33, 300, 1};
    snapshot.codex.secondary = {true, 91, 10080, 1};
    snapshot.hasUpdate = true;
    Settings settings;
    const PanelInputs inputs{snapshot,
                             settings,
                             false,
                             kTargetNone,
                             100,
                             scale,
                             kNoStatusLine,
                             false};
    const int32_t width = PanelScale{scale, 1}(330);
    const int32_t height = PanelScale{scale, 1}(338);
    WindowDC screen;
    MemoryDC window(screen.get());
    GdiObject<HBITMAP> windowBitmap(CreateCompatibleBitmap(screen.get(), width, height));
    Selection useWindowBitmap(window.get(), windowBitmap.get());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) {
        MemoryDC memory(window.get());
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(window.get(), width, height));
        Selection useBitmap(memory.get(), bitmap.get());
        GdiCanvas canvas(memory.get(), PanelScale{scale, 1}, false);
        canvas.FillRect({0, 0, width, height}, palette::kBackground);
        PaintPanel(canvas, inputs, width, false);
        BitBlt(window.get(), 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("scale %.2f (%d x %d): %.0f us per repaint over %d\n", scale, width, height,
                spent.count() / repeats, repeats);
    return 0;
}
