#pragma once

#include <windows.h>

#include <array>

#include "panel/canvas.h"

// The panel's canvas on a GDI device context. Fonts are made on first use and deleted with the
// canvas, so a measuring pass that draws nothing makes none.
class GdiCanvas : public Canvas {
public:
    GdiCanvas(HDC dc, PanelScale scale, bool geistAvailable);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void FillRect(const PanelRect& rect, uint32_t colour) override;
    void FillRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter) override;
    void FrameRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter,
                        int32_t thickness) override;
    void DrawText(std::wstring_view text, const PanelRect& rect, FontRole font, uint32_t colour,
                  TextAlign align) override;
    void DrawGlyph(Glyph glyph, const PanelRect& rect, uint32_t colour, TextAlign align) override;
    int32_t TextWidth(std::wstring_view text, FontRole font) override;

private:
    HFONT Font(FontRole role);
    void DrawGlyphShape(Glyph glyph, const PanelRect& rect, uint32_t colour, TextAlign align);

    HDC dc_;
    PanelScale S;
    bool geistAvailable_;
    std::array<HFONT, kFontRoleCount> fonts_{};
};

// True when the system has the "Segoe MDL2 Assets" icon font (asked once per process).
bool SymbolFontAvailable();
