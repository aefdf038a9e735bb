#include "panel/gdi_canvas_win.h"

#include "platform/gdi_objects_win.h"

namespace {

constexpr wchar_t kSymbolFace[] = L"Segoe MDL2 Assets";

UINT FlagsOf(TextAlign align) {
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    switch (align) {
        case TextAlign::kLeft:
            return line | DT_LEFT | DT_END_ELLIPSIS;
        case TextAlign::kRight:
            return line | DT_RIGHT | DT_END_ELLIPSIS;
        case TextAlign::kRightPlain:
            return line | DT_RIGHT;
        case TextAlign::kCentre:
            return line | DT_CENTER;
    }
    return line;
}

RECT ToRect(const PanelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool SymbolFontAvailable() {
    static const bool available = [] {
        WindowDC screen;
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        wcscpy_s(wanted.lfFaceName, kSymbolFace);
        bool found = false;
        EnumFontFamiliesExW(screen.get(), &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
        return found;
    }();
    return available;
}

GdiCanvas::GdiCanvas(HDC dc, PanelScale scale, bool geistAvailable)
    : dc_(dc), S(scale), geistAvailable_(geistAvailable) {
    SetBkMode(dc_, TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
    for (HFONT font : fonts_) {
        if (font) DeleteObject(font);
    }
}

HFONT GdiCanvas::Font(FontRole role) {
    HFONT& font = fonts_[static_cast<size_t>(role)];
    if (!font) {
        const FontStyle style = FontStyleOf(role);
        const FontFace face = style.glyphs ? FontFace{kSymbolFace, style.weight}
                                          : TextFontFace(style.weight, geistAvailable_);
        font = CreateFontW(-S(style.size), 0, 0, 0, face.weight, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           CLEARTYPE_QUALITY, DEFAULT_PITCH, face.name);
    }
    return font;
}

void GdiCanvas::FillRect(const PanelRect& rect, uint32_t colour) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    const RECT r = ToRect(rect);
    if (brush) ::FillRect(dc_, &r, brush.get());
}

void GdiCanvas::FillRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    if (!brush) return;
    Selection useBrush(dc_, brush.get());
    Selection noPen(dc_, GetStockObject(NULL_PEN));
    // A pen-less RoundRect leaves out the right and bottom edges; +1 covers them.
    RoundRect(dc_, rect.left, rect.top, rect.right + 1, rect.bottom + 1, diameter, diameter);
}

void GdiCanvas::FrameRoundRect(const PanelRect& rect, uint32_t colour, int32_t diameter,
                               int32_t thickness) {
    // An inside-frame pen keeps the whole outline within the rectangle the fill covers.
    GdiObject<HPEN> pen(CreatePen(PS_INSIDEFRAME, thickness, colour));
    if (!pen) return;
    Selection usePen(dc_, pen.get());
    Selection noBrush(dc_, GetStockObject(NULL_BRUSH));
    RoundRect(dc_, rect.left, rect.top, rect.right + 1, rect.bottom + 1, diameter, diameter);
}

void GdiCanvas::DrawText(std::wstring_view text, const PanelRect& rect, FontRole font,
                         uint32_t colour, TextAlign align) {
    Selection useFont(dc_, Font(font));
    SetTextColor(dc_, colour);
    RECT r = ToRect(rect);
    ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &r, FlagsOf(align));
}

int32_t GdiCanvas::TextWidth(std::wstring_view text, FontRole font) {
    Selection useFont(dc_, Font(font));
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void GdiCanvas::DrawGlyph(Glyph glyph, const PanelRect& rect, uint32_t colour, TextAlign align) {
    if (!SymbolFontAvailable()) {
        DrawGlyphShape(glyph, rect, colour, align);
        return;
    }
    const wchar_t code = glyph == Glyph::kPin     ? L'\uE718'
                         : glyph == Glyph::kClose ? L'\uE8BB'
                                                  : L'\uE72A';
    DrawText(std::wstring_view(&code, 1), rect, FontRole::kIcon, colour, align);
}

// Without the icon font the three symbols are drawn as lines in a square of the glyph's size,
// placed as the glyph would be: a pushpin, a cross, an arrow pointing right.
void GdiCanvas::DrawGlyphShape(Glyph glyph, const PanelRect& rect, uint32_t colour,
                               TextAlign align) {
    const int32_t side = glyph == Glyph::kClose ? S(9) : S(11);
    const int32_t top = rect.top + (rect.bottom - rect.top - side) / 2;
    const int32_t left = align == TextAlign::kCentre
                             ? rect.left + (rect.right - rect.left - side) / 2
                             : rect.right - side;
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, S(1), colour));
    if (!pen) return;
    Selection usePen(dc_, pen.get());
    auto line = [&](double x0, double y0, double x1, double y1) {
        // Fractions of the square; LineTo leaves out the end point, so it goes one pixel further.
        const int ax = left + static_cast<int>(x0 * side), ay = top + static_cast<int>(y0 * side);
        const int bx = left + static_cast<int>(x1 * side), by = top + static_cast<int>(y1 * side);
        MoveToEx(dc_, ax, ay, nullptr);
        LineTo(dc_, bx + (bx > ax) - (bx < ax), by + (by > ay) - (by < ay));
    };
    switch (glyph) {
        case Glyph::kClose:
            line(0, 0, 1, 1);
            line(0, 1, 1, 0);
            break;
        case Glyph::kArrow:
            line(0, 0.5, 1, 0.5);
            line(0.55, 0.05, 1, 0.5);
            line(0.55, 0.95, 1, 0.5);
            break;
        case Glyph::kPin:
            line(0.3, 0, 0.7, 0);       // the head
            line(0.35, 0, 0.35, 0.55);  // the body
            line(0.65, 0, 0.65, 0.55);
            line(0.12, 0.55, 0.88, 0.55);  // the collar
            line(0.5, 0.55, 0.5, 1);       // the needle
            break;
    }
}
