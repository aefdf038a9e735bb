#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The panel's colours for each of the themes Windows can be in. Every colour is a Windows
// COLORREF (0x00BBGGRR).

// The colour of every role the panel draws with.
struct Palette {
    uint32_t background;   // the window; fill of the glyph buttons and of Refresh
    uint32_t raised;       // secondary buttons, unselected segments, the Connect row
    uint32_t hover;        // a dark button, segment or row under the mouse
    uint32_t track;        // inside the bar's track
    uint32_t divider;      // the line between sections
    uint32_t text;         // main text; fill of the light buttons, the selected segment, the knob
    uint32_t hoverLight;   // a light button under the mouse
    uint32_t ink;          // text on the light fills
    uint32_t muted;        // the title, the texts beside a limit, glyphs, secondary buttons' texts
    uint32_t dim;          // section headings, message rows, the "Updated" line, file counts
    uint32_t blue;         // the accent: the bar below the first warning, a switch that is on
    uint32_t amber;        // the bar at the first warning, the binding tag, the pinned pin
    uint32_t danger;       // the bar and the percentage at the last warning, the run-out time
    uint32_t link;         // the Connect offer's text
    uint32_t controlEdge;  // the outline of a fill that barely stands out from the window
    uint32_t switchOffTrack;  // inside a switch that is off
    uint32_t switchOffEdge;   // its outline
    uint32_t knobOn;          // the knob of a switch that is on, on the accent
    uint32_t knobOff;         // the knob of a switch that is off
    uint32_t focusOuter;      // the focus ring's 2-pixel outer line
    uint32_t focusInner;      // its 1-pixel inner line, between the ring and the target
    // High contrast: controls are drawn in the system's button colours with an outline, what is
    // under the mouse or chosen in the highlight colours, and a limit's level is marked beside
    // its percentage, since the bar's colour cannot carry it.
    bool systemColours;
    uint32_t buttonFace;
    uint32_t buttonText;
    uint32_t highlight;
    uint32_t highlightText;
};

// The colours of a high-contrast theme that the panel draws with (GetSysColor's).
struct SystemColours {
    uint32_t window;
    uint32_t windowText;
    uint32_t highlight;
    uint32_t highlightText;
    uint32_t hotLight;
    uint32_t grayText;
    uint32_t buttonFace;
    uint32_t buttonText;
};

enum class ThemeKind { kDark, kLight, kHighContrast };

// High contrast wins over the apps' light or dark choice. Without the choice (no such value in
// the registry, as before Windows 10's 1809) the panel keeps its dark look.
ThemeKind ChooseTheme(bool highContrast, std::optional<bool> appsUseLight);

Palette DarkPalette();
Palette LightPalette();
Palette HighContrastPalette(const SystemColours& colours);
Palette PaletteFor(ThemeKind kind, const SystemColours& colours);

// Whether a broadcast to the top-level windows may have changed the theme: WM_SYSCOLORCHANGE,
// or WM_SETTINGCHANGE for high contrast (SPI_SETHIGHCONTRAST in wParam) or for the light or
// dark mode (lParam naming "ImmersiveColorSet").
inline constexpr uint32_t kMsgSysColorChange = 0x0015;   // WM_SYSCOLORCHANGE
inline constexpr uint32_t kMsgSettingChange = 0x001A;    // WM_SETTINGCHANGE
inline constexpr uint64_t kSpiSetHighContrast = 0x0043;  // SPI_SETHIGHCONTRAST
bool IsThemeChange(uint32_t message, uint64_t wParam, std::wstring_view area);
