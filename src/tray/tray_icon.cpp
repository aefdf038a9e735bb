#include "tray/tray_icon.h"

#include <algorithm>

#include "display/limit_level.h"

namespace {

int RoundHalfUp(double x) {
    return static_cast<int>(x + 0.5);
}

}  // namespace

TrayIconColours TrayIconColoursFor(bool lightTaskbar) {
    if (!lightTaskbar)
        return {kIconBackground, kIconTrack, kIconText, kIconGreen, kIconAmber, kIconRed};
    // #F9F9F7, #C9C8C2, #1C1B18; green #2E7D3E, amber #946800, red #C8381A.
    return {0xF7F9F9, 0xC2C8C9, 0x181B1C, 0x3E7D2E, 0x006894, 0x1A38C8};
}

TrayIconGeometry TrayIconGeometryFor(int size) {
    if (size < 8) {
        return TrayIconGeometry{};
    }
    const double scale = static_cast<double>(size) / kTrayIconDesignSize;
    TrayIconGeometry g;
    g.size = size;
    g.cornerDiameter = std::max(2, RoundHalfUp(10 * scale));
    // Thin bars and gaps are rounded down: every row they keep goes to the digits.
    const int inset = RoundHalfUp(4 * scale);
    const int barHeight = std::max(2, static_cast<int>(5 * scale));
    const int gap = std::max(1, static_cast<int>(3 * scale));
    g.track = {inset, size - gap - barHeight, size - inset, size - gap};
    g.number = {0, 0, size, g.track.top};
    if (size < kTrayIconDesignSize) {
        // From 12 and 9 at 16 pixels up to 18 and 14 at 32.
        g.fontHeight = RoundHalfUp(12 + (size - 16) * 6.0 / 16);
        g.smallFontHeight = RoundHalfUp(9 + (size - 16) * 5.0 / 16);
    } else {
        g.fontHeight = RoundHalfUp(18 * scale);
        g.smallFontHeight = RoundHalfUp(14 * scale);
    }
    return g;
}

int CornerCut(const TrayIconGeometry& geometry, int row) {
    const int y = std::min(row, geometry.size - 1 - row);  // the same from the bottom
    const double r = geometry.cornerDiameter / 2.0;
    if (y < 0 || y >= r)
        return 0;
    // Pixels whose centre lies a little outside the corner's circle; at 32 pixels this cuts 3,
    // 2 and 1 pixels from the first three rows, as the icon always had at its top left.
    const double dy = r - (y + 0.5);
    const double limit = (r - 0.25) * (r - 0.25);
    int cut = 0;
    const auto outside = [&](int x) {
        const double dx = r - (x + 0.5);
        return dx * dx + dy * dy > limit;
    };
    while (cut < r && outside(cut))
        ++cut;
    return cut;
}

TrayIconLook TrayIconLookFor(int32_t value, bool hasValue, const TrayIconGeometry& geometry) {
    TrayIconLook look;
    look.fontHeight = -geometry.fontHeight;
    if (!hasValue) {
        look.text = L"\u2013";
        return look;
    }
    look.text = std::to_wstring(std::min(value, 999));
    if (value >= 100)
        look.fontHeight = -geometry.smallFontHeight;
    const int32_t clamped = std::clamp(value, 0, 100);
    const int trackWidth = geometry.track.right - geometry.track.left;
    look.barWidth = static_cast<int>(clamped * static_cast<double>(trackWidth) / 100);
    // The colour changes where the warnings come, on the number the icon shows.
    switch (LevelOfShown(value)) {
        case LimitLevel::kDanger:
            look.barColor = kIconRed;
            break;
        case LimitLevel::kWarning:
            look.barColor = kIconAmber;
            break;
        case LimitLevel::kNormal:
            look.barColor = kIconGreen;
            break;
    }
    return look;
}
