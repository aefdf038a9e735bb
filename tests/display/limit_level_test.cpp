// One number and one level for a percentage in every view: the same values fed to the tray
// icon, the tooltip, the warnings, the panel and the report show the same whole number and
// the same level, and a warning comes exactly when that number reaches 80 or 95.
#include "display/limit_level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "display/display_format.h"
#include "panel/panel_layout.h"
#include "platform/unicode.h"
#include "report/usage_report.h"
#include "tray/limit_warnings.h"
#include "tray/tray_icon.h"
#include "tray/tray_text.h"

namespace {

constexpr int64_t kNow = 1'800'000'000;

TEST(ShownPercent, RoundsHalvesAwayFromZeroAndNeverOverflows) {
    const std::pair<double, int32_t> cases[] = {
        {0.4, 0},
        {0.5, 1},
        {79.4, 79},
        {79.5, 80},
        {94.5, 95},
        {-0.5, -1},
        {-2.4, -2},
        {std::nan(""), 0},
        {1e300, std::numeric_limits<int32_t>::max()},
        {-1e300, std::numeric_limits<int32_t>::min()},
    };
    for (const auto& [percent, shown] : cases)
        EXPECT_EQ(ShownPercent(percent), shown) << percent;
}

TEST(LimitLevel, AmberFrom80RedFrom95OnTheShownNumber) {
    const std::pair<int32_t, LimitLevel> cases[] = {
        {-5, LimitLevel::kNormal},  {0, LimitLevel::kNormal},   {79, LimitLevel::kNormal},
        {80, LimitLevel::kWarning}, {94, LimitLevel::kWarning}, {95, LimitLevel::kDanger},
        {100, LimitLevel::kDanger}, {250, LimitLevel::kDanger},
    };
    for (const auto& [shown, level] : cases)
        EXPECT_EQ(LevelOfShown(shown), level) << shown;
    EXPECT_EQ(LevelOfPercent(79.4), LimitLevel::kNormal);
    EXPECT_EQ(LevelOfPercent(79.5), LimitLevel::kWarning);
    EXPECT_EQ(LevelOfPercent(94.5), LimitLevel::kDanger);
}

// What the panel drew for its one limit row: the percentage's text and colour, and the bar's
// fill colour (0 without a fill).
struct PanelRow {
    std::wstring text;
    uint32_t textColour = 0;
    uint32_t fillColour = 0;
};

struct RowCanvas : Canvas {
    std::wstring percentText;  // the text looked for
    PanelRow row;
    int roundsAfterText = -1;  // the track, then the fill on the track's line
    int32_t trackTop = 0;

