#pragma once

#include <cstdint>
#include <string_view>

#include "panel/panel_style.h"

// A rectangle in client pixels; it holds the points left <= x < right, top <= y < bottom.
struct PanelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

// How a text sits in its rectangle: always one line, centred vertically, '&' shown as itself.
enum class TextAlign {
    kLeft,        // cut with an ellipsis
    kRight,       // cut with an ellipsis
    kRightPlain,  // never cut
    kCentre,      // never cut
};

// The three symbols of the panel: the pin (U+E718), the cross (U+E8BB) and the forward arrow
// (U+E72A) of the system's icon font.
enum class Glyph { kPin, kClose, kArrow };

// What the painter draws on: GDI on a memory bitmap in the program, a recording in the tests.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void FillRect(const PanelRect& rect, uint32_t colour) = 0;
    // A filled rounded rectangle covering `rect` including its right and bottom edges.
    virtual void FillRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter) = 0;
    // The outline of that rounded rectangle, `thickness` pixels wide, all of it inside `rect`.
    virtual void FrameRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter,
                                int32_t thickness) = 0;
    virtual void DrawText(std::wstring_view text, const PanelRect& rect, FontRole font,
                          uint32_t colour, TextAlign align) = 0;
    // A symbol in the Icon font's size, placed in `rect` like a text with `align`.
    virtual void DrawGlyph(Glyph glyph, const PanelRect& rect, uint32_t colour,
                           TextAlign align) = 0;
    virtual int32_t TextWidth(std::wstring_view text, FontRole font) = 0;
};
