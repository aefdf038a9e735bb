#include "panel/panel_scroll.h"

#include <algorithm>

int32_t FitHeight(int32_t pageHeight, int32_t workHeight, int32_t margin) {
    return std::max(1, std::min(pageHeight, workHeight - 2 * margin));
}

int32_t MaxScrollOffset(const PanelViewport& view) {
    return std::max(0, view.pageHeight - view.windowHeight);
}

int32_t ClampScrollOffset(const PanelViewport& view, int32_t offset) {
    return std::clamp(offset, 0, MaxScrollOffset(view));
}

int32_t WheelScrollOffset(const PanelViewport& view, int32_t offset, int32_t wheelDelta,
                          uint32_t linesPerNotch, int32_t lineHeight) {
    const int64_t visible = std::max(1, view.windowHeight - view.headerBottom);
    int64_t notch = 0;  // pixels for a whole notch
    if (linesPerNotch == kWheelScrollsPage) {
        notch = visible;
    } else {
        notch = std::min<int64_t>(visible, int64_t{linesPerNotch} * std::max(0, lineHeight));
    }
    const int64_t moved = int64_t{wheelDelta} * notch / 120;
    const int64_t next = std::clamp<int64_t>(offset - moved, 0, MaxScrollOffset(view));
    return static_cast<int32_t>(next);
}

int32_t OffsetShowing(const PanelViewport& view, int32_t offset, const PanelRect& target,
                      int32_t margin) {
    offset = ClampScrollOffset(view, offset);
    if (target.top < view.headerBottom)
        return offset;
    const int32_t top = target.top - margin;
    const int32_t bottom = target.bottom + margin;
    if (bottom - offset > view.windowHeight)
        offset = bottom - view.windowHeight;
    if (top - offset < view.headerBottom) {
        // Going up to a target that shows from the top: all the way, so that the caption of its
        // section above it shows too.
        offset = bottom <= view.windowHeight ? 0 : top - view.headerBottom;
    }
    return ClampScrollOffset(view, offset);
}

int32_t PageY(const PanelViewport& view, int32_t offset, int32_t windowY) {
    return windowY < view.headerBottom ? windowY : windowY + offset;
}

PanelRect ViewRect(const PanelViewport& view, int32_t offset, const PanelRect& pageRect) {
    if (pageRect.top < view.headerBottom)
        return pageRect;
    return {pageRect.left, pageRect.top - offset, pageRect.right, pageRect.bottom - offset};
}

bool PartlyInView(const PanelViewport& view, int32_t offset, const PanelRect& pageRect) {
    if (pageRect.top < view.headerBottom)
        return true;
    const PanelRect shown = ViewRect(view, offset, pageRect);
    return shown.bottom > view.headerBottom && shown.top < view.windowHeight;
}

std::optional<PanelRect> ScrollThumb(const PanelViewport& view, int32_t offset, int32_t windowWidth,
                                     int32_t thickness, int32_t inset, int32_t minLength) {
    const int32_t most = MaxScrollOffset(view);
    const int64_t track = view.windowHeight - view.headerBottom;
    if (most == 0 || track <= 0)
        return std::nullopt;
    const int64_t body = view.pageHeight - view.headerBottom;  // what the track stands for
    const int64_t length = std::min(track, std::max<int64_t>(minLength, track * track / body));
    const int64_t top =
        view.headerBottom + (track - length) * ClampScrollOffset(view, offset) / most;
    const int32_t right = windowWidth - inset;
    return PanelRect{right - thickness, static_cast<int32_t>(top), right,
                     static_cast<int32_t>(top + length)};
}