    void FillRect(const PanelRect&, uint32_t) override {}
    void FillRoundRect(const PanelRect& rect, uint32_t colour, int32_t) override {
        if (roundsAfterText < 0)
            return;
        if (++roundsAfterText == 1)
            trackTop = rect.top;
        if (roundsAfterText == 2 && rect.top == trackTop)
            row.fillColour = colour;
    }
    void FrameRoundRect(const PanelRect&, uint32_t, int32_t, int32_t) override {}
    void DrawText(std::wstring_view text, const PanelRect&, FontRole, uint32_t colour,
                  TextAlign) override {
        if (text != percentText || roundsAfterText >= 0)
            return;
        row = {std::wstring(text), colour, 0};
        roundsAfterText = 0;
    }
    void DrawGlyph(Glyph, const PanelRect&, uint32_t, TextAlign) override {}
    int32_t TextWidth(std::wstring_view text, FontRole) override {
        return static_cast<int32_t>(text.size()) * 7;
    }
};

PanelRow PanelRowFor(double percent) {
    UsageSnapshot snapshot;
    snapshot.hasUpdate = true;
    snapshot.lastUpdate = kNow;
    snapshot.planLimits.hasLimits = true;
    snapshot.planLimits.fromStatusLine = true;
    snapshot.planLimits.asOf = kNow;
    snapshot.planLimits.limits = {{L"5-hour limit", percent, 0}};
    Settings settings;
    settings.seccodex = false;
    RowCanvas canvas;
    canvas.percentText = FormatPercent(percent);
    PaintPanel(canvas, PanelInputs{snapshot, settings, false, kTargetNone, kNow}, 330, false);
    return canvas.row;
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

TEST(LimitLevel, EveryViewShowsTheSameNumberAndLevel) {
    struct Case {
        double percent;
        int32_t shown;
        LimitLevel level;
    };
    const Case cases[] = {
        {0, 0, LimitLevel::kNormal},
        {0.4, 0, LimitLevel::kNormal},
        {79.4, 79, LimitLevel::kNormal},
        {79.5, 80, LimitLevel::kWarning},
        {79.6, 80, LimitLevel::kWarning},
        {80, 80, LimitLevel::kWarning},
        {94.4, 94, LimitLevel::kWarning},
        {94.5, 95, LimitLevel::kDanger},
        {94.6, 95, LimitLevel::kDanger},
        {95, 95, LimitLevel::kDanger},
        {99.5, 100, LimitLevel::kDanger},
        {100, 100, LimitLevel::kDanger},
        {std::nan(""), 0, LimitLevel::kNormal},
        {-3, -3, LimitLevel::kNormal},
    };
    const auto iconColour = [](LimitLevel level) {
        return level == LimitLevel::kDanger    ? kIconRed
               : level == LimitLevel::kWarning ? kIconAmber
                                               : kIconGreen;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(ShownPercent(c.percent), c.shown);
        EXPECT_EQ(LevelOfPercent(c.percent), c.level);
        const std::wstring number = std::to_wstring(c.shown) + L"%";

        // The tray icon: the number the program hands it, its bar's colour.
        const TrayIconLook look = TrayIconLookFor(ShownPercent(c.percent), true);
        EXPECT_EQ(look.text, std::to_wstring(c.shown));
        EXPECT_EQ(look.barColor, iconColour(c.level));

        // The tooltip: a plan limit, the log estimate and Codex.
        UsageSnapshot s;
        s.hasUpdate = true;
        s.planLimits.hasLimits = true;
        s.planLimits.limits = {{L"5-hour limit", c.percent, kNow + 3600}};
        s.codex.primary = {true, c.percent, 300, kNow + 3600};
        const std::wstring tip = BuildTrayTooltip(s, kNow);
        EXPECT_TRUE(Contains(tip, L"Claude 5-hour: " + number + L",")) << tip;
        EXPECT_TRUE(Contains(tip, L"Codex: " + number + L",")) << tip;
        UsageSnapshot estimate;
        estimate.hasUpdate = true;
        estimate.claude.active = true;
        estimate.claude.percent = c.percent;
        EXPECT_TRUE(Contains(BuildTrayTooltip(estimate, kNow), L"Claude Code: " + number))
            << BuildTrayTooltip(estimate, kNow);

        // The warnings: due exactly when the shown number reaches 80 or 95, titled with it.
        WarningTracker tracker;
        const std::optional<Balloon> balloon =
            tracker.WarnIfNeeded(kNow, L"x", c.percent, L"X", kNow + 3600);
        EXPECT_EQ(balloon.has_value(), c.level != LimitLevel::kNormal);
        if (balloon) {
            EXPECT_EQ(balloon->title, L"X at " + number);
        }
        const std::wstring key = L"x:" +
                                 std::wstring(c.level == LimitLevel::kDanger ? L"95" : L"80") +
                                 L":" + std::to_wstring(ResetBucket(kNow + 3600));
        EXPECT_EQ(tracker.shown().count(key), c.level != LimitLevel::kNormal ? 1u : 0u);

        // The panel: the row's percentage and the colours of its text and bar.
        const PanelRow row = PanelRowFor(c.percent);
        EXPECT_EQ(row.text, number);
        EXPECT_EQ(row.textColour, c.level == LimitLevel::kDanger    ? palette::kDanger
                                  : c.level == LimitLevel::kWarning ? palette::kAmber
                                                                    : palette::kText);
        if (c.shown > 0) {
            EXPECT_EQ(row.fillColour, c.level == LimitLevel::kDanger    ? palette::kDanger
                                      : c.level == LimitLevel::kWarning ? palette::kAmber
                                                                        : palette::kBlue);
        } else {
            EXPECT_EQ(row.fillColour, 0u);  // nothing shown, no fill
        }

        // The report's Codex line.
        UsageSnapshot codex;
        codex.codex.primary = {true, c.percent, 300, kNow + 3600};
        const std::string page =
            BuildUsageReport(codex, kNow, [](int64_t) { return LocalDateTime{}; });
        EXPECT_NE(page.find("5-hour window: " + WideToUtf8(number) + ", resets in"),
                  std::string::npos);
    }
}

// With no known reset (0) no view speaks of a reset; one already past still reads "0m".
TEST(LimitLevel, NoKnownResetIsNotMentionedAnywhere) {
    UsageSnapshot s;
    s.hasUpdate = true;
    s.planLimits.hasLimits = true;
    s.planLimits.limits = {{L"5-hour limit", 85, 0}};
    s.codex.primary = {true, 85, 300, 0};
    const std::wstring tip = BuildTrayTooltip(s, kNow);
    EXPECT_EQ(tip, L"Tidewell\nClaude 5-hour: 85%\nCodex: 85%");
    const std::vector<Balloon> balloons = WarningTracker().CheckLimitWarnings(s, 0, kNow);
    ASSERT_EQ(balloons.size(), 2u);
    for (const Balloon& balloon : balloons) {
        EXPECT_EQ(balloon.text, L"Warning at 80%.");
        EXPECT_FALSE(balloon.text.empty());  // the shell shows no balloon without a text
    }
    const auto toLocal = [](int64_t) { return LocalDateTime{}; };
    const std::string page = BuildUsageReport(s, kNow, toLocal);
    EXPECT_NE(page.find("5-hour window: 85%.</p>"), std::string::npos);
    EXPECT_EQ(page.find("resets in"), std::string::npos);
    s.codex.primary.resetsAt = kNow - 1;
    EXPECT_NE(BuildUsageReport(s, kNow, toLocal).find("5-hour window: 85%, resets in 0m."),
              std::string::npos);
}

}  // namespace
