#pragma once

#include <cstdint>
#include <string>

// The tray icon's colours, as Windows COLORREF values (0x00BBGGRR).
inline constexpr uint32_t kIconBackground = 0x1C2021;
inline constexpr uint32_t kIconTrack = 0x5E6363;
inline constexpr uint32_t kIconRed = 0x2E4DE5;
inline constexpr uint32_t kIconAmber = 0x3DC5FF;
inline constexpr uint32_t kIconGreen = 0x58A746;
inline constexpr uint32_t kIconText = 0xFCFDFD;

// What the 32 x 32 icon shows for a whole percentage: the number (or an en dash without data),
// its font height, and the bar along the bottom (0 to 24 pixels long) in its level colour.
struct TrayIconLook {
    std::wstring text;
    int fontHeight = -18;
    int barWidth = 0;
    uint32_t barColor = kIconGreen;
};

TrayIconLook TrayIconLookFor(int32_t value, bool hasValue);
