// Every palette against WCAG 2.1 AA: 4.5:1 for text (all of the panel's is under 18 px), 3:1 for
// the boundaries of controls, the bar's fills and the focus ring.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "panel/panel_theme.h"
#include "support/contrast.h"

namespace {

constexpr double kText = 4.5;
constexpr double kBoundary = 3.0;

// Windows' own "High Contrast Black" and "High Contrast White" schemes (Control Panel\Colors).
constexpr uint32_t Rgb(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
constexpr SystemColours kHighContrastBlack{Rgb(0x000000), Rgb(0xFFFFFF), Rgb(0x1AEBFF),
                                           Rgb(0x000000), Rgb(0xFFFF00), Rgb(0x3FF23F),
                                           Rgb(0x000000), Rgb(0xFFFFFF)};
constexpr SystemColours kHighContrastWhite{Rgb(0xFFFFFF), Rgb(0x000000), Rgb(0x37006E),
                                           Rgb(0xFFFFFF), Rgb(0x00009F), Rgb(0x600000),
                                           Rgb(0xFFFFFF), Rgb(0x000000)};

struct Pair {
    const char* what;
    uint32_t front;
    uint32_t back;
    double minimum;
};

// What is drawn on what, as the painter does it.
std::vector<Pair> PairsOf(const Palette& p) {
    if (p.systemColours) {
        return {
            {"text on the window", p.text, p.background, kText},
            {"button text on a button face", p.buttonText, p.buttonFace, kText},
            {"button text (glyph, Refresh) on the window", p.buttonText, p.background, kText},
            {"highlight text on the highlight", p.highlightText, p.highlight, kText},
            {"link on a button face", p.link, p.buttonFace, kText},
            {"button outline against the window", p.buttonText, p.background, kBoundary},
            {"highlight (hover, choice, switch on, bar) against the window", p.highlight,
             p.background, kBoundary},
            {"bar at a warning against its track", p.danger, p.track, kBoundary},
            {"track outline against the window", p.controlEdge, p.background, kBoundary},
            {"switch off outline against the window", p.switchOffEdge, p.background, kBoundary},
            {"knob on the highlight", p.knobOn, p.highlight, kBoundary},
            {"knob in an off switch", p.knobOff, p.switchOffTrack, kBoundary},
            {"focus ring against the window", p.focusOuter, p.background, kBoundary},
            {"focus ring against its inner line", p.focusOuter, p.focusInner, kBoundary},
        };
    }
    return {
        {"text on the window", p.text, p.background, kText},
        {"text on a raised fill", p.text, p.raised, kText},
        {"text on the hover fill", p.text, p.hover, kText},
        {"ink on a light button", p.ink, p.text, kText},
        {"ink on a hovered light button", p.ink, p.hoverLight, kText},
        {"muted on the window", p.muted, p.background, kText},
        {"muted on a raised fill", p.muted, p.raised, kText},
        {"muted on the hover fill", p.muted, p.hover, kText},
        {"dim on the window", p.dim, p.background, kText},
        {"danger on the window", p.danger, p.background, kText},
        {"amber (binding, can't reach) on the window", p.amber, p.background, kText},
        {"link on a raised fill", p.link, p.raised, kText},
        {"link on the hover fill", p.link, p.hover, kText},
        {"pin glyph on amber", p.ink, p.amber, kBoundary},
        {"light button against the window", p.text, p.background, kBoundary},
        {"raised fill's outline against the window", p.controlEdge, p.background, kBoundary},
        {"switch on against the window", p.blue, p.background, kBoundary},
        {"switch on against a hovered row", p.blue, p.hover, kBoundary},
        {"switch off outline against the window", p.switchOffEdge, p.background, kBoundary},
        {"switch off outline against a hovered row", p.switchOffEdge, p.hover, kBoundary},
        {"knob on the accent", p.knobOn, p.blue, kBoundary},
        {"knob in an off switch", p.knobOff, p.switchOffTrack, kBoundary},
        {"bar, normal, against its track", p.blue, p.track, kBoundary},
        {"bar, warning, against its track", p.amber, p.track, kBoundary},
        {"bar, danger, against its track", p.danger, p.track, kBoundary},
        {"focus ring against the window", p.focusOuter, p.background, kBoundary},
        {"focus ring against its inner line", p.focusOuter, p.focusInner, kBoundary},
    };
}

TEST(ThemeContrast, EveryPaletteMeetsAa) {
    const struct {
        const char* name;
        Palette palette;
    } themes[] = {
        {"dark", DarkPalette()},
        {"light", LightPalette()},
        {"high contrast black", HighContrastPalette(kHighContrastBlack)},
        {"high contrast white", HighContrastPalette(kHighContrastWhite)},
    };
    for (const auto& theme : themes) {
        for (const Pair& pair : PairsOf(theme.palette)) {
            const double ratio = ContrastRatio(pair.front, pair.back);
            std::printf("%-20s %-62s %5.2f:1 (%.1f)\n", theme.name, pair.what, ratio, pair.minimum);
            EXPECT_GE(ratio, pair.minimum) << theme.name << ": " << pair.what;
        }
    }
}

TEST(ThemeContrast, RatioFollowsWcag) {
    const struct {
        uint32_t a, b;
        double ratio;
    } cases[] = {
        {0x000000, 0xFFFFFF, 21.0},           {0x777777, 0x777777, 1.0},
        {0x797F80, 0x242626, 3.78},  // the grey that was too dim: #807F79 on #262624
        {0x2E4DE5, 0x242626, 3.92},  // and the red: #E54D2E
        {Rgb(0x0090FF), Rgb(0x262624), 4.64},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << c.ratio;
}

TEST(ThemeChoice, HighContrastWinsAndNoValueKeepsDark) {
    const struct {
        bool highContrast;
        std::optional<bool> appsUseLight;
        ThemeKind kind;
    } cases[] = {
        {false, std::nullopt, ThemeKind::kDark}, {false, false, ThemeKind::kDark},
        {false, true, ThemeKind::kLight},        {true, std::nullopt, ThemeKind::kHighContrast},
        {true, true, ThemeKind::kHighContrast},  {true, false, ThemeKind::kHighContrast},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseTheme(c.highContrast, c.appsUseLight), c.kind)
            << c.highContrast << " " << c.appsUseLight.value_or(2);
    }
    EXPECT_EQ(PaletteFor(ThemeKind::kHighContrast, kHighContrastWhite).background, Rgb(0xFFFFFF));
    EXPECT_TRUE(PaletteFor(ThemeKind::kHighContrast, kHighContrastBlack).systemColours);
    EXPECT_EQ(PaletteFor(ThemeKind::kLight, kHighContrastBlack).background,
              LightPalette().background);
    EXPECT_EQ(PaletteFor(ThemeKind::kDark, kHighContrastBlack).background,
              DarkPalette().background);
}

TEST(ThemeChoice, OnlyColourBroadcastsChangeTheTheme) {
    const struct {
        uint32_t message;
        uint64_t wParam;
        std::wstring_view area;
        bool change;
    } cases[] = {
        {kMsgSysColorChange, 0, L"", true},
        {kMsgSettingChange, 0, L"ImmersiveColorSet", true},
        {kMsgSettingChange, kSpiSetHighContrast, L"", true},
        {kMsgSettingChange, 0, L"Environment", false},
        {kMsgSettingChange, 0x002F, L"", false},  // SPI_SETWORKAREA: the taskbar moved
        {kMsgSettingChange, 0, L"immersivecolorset2", false},
        {0x007E, 0, L"ImmersiveColorSet", false},  // WM_DISPLAYCHANGE
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsThemeChange(c.message, c.wParam, c.area), c.change)
            << c.message << " " << c.wParam;
    }
}

}  // namespace
