#pragma once

#include <cstdint>

// The panel's look: how lengths scale, its colours and its font roles. Every length in the
// panel is a design length at 96 DPI and the Normal size, turned into device pixels by
// PanelScale.

// Design lengths to device pixels for one DPI and panel size.
struct PanelScale {
    float dpiScale = 1.0f;  // the window's DPI / 96
    int32_t size = 1;       // 0 Compact, 1 Normal, 2 Large; other values act as Normal

    // round(v x dpiScale x size factor) in single precision, halves away from zero.
    int32_t operator()(int32_t v) const;
};

// The dark theme's colours as Windows COLORREF values (0x00BBGGRR); panel_theme.h has them
// all, for every theme.
namespace palette {
inline constexpr uint32_t kBackground = 0x242626;
inline constexpr uint32_t kRaised = 0x303334;
inline constexpr uint32_t kHover = 0x3B3F40;
inline constexpr uint32_t kTrack = 0x3D4142;
inline constexpr uint32_t kDivider = 0x35393A;
inline constexpr uint32_t kText = 0xF0F4F5;
inline constexpr uint32_t kHoverLight = 0xDAE0E1;
inline constexpr uint32_t kInk = 0x1C2021;
inline constexpr uint32_t kMuted = 0xA3AAAB;
inline constexpr uint32_t kDim = 0x878D8E;
inline constexpr uint32_t kBlue = 0xFF9000;
inline constexpr uint32_t kAmber = 0x3DC5FF;
inline constexpr uint32_t kDanger = 0x4662E8;
inline constexpr uint32_t kControlEdge = 0x6C7375;
inline constexpr uint32_t kSwitchOffEdge = 0x838B8D;
inline constexpr uint32_t kKnobOn = 0xFFFFFF;
}  // namespace palette

enum class FontRole {
    kTitle,
    kTitleStrong,
    kRowLabel,
    kSmall,
    kSmallStrong,
    kCaption,
    kIcon,
    kButton
};
inline constexpr int kFontRoleCount = 8;

// A font role's character height in design pixels, its weight, and whether it is the glyph font.
struct FontStyle {
    int32_t size;
    int32_t weight;
    bool glyphs;
};
FontStyle FontStyleOf(FontRole role);

// The face and the weight to create a text font with: the embedded Geist faces picked by weight
// (created at 400) when they were registered, otherwise "Segoe UI" at the weight itself.
struct FontFace {
    const wchar_t* name;
    int32_t weight;
};
FontFace TextFontFace(int32_t weight, bool geistAvailable);
