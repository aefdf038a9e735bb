#include "panel/panel_style.h"

#include <cmath>

int32_t PanelScale::operator()(int32_t v) const {
    const float factor = size == 0 ? 0.88f : size == 2 ? 1.14f : 1.0f;
    // Two rounded single-precision steps, in this order, so that 412.5 stays 412.5.
    const float scaled = static_cast<float>(v) * dpiScale;
    const float sized = scaled * factor;
    return static_cast<int32_t>(std::lround(sized));
}

FontStyle FontStyleOf(FontRole role) {
    switch (role) {
        case FontRole::kTitle:
            return {13, 400, false};
        case FontRole::kTitleStrong:
            return {13, 600, false};
        case FontRole::kRowLabel:
            return {13, 500, false};
        case FontRole::kSmall:
            return {12, 400, false};
        case FontRole::kSmallStrong:
            return {12, 600, false};
        case FontRole::kCaption:
            return {11, 500, false};
        case FontRole::kIcon:
            return {12, 400, true};
        case FontRole::kButton:
            return {13, 500, false};
    }
    return {12, 400, false};
}

FontFace TextFontFace(int32_t weight, bool geistAvailable) {
    if (!geistAvailable) return {L"Segoe UI", weight};
    if (weight == 600) return {L"Geist SemiBold", 400};
    if (weight <= 499) return {L"Geist", 400};
    return {L"Geist Medium", 400};
}
