#pragma once

#include <cstdint>
#include <optional>

#include "panel/canvas.h"

// A page taller than the window scrolls below its header: the header (the title, "Keep open"
// and "Close", the drag handle) stays at the top, the rest moves up by the scroll offset. Page
// coordinates are those the painter lays the page out in; view coordinates are the window's.
struct PanelViewport {
    int32_t pageHeight = 0;    // the whole page, as laid out
    int32_t windowHeight = 0;  // the window's client height
    int32_t headerBottom = 0;  // the fixed header ends here
};

// The window's height for a page of `pageHeight` on a work area `workHeight` high: the whole page
// when it fits with `margin` above and below, else that much less (never under one pixel).
int32_t FitHeight(int32_t pageHeight, int32_t workHeight, int32_t margin);

// How far the page can scroll: 0 when it fits.
int32_t MaxScrollOffset(const PanelViewport& view);
int32_t ClampScrollOffset(const PanelViewport& view, int32_t offset);

// The system's "one screen at a time" setting for the wheel (WHEEL_PAGESCROLL).
inline constexpr uint32_t kWheelScrollsPage = 0xFFFFFFFFu;

// The offset after the wheel turned by `wheelDelta` (120 a notch, positive away from the user:
// towards the top), moving `linesPerNotch` lines of `lineHeight` pixels a notch, never more
// than the visible part below the header; finer wheels move in proportion.
int32_t WheelScrollOffset(const PanelViewport& view, int32_t offset, int32_t wheelDelta,
                          uint32_t linesPerNotch, int32_t lineHeight);

// The offset that shows `target` (page coordinates) wholly with `margin` around it below the
// header, moving as little as it can, except that going up to a target that shows at the top of
// the page goes to the top (its section's caption above it shows too); a target in the header
// shows at any offset. A target taller than the view shows its top.
int32_t OffsetShowing(const PanelViewport& view, int32_t offset, const PanelRect& target,
                      int32_t margin);

// A point's y in the window to its y on the page: the header stays, the rest is scrolled.
int32_t PageY(const PanelViewport& view, int32_t offset, int32_t windowY);
// A rectangle of the page where it shows in the window.
PanelRect ViewRect(const PanelViewport& view, int32_t offset, const PanelRect& pageRect);

// True when any of `pageRect` shows in the window: in the header, or below it and above the
// bottom. A part shown is still on the screen for a screen reader, which can click it there.
bool PartlyInView(const PanelViewport& view, int32_t offset, const PanelRect& pageRect);

// The scroll indicator's thumb in window coordinates: `thickness` wide, `inset` from the right
// edge of a window `windowWidth` wide, running along the part below the header with a length in
// proportion to the part shown (at least `minLength`). Nothing when the page fits.
std::optional<PanelRect> ScrollThumb(const PanelViewport& view, int32_t offset, int32_t windowWidth,
                                     int32_t thickness, int32_t inset, int32_t minLength);
