#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// WCAG 2.1's relative luminance and contrast ratio of Windows COLORREF values (0x00BBGGRR).

inline double ChannelLuminance(uint32_t byte) {
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double RelativeLuminance(uint32_t colorref) {
    return 0.2126 * ChannelLuminance(colorref & 0xFF) +
           0.7152 * ChannelLuminance((colorref >> 8) & 0xFF) +
           0.0722 * ChannelLuminance((colorref >> 16) & 0xFF);
}

inline double ContrastRatio(uint32_t a, uint32_t b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
