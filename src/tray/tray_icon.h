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

// The icon's colours on a dark taskbar (those above) or a light one, where the square is light,
// the number dark and the bar's colours deep enough to read on it.
struct TrayIconColours {
    uint32_t background;
    uint32_t track;
    uint32_t text;
    uint32_t green;
    uint32_t amber;
    uint32_t red;
    // The colour a level's bar, named by its dark-taskbar colour, has here.
    uint32_t Bar(uint32_t darkTaskbarColour) const {
        return darkTaskbarColour == kIconRed     ? red
               : darkTaskbarColour == kIconAmber ? amber
                                                 : green;
    }
};
TrayIconColours TrayIconColoursFor(bool lightTaskbar);

// The size the icon is drawn at when the shell's size is not known, and the one its layout is
// designed for.
inline constexpr int kTrayIconDesignSize = 32;

// A rectangle of icon pixels: left and top inclusive, right and bottom exclusive.
struct IconRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const IconRect&, const IconRect&) = default;
};

// Where things sit on a square icon of `size` pixels, in whole pixels so that the shell shows it
// unscaled and the digits stay sharp. At 32 pixels: corners of 10, the number in 0,0,32,24 at
// height 18 (14 with three digits), the bar's track 4,24,28,29. Smaller icons give the number a
// larger share of their height, since it must stay readable at 16 pixels.
struct TrayIconGeometry {
    int size = kTrayIconDesignSize;
    int cornerDiameter = 10;
    IconRect number{0, 0, 32, 24};
    IconRect track{4, 24, 28, 29};
    int fontHeight = 18;       // character height in pixels, one or two digits
    int smallFontHeight = 14;  // three digits
};

TrayIconGeometry TrayIconGeometryFor(int size);

// How many pixels at each end of `row` lie outside the rounded square (0 away from the corners).
// The corners are alike at every size: GDI's own rounded rectangles differ from corner to corner
// by a pixel, which shows at 16 pixels.
int CornerCut(const TrayIconGeometry& geometry, int row);

// What the icon shows for a whole percentage: the number (or an en dash without data), its font
// height (negative: a character height; the drawing makes it smaller where a wide face would
// not fit the width), and the bar along the bottom in its level colour.
struct TrayIconLook {
    std::wstring text;
    int fontHeight = -18;
    int barWidth = 0;  // 0 to the track's width
    uint32_t barColor = kIconGreen;
};

TrayIconLook TrayIconLookFor(int32_t value, bool hasValue,
                             const TrayIconGeometry& geometry = TrayIconGeometry{});
