#include "panel/panel_theme.h"

#include "panel/panel_style.h"

namespace {

// A colour written as RGB (0xRRGGBB), as a COLORREF.
constexpr uint32_t Rgb(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace

ThemeKind ChooseTheme(bool highContrast, std::optional<bool> appsUseLight) {
    if (highContrast)
        return ThemeKind::kHighContrast;
    return appsUseLight.value_or(false) ? ThemeKind::kLight : ThemeKind::kDark;
}

Palette DarkPalette() {
    using namespace palette;
    Palette p{};
    p.background = kBackground;
    p.raised = kRaised;
    p.hover = kHover;
    p.track = kTrack;
    p.divider = kDivider;
    p.text = kText;
    p.hoverLight = kHoverLight;
    p.ink = kInk;
    p.muted = kMuted;
    p.dim = kDim;
    p.blue = kBlue;
    p.amber = kAmber;
    p.danger = kDanger;
    p.link = kText;
    p.controlEdge = kControlEdge;
    p.switchOffTrack = kTrack;
    p.switchOffEdge = kSwitchOffEdge;
    p.knobOn = kKnobOn;
    p.knobOff = kText;
    p.focusOuter = kBlue;
    p.focusInner = kBackground;
    p.systemColours = false;
    p.buttonFace = kRaised;
    p.buttonText = kText;
    p.highlight = kBlue;
    p.highlightText = kText;
    return p;
}

// The same design on a light window: the light buttons turn dark, the accent, amber and red
// darken until they read on it as text.
Palette LightPalette() {
    Palette p{};
    p.background = Rgb(0xF7F7F5);
    p.raised = Rgb(0xEBEAE6);
    p.hover = Rgb(0xE0DFDA);
    p.track = Rgb(0xE0DFDA);
    p.divider = Rgb(0xE0DFDA);
    p.text = Rgb(0x1F1E1B);
    p.hoverLight = Rgb(0x3A3935);
    p.ink = Rgb(0xF7F7F5);
    p.muted = Rgb(0x62615B);
    p.dim = Rgb(0x706F6A);
    p.blue = Rgb(0x0078D4);
    p.amber = Rgb(0x966900);
    p.danger = Rgb(0xCF3718);
    p.link = p.text;
    p.controlEdge = Rgb(0x8E8D88);
    p.switchOffTrack = Rgb(0xF7F7F5);
    p.switchOffEdge = Rgb(0x7A7973);
    p.knobOn = Rgb(0xFFFFFF);
    p.knobOff = Rgb(0x5D5C57);
    p.focusOuter = Rgb(0x0078D4);
    p.focusInner = Rgb(0xF7F7F5);
    p.systemColours = false;
    p.buttonFace = p.raised;
    p.buttonText = p.text;
    p.highlight = p.blue;
    p.highlightText = Rgb(0xFFFFFF);
    return p;
}

// Every role in one of the theme's own colours. Gray text is left out: Windows means it for
// what is disabled, and nothing here is.
Palette HighContrastPalette(const SystemColours& c) {
    Palette p{};
    p.background = c.window;
    p.raised = c.buttonFace;
    p.hover = c.highlight;
    p.track = c.window;
    p.divider = c.windowText;
    p.text = c.windowText;
    p.hoverLight = c.highlight;
    p.ink = c.buttonText;
    p.muted = c.windowText;
    p.dim = c.windowText;
    p.blue = c.highlight;
    p.amber = c.windowText;
    p.danger = c.windowText;
    p.link = c.hotLight;
    p.controlEdge = c.windowText;
    p.switchOffTrack = c.window;
    p.switchOffEdge = c.windowText;
    p.knobOn = c.highlightText;
    p.knobOff = c.windowText;
    p.focusOuter = c.highlight;
    p.focusInner = c.window;
    p.systemColours = true;
    p.buttonFace = c.buttonFace;
    p.buttonText = c.buttonText;
    p.highlight = c.highlight;
    p.highlightText = c.highlightText;
    return p;
}

Palette PaletteFor(ThemeKind kind, const SystemColours& colours) {
    switch (kind) {
        case ThemeKind::kLight:
            return LightPalette();
        case ThemeKind::kHighContrast:
            return HighContrastPalette(colours);
        case ThemeKind::kDark:
            break;
    }
    return DarkPalette();
}

bool IsThemeChange(uint32_t message, uint64_t wParam, std::wstring_view area) {
    if (message == kMsgSysColorChange)
        return true;
    if (message != kMsgSettingChange)
        return false;
    return wParam == kSpiSetHighContrast || area == L"ImmersiveColorSet";
}
