#include "tray/tray_icon.h"

#include <algorithm>

TrayIconLook TrayIconLookFor(int32_t value, bool hasValue) {
    TrayIconLook look;
    if (!hasValue) {
        look.text = L"\u2013";
        return look;
    }
    look.text = std::to_wstring(std::min(value, 999));
    look.fontHeight = value >= 100 ? -14 : -18;
    const int32_t clamped = std::clamp(value, 0, 100);
    look.barWidth = static_cast<int>(clamped * 24.0 / 100);
    look.barColor = clamped >= 90 ? kIconRed : clamped >= 70 ? kIconAmber : kIconGreen;
    return look;
}
