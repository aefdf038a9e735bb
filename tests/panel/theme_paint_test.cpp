// The painter in each theme: every colour from the theme's palette, high contrast's outlines,
// highlight and level marks, the switches' outlines.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "panel/panel_layout.h"

namespace {

constexpr int64_t kNow = 1'800'000'000;

struct Recording : Canvas {
    struct Op {
        std::string kind;  // "fill", "round", "frame", "text", "glyph"
        PanelRect rect;
        uint32_t colour;
        std::wstring text;
    };
    std::vector<Op> ops;
    void FillRect(const PanelRect& r, uint32_t c) override { ops.push_back({"fill", r, c, {}}); }
    void FillRoundRect(const PanelRect& r, uint32_t c, int32_t) override {
        ops.push_back({"round", r, c, {}});
    }
    void FrameRoundRect(const PanelRect& r, uint32_t c, int32_t, int32_t) override {
        ops.push_back({"frame", r, c, {}});
    }
    void DrawText(std::wstring_view t, const PanelRect& r, FontRole, uint32_t c,
                  TextAlign) override {
        ops.push_back({"text", r, c, std::wstring(t)});
    }
    void DrawGlyph(Glyph g, const PanelRect& r, uint32_t c, TextAlign) override {
        ops.push_back({"glyph", r, c, std::to_wstring(static_cast<int>(g))});
    }
    int32_t TextWidth(std::wstring_view t, FontRole) override {
        return static_cast<int32_t>(t.size()) * 7;
    }
    const Op* Text(const std::wstring& text) const {
        for (const Op& op : ops) {
            if (op.kind == "text" && op.text == text)
                return &op;
        }
        return nullptr;
    }
    // The ops drawn inside `rect` (a control's fill, outline and text).
    std::vector<Op> Within(const PanelRect& rect) const {
        std::vector<Op> found;
        for (const Op& op : ops) {
            if (op.rect.left >= rect.left && op.rect.right <= rect.right &&
                op.rect.top >= rect.top && op.rect.bottom <= rect.bottom)
                found.push_back(op);
        }
        return found;
    }
};

constexpr uint32_t Rgb(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
constexpr SystemColours kBlack{Rgb(0x000000), Rgb(0xFFFFFF), Rgb(0x1AEBFF), Rgb(0x000000),
                               Rgb(0xFFFF00), Rgb(0x3FF23F), Rgb(0x000000), Rgb(0xFFFFFF)};

UsageSnapshot Snapshot(double percent) {
    UsageSnapshot s;
    s.planLimits.hasLimits = true;
    s.planLimits.fromStatusLine = true;
    s.planLimits.limits = {{L"5-hour limit", percent, 0}};
    s.planLimits.asOf = kNow;
    s.hasUpdate = true;
    s.lastUpdate = kNow;
    return s;
}

struct Page {
    UsageSnapshot snapshot = Snapshot(42);
    Settings settings;
    bool settingsPage = false;
    int32_t hovered = kTargetNone;
    Palette palette = DarkPalette();

    Recording Draw() const {
        PanelInputs inputs{snapshot, settings, settingsPage, hovered, kNow};
        inputs.statusLineState = kOwnStatusLine;
        inputs.palette = palette;
        Recording canvas;
        last = PaintPanel(canvas, inputs, 330, false);
        return canvas;
    }
    PanelRect Rect(int32_t id) const { return FindTarget(last, id)->rect; }
    mutable PanelLayout last;
};

std::set<uint32_t> ColoursOf(const Palette& p) {
    return {p.background,     p.raised,        p.hover,      p.track,     p.divider,
            p.text,           p.hoverLight,    p.ink,        p.muted,     p.dim,
            p.blue,           p.amber,         p.danger,     p.link,      p.controlEdge,
            p.switchOffTrack, p.switchOffEdge, p.knobOn,     p.knobOff,   p.focusOuter,
            p.focusInner,     p.buttonFace,    p.buttonText, p.highlight, p.highlightText};
}

// A colour left fixed in the painter would show in the wrong theme.
TEST(ThemePaint, EveryColourComesFromThePalette) {
    const struct {
        const char* name;
        Palette palette;
    } themes[] = {{"light", LightPalette()}, {"high contrast", HighContrastPalette(kBlack)}};
    for (const auto& theme : themes) {
        const std::set<uint32_t> allowed = ColoursOf(theme.palette);
        for (const bool settingsPage : {false, true}) {
            for (const double percent : {42.0, 85.0, 97.0}) {
                Page page;
                page.snapshot = Snapshot(percent);
                page.settingsPage = settingsPage;
                page.settings.pinned = true;
                page.palette = theme.palette;
                for (const Recording::Op& op : page.Draw().ops) {
                    EXPECT_TRUE(allowed.count(op.colour))
                        << theme.name << " " << op.kind << " " << std::hex << op.colour;
                }
            }
        }
    }
}

// With the system's colours the level is marked beside the percentage, on each side of the
// shown number's 80 and 95; the dark theme keeps its colours alone.
TEST(ThemePaint, HighContrastMarksTheLevel) {
    const struct {
        double percent;
        const wchar_t* mark;  // nullptr: none
    } cases[] = {
        {79.4, nullptr}, {79.5, L"!"}, {94.4, L"!"}, {94.5, L"!!"}, {150, L"!!"}, {0, nullptr},
    };
    for (const auto& c : cases) {
        Page page;
        page.snapshot = Snapshot(c.percent);
        page.palette = HighContrastPalette(kBlack);
        const Recording canvas = page.Draw();
        const bool one = canvas.Text(L"!") != nullptr, two = canvas.Text(L"!!") != nullptr;
        EXPECT_EQ(one, c.mark && std::wstring(c.mark) == L"!") << c.percent;
        EXPECT_EQ(two, c.mark && std::wstring(c.mark) == L"!!") << c.percent;
        if (c.mark) {  // in the gap left of the percentage, in the text colour
            const Recording::Op* mark = canvas.Text(c.mark);
            EXPECT_LE(mark->rect.right, 314 - 7 * 3);
            EXPECT_EQ(mark->colour, kBlack.windowText);
        }
        Page dark = page;
        dark.palette = DarkPalette();
        EXPECT_EQ(dark.Draw().Text(L"!!"), nullptr);
    }
}

// In high contrast every button is a button face with an outline in the button text colour; the
// one under the mouse is in the highlight colours; so is the chosen segment.
TEST(ThemePaint, HighContrastOutlinesButtonsAndHighlightsHoverAndChoice) {
    Page page;
    page.palette = HighContrastPalette(kBlack);
    const struct {
        int32_t hovered;
        int32_t id;
        bool settingsPage;
        uint32_t fill, edge, text;
    } cases[] = {
        {kTargetNone, kTargetSettings, false, kBlack.buttonFace, kBlack.buttonText,
         kBlack.buttonText},
        {kTargetNone, kTargetReport, false, kBlack.buttonFace, kBlack.buttonText,
         kBlack.buttonText},
        {kTargetSettings, kTargetSettings, false, kBlack.highlight, 0, kBlack.highlightText},
        {kTargetNone, kTargetNormal, true, kBlack.highlight, 0, kBlack.highlightText},
        {kTargetNone, kTargetCompact, true, kBlack.buttonFace, kBlack.buttonText,
         kBlack.buttonText},
        {kTargetCompact, kTargetCompact, true, kBlack.highlight, 0, kBlack.highlightText},
    };
    for (const auto& c : cases) {
        page.hovered = c.hovered;
        page.settingsPage = c.settingsPage;
        const Recording canvas = page.Draw();
        const std::vector<Recording::Op> ops = canvas.Within(page.Rect(c.id));
        ASSERT_GE(ops.size(), 2u) << c.id;
        EXPECT_EQ(ops[0].kind, "round") << c.id;
        EXPECT_EQ(ops[0].colour, c.fill) << c.id;
        const bool edged = ops[1].kind == "frame";
        EXPECT_EQ(edged, c.edge != 0) << c.id;
        if (edged) {
            EXPECT_EQ(ops[1].colour, c.edge) << c.id;
        }
        EXPECT_EQ(ops.back().kind, "text") << c.id;
        EXPECT_EQ(ops.back().colour, c.text) << c.id;
    }
}

// A switch that is off is told from the window by its outline; one that is on by the accent.
// A raised button has its outline; a light one needs none.
TEST(ThemePaint, OutlinesWhereTheFillDoesNotStandOut) {
    for (const Palette& p : {DarkPalette(), LightPalette()}) {
        Page page;
        page.palette = p;
        page.settingsPage = true;
        page.settings.seccodex = false;
        Recording canvas = page.Draw();
        const auto ops = [&](int32_t id) { return canvas.Within(page.Rect(id)); };
        const std::vector<Recording::Op> off = ops(kTargetCodexSection);
        const std::vector<Recording::Op> on = ops(kTargetClaudeSection);
        // label, track, its outline when off, knob
        ASSERT_EQ(off.size(), 4u);
        EXPECT_EQ(off[1].colour, p.switchOffTrack);
        EXPECT_EQ(off[2].kind, "frame");
        EXPECT_EQ(off[2].colour, p.switchOffEdge);
        EXPECT_EQ(off[3].colour, p.knobOff);
        ASSERT_EQ(on.size(), 3u);
        EXPECT_EQ(on[1].colour, p.blue);
        EXPECT_EQ(on[2].colour, p.knobOn);
        const std::vector<Recording::Op> quit = ops(kTargetQuit);
        ASSERT_EQ(quit.size(), 3u);
        EXPECT_EQ(quit[1].kind, "frame");
        EXPECT_EQ(quit[1].colour, p.controlEdge);
        const std::vector<Recording::Op> back = ops(kTargetBack);
        ASSERT_EQ(back.size(), 2u) << "fill and text";
    }
}

// The pinned pin keeps its glyph readable under the mouse: dark ink would vanish on the dark
// hover fill.
TEST(ThemePaint, HoveredPinnedPinTurnsItsGlyphLight) {
    for (const int32_t hovered : {kTargetNone, kTargetPin}) {
        Page page;
        page.settings.pinned = true;
        page.hovered = hovered;
        const Recording canvas = page.Draw();
        const std::vector<Recording::Op> pin = canvas.Within(page.Rect(kTargetPin));
        ASSERT_EQ(pin.size(), 2u);
        EXPECT_EQ(pin[0].colour, hovered ? palette::kHover : palette::kAmber);
        EXPECT_EQ(pin[1].colour, hovered ? palette::kText : palette::kInk);
    }
}

}  // namespace
