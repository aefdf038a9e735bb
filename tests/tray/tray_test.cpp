// What the tray shows: the icon's decisions, the number choice, the tooltip and the warnings.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/local_time.h"
#include "tray/limit_warnings.h"
#include "tray/tray_icon.h"
#include "tray/tray_text.h"

namespace {

// The bar's colour changes where the warnings come: amber from 80, red from 95.
TEST(TrayIconLook, NumberFontBarAndColourByValue) {
    struct Case {
        int32_t value;
        bool hasValue;
        const wchar_t* text;
        int font, bar;
        uint32_t color;
    };
    const Case cases[] = {
        {0, false, L"\u2013", -18, 0, kIconGreen}, {0, true, L"0", -18, 0, kIconGreen},
        {69, true, L"69", -18, 16, kIconGreen},    {70, true, L"70", -18, 16, kIconGreen},
        {79, true, L"79", -18, 18, kIconGreen},    {80, true, L"80", -18, 19, kIconAmber},
        {89, true, L"89", -18, 21, kIconAmber},    {90, true, L"90", -18, 21, kIconAmber},
        {94, true, L"94", -18, 22, kIconAmber},    {95, true, L"95", -18, 22, kIconRed},
        {99, true, L"99", -18, 23, kIconRed},      {100, true, L"100", -14, 24, kIconRed},
        {1234, true, L"999", -14, 24, kIconRed},   {-3, true, L"-3", -18, 0, kIconGreen},
    };
    for (const Case& c : cases) {
        const TrayIconLook look = TrayIconLookFor(c.value, c.hasValue);
        EXPECT_EQ(look.text, c.text) << c.value;
        EXPECT_EQ(look.fontHeight, c.font) << c.value;
        EXPECT_EQ(look.barWidth, c.bar) << c.value;
        EXPECT_EQ(look.barColor, c.color) << c.value;
    }
}

TEST(TrayIconGeometry, WholePixelsAtEveryShellSize) {
    struct Case {
        int size, corner;
        IconRect number, track;
        int font, smallFont;
    };
    const Case cases[] = {
        {16, 5, {0, 0, 16, 13}, {2, 13, 14, 15}, 12, 9},
        {20, 6, {0, 0, 20, 16}, {3, 16, 17, 19}, 14, 10},
        {24, 8, {0, 0, 24, 19}, {3, 19, 21, 22}, 15, 12},
        {28, 9, {0, 0, 28, 22}, {4, 22, 24, 26}, 17, 13},
        {32, 10, {0, 0, 32, 24}, {4, 24, 28, 29}, 18, 14},  // the design, as it always was
        {40, 13, {0, 0, 40, 31}, {5, 31, 35, 37}, 23, 18},
        {48, 15, {0, 0, 48, 37}, {6, 37, 42, 44}, 27, 21},
        {4, 10, {0, 0, 32, 24}, {4, 24, 28, 29}, 18, 14},  // nonsense: the design size
    };
    for (const Case& c : cases) {
        const TrayIconGeometry g = TrayIconGeometryFor(c.size);
        EXPECT_EQ(g.cornerDiameter, c.corner) << c.size;
        EXPECT_EQ(g.number, c.number) << c.size;
        EXPECT_EQ(g.track, c.track) << c.size;
        EXPECT_EQ(g.fontHeight, c.font) << c.size;
        EXPECT_EQ(g.smallFontHeight, c.smallFont) << c.size;
    }
}

TEST(TrayIconGeometry, CornersCutAlikeFromEveryEdge) {
    struct Case {
        int size;
        std::vector<int> cuts;  // rows 0, 1, 2, ...; the rest are whole
    };
    const Case cases[] = {{16, {1, 0}}, {20, {2, 1, 0}}, {24, {3, 1, 1, 0}}, {32, {3, 2, 1, 0}}};
    for (const Case& c : cases) {
        const TrayIconGeometry g = TrayIconGeometryFor(c.size);
        for (size_t row = 0; row < c.cuts.size(); ++row) {
            EXPECT_EQ(CornerCut(g, static_cast<int>(row)), c.cuts[row]) << c.size << " row " << row;
            EXPECT_EQ(CornerCut(g, c.size - 1 - static_cast<int>(row)), c.cuts[row]) << c.size;
        }
        EXPECT_EQ(CornerCut(g, c.size / 2), 0) << c.size;
    }
}

TEST(TrayIconLook, BarAndFontFollowTheSize) {
    const TrayIconGeometry small = TrayIconGeometryFor(16);  // a 12-pixel track
    struct Case {
        int32_t value;
        int font, bar;
    };
    const Case cases[] = {{8, -12, 0},  {9, -12, 1},   {69, -12, 8},
                          {99, -12, 11}, {100, -9, 12}, {250, -9, 12}};
    for (const Case& c : cases) {
        const TrayIconLook look = TrayIconLookFor(c.value, true, small);
        EXPECT_EQ(look.fontHeight, c.font) << c.value;
        EXPECT_EQ(look.barWidth, c.bar) << c.value;
    }
    EXPECT_EQ(TrayIconLookFor(0, false, small).fontHeight, -12);
}

UsageSnapshot Snapshot(bool limits, bool active, bool codex, int64_t codexAt = 0, int64_t claudeAt = 0) {
    UsageSnapshot s;
    s.hasUpdate = true;
    if (limits) {
        s.planLimits.hasLimits = true;
        s.planLimits.limits = {{L"5-hour limit", 42.6, 1000 + 2 * 3600 + 300}, {L"Weekly", 10, 0}};
    }
    s.claude.active = active;
    s.claude.percent = 99.7;
    s.claude.current.lastMessageAt = claudeAt;
    s.codex.primary = {codex, 31.5, 300, 1000 + 3 * 86400};
    s.codex.updatedAt = codexAt;
    return s;
}

TEST(TrayNumber, FollowsTheShowSetting) {
    struct Case {
        UsageSnapshot snapshot;
        const wchar_t* show;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {Snapshot(true, false, false), L"codex", std::nullopt},
        {Snapshot(false, false, true), L"claude", 31.5},
        {Snapshot(false, true, false), L"claude", 99.7},
        {Snapshot(true, true, true), L"claude", 42.6},
        {Snapshot(true, false, true, 5, 5), L"auto", 42.6},    // equal times: Claude
        {Snapshot(true, false, true, 6, 5), L"auto", 31.5},    // Codex used last
        {Snapshot(true, false, true, 6, 5), L"xyz", 31.5},     // unknown acts as auto
        {Snapshot(false, false, true, 0, 0), L"auto", 31.5},
        {Snapshot(false, false, false), L"auto", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseTrayPercent(c.snapshot, c.show), c.expected) << c.show;
}

TEST(TrayTooltip, PiecesInOrderEveryPercentRounded) {
    const int64_t now = 1000;
    // 42.6, 31.5 and 99.7 show as the icon and the panel show them.
    EXPECT_EQ(BuildTrayTooltip(Snapshot(true, false, true), now),
              L"Tidewell\nClaude 5-hour: 43%, resets in 2h 05m\nCodex: 32%, resets in 3d 0h");
    EXPECT_EQ(BuildTrayTooltip(Snapshot(false, true, false), now),
              L"Tidewell\nClaude Code: 100% (estimate)");
    EXPECT_EQ(BuildTrayTooltip(Snapshot(true, false, false), now),
              L"Tidewell\nClaude 5-hour: 43%, resets in 2h 05m\nNo active session");
    EXPECT_EQ(BuildTrayTooltip(Snapshot(false, false, false), now), L"Tidewell\nNo active session");
    // A reset already past reads 0m; one not known is not mentioned.
    UsageSnapshot past = Snapshot(true, true, true);
    past.planLimits.limits[0].resetsAt = now - 1;
    past.codex.primary.resetsAt = now;
    EXPECT_EQ(BuildTrayTooltip(past, now),
              L"Tidewell\nClaude 5-hour: 43%, resets in 0m\nCodex: 32%, resets in 0m");
    past.planLimits.limits[0].resetsAt = 0;
    past.codex.primary.resetsAt = 0;
    EXPECT_EQ(BuildTrayTooltip(past, now), L"Tidewell\nClaude 5-hour: 43%\nCodex: 32%");
    // A limit that binds, other than the first, gets a line of its own.
    UsageSnapshot binding = Snapshot(true, false, false);
    binding.planLimits.limits[1].binding = true;
    EXPECT_EQ(BuildTrayTooltip(binding, now),
              L"Tidewell\nClaude 5-hour: 43%, resets in 2h 05m\nWeekly: 10%, binding\nNo active session");
    binding.planLimits.limits = {{L"5-hour limit", 42.6, 0, true}};
    EXPECT_EQ(BuildTrayTooltip(binding, now).find(L"binding"), std::wstring::npos);
    // Extra usage, when on, after the Claude lines.
    binding.planLimits.extra = {true, 1240, 5000, true};
    EXPECT_EQ(BuildTrayTooltip(binding, now),
              L"Tidewell\nClaude 5-hour: 43%\nExtra usage: $12.40 of $50.00\nNo active session");
    // Before the worker's first publish nothing is known yet: not even "No active session".
    EXPECT_EQ(BuildTrayTooltip(UsageSnapshot{}, now), L"Tidewell \u00b7 reading logs\u2026");
}

TEST(TrayPace, RunOutTimeJoinsTooltipLinesAndBalloons) {
    // Three of five hours gone: 60% is on pace, 60.5% runs out just before the reset.
    const int64_t now = 1'800'000'000, reset = now + 2 * 3600;
    UsageSnapshot s = Snapshot(true, false, true);
    s.planLimits.limits[0] = {L"5-hour limit", 60, reset, false, 5 * 3600};
    s.codex.primary = {true, 90, 300, reset};
    const int64_t codexOut = now - 3 * 3600 + 12000;  // 90% in 3 h: 100% after 3 h 20 m
    EXPECT_EQ(BuildTrayTooltip(s, now),
              L"Tidewell\nClaude 5-hour: 60%, resets in 2h 00m\nCodex: 90%, resets in 2h 00m, out at " +
                  FormatLocalClockTime(codexOut));
    s.planLimits.limits[0].percent = 60.5;
    EXPECT_NE(BuildTrayTooltip(s, now).find(L"61%, resets in 2h 00m, out at "), std::wstring::npos);

    WarningTracker tracker;
    const auto balloons = tracker.CheckLimitWarnings(s, 0, now);
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].text,
              L"Resets in 2h 00m. At this pace: out at " + FormatLocalClockTime(codexOut) + L".");
    // A window of unknown length gives no run-out.
    EXPECT_EQ(tracker.WarnIfNeeded(now, L"x", 90, L"X", reset)->text, L"Resets in 2h 00m.");
}

TEST(TrayTooltip, FitsTheShellLessImportantPartsGivingWayFirst) {
    const int64_t now = 1'800'000'000, day = 86400;
    UsageSnapshot s = Snapshot(true, false, true);
    PlanLimits& plan = s.planLimits;
    plan.limits = {{L"5-hour limit", 60.5, now + 2 * 3600, false, 5 * 3600},
                   {L"Weekly \u00b7 All models", 62, now + 3 * day, true, 7 * day}};
    plan.extra = {true, 1240, 5000, true};
    s.codex.primary = {true, 90, 300, now + 2 * 3600};
    // Everything at once would be some 180 characters: the run-out times and the extra usage
    // give way, each tool's headline stays, whole.
    const std::wstring all = BuildTrayTooltip(s, now);
    EXPECT_EQ(all,
              L"Tidewell\nClaude 5-hour: 61%, resets in 2h 00m\n"
              L"Weekly \u00b7 All models: 62%, binding\nCodex: 90%, resets in 2h 00m");
    EXPECT_LE(all.size(), kTooltipMaxChars);
    // Without the binding line, dropping the run-out times is enough: the extra usage stays.
    plan.limits[1].binding = false;
    EXPECT_EQ(BuildTrayTooltip(s, now),
              L"Tidewell\nClaude 5-hour: 61%, resets in 2h 00m\nExtra usage: $12.40 of $50.00\n"
              L"Codex: 90%, resets in 2h 00m");
    // When everything fits, everything shows as it is.
    plan.extra.enabled = false;
    EXPECT_EQ(BuildTrayTooltip(s, now), L"Tidewell\nClaude 5-hour: 61%, resets in 2h 00m, out at " +
                                            FormatLocalClockTime(now - 3 * 3600 + 17851) +
                                            L"\nCodex: 90%, resets in 2h 00m, out at " +
                                            FormatLocalClockTime(now - 3 * 3600 + 12000));
}

TEST(TrayTooltip, ExactlyTheShellsLengthFitsOneMoreGivesWay) {
    const int64_t now = 1000;
    UsageSnapshot s = Snapshot(true, false, false);
    s.planLimits.extra = {true, 1240, 5000, true};
    const auto withLabel = [&](size_t length) {
        s.planLimits.limits = {{std::wstring(length, L'x'), 5, now - 60}};  // reset past: "0m"
        return BuildTrayTooltip(s, now);
    };
    const std::wstring tail =
        L": 5%, resets in 0m\nExtra usage: $12.40 of $50.00\nNo active session";
    const size_t fits = kTooltipMaxChars - (L"Tidewell\nClaude " + tail).size();
    EXPECT_EQ(withLabel(fits), L"Tidewell\nClaude " + std::wstring(fits, L'x') + tail);
    EXPECT_EQ(withLabel(fits).size(), 127u);
    EXPECT_EQ(withLabel(fits + 1), L"Tidewell\nClaude " + std::wstring(fits + 1, L'x') +
                                       L": 5%, resets in 0m\nNo active session");
    // A label too long for any line: that line goes whole, the rest stays.
    s.codex.primary = {true, 31.5, 300, now - 60};
    EXPECT_EQ(withLabel(200), L"Tidewell\nCodex: 32%, resets in 0m");
}

TEST(TrayTooltip, TheFirstLineIsNamedByItsOwnRow) {
    const int64_t now = 1000;
    UsageSnapshot s = Snapshot(true, false, false);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"5-hour limit", L"Claude 5-hour"},
        {L"Weekly \u00b7 All models", L"Claude Weekly"},  // a plan with weekly limits only
        {L"Weekly \u00b7 Opus", L"Claude Weekly \u00b7 Opus"},
    };
    for (const auto& [label, name] : cases) {
        s.planLimits.limits = {{label, 30, now + 3 * 86400, false, 7 * 86400}};
        EXPECT_EQ(BuildTrayTooltip(s, now), L"Tidewell\n" + std::wstring(name) +
                                                L": 30%, resets in 3d 0h\nNo active session");
    }
}

// Due when the shown (rounded) number reaches 80 and 95.
TEST(LimitWarnings, LevelsStartWhereTheShownNumberIs80And95) {
    struct Case {
        double percent;
        const wchar_t* key;  // the level warned, or nothing
    };
    const Case cases[] = {{79.4, nullptr},   {79.5, L"x:80:0"},      {80.0, L"x:80:0"},
                          {94.4, L"x:80:0"}, {94.5, L"x:95:0"},      {95.0, L"x:95:0"},
                          {-80, nullptr},    {std::nan(""), nullptr}};
    for (const Case& c : cases) {
        WarningTracker tracker;
        const bool warned = tracker.WarnIfNeeded(0, L"x", c.percent, L"X", 0).has_value();
        EXPECT_EQ(warned, c.key != nullptr) << c.percent;
        if (c.key) {
            EXPECT_EQ(tracker.shown().count(c.key), 1u) << c.percent;
        }
    }
}

TEST(LimitWarnings, EachLevelOncePerLimitWindow) {
    WarningTracker tracker;
    const int64_t now = 15 * 3600;
    const int64_t reset = 16 * 3600;  // a whole hour
    const auto warn = [&](double percent, int64_t resetsAt) {
        return tracker.WarnIfNeeded(now, L"cl5-hour limit", percent, L"Claude 5-hour limit", resetsAt);
    };
    EXPECT_FALSE(warn(79.49, reset));
    EXPECT_EQ(warn(97, reset), (Balloon{L"Claude 5-hour limit at 97%", L"Resets in 1h 00m."}));
    EXPECT_FALSE(warn(99, reset));
    EXPECT_FALSE(warn(96, reset - 1));  // the same window reported a second early
    EXPECT_FALSE(warn(96, reset + 1));  // or late
    EXPECT_EQ(warn(85, reset)->title, L"Claude 5-hour limit at 85%");  // 80 was never shown
    EXPECT_FALSE(warn(94.4, reset + 2));
    EXPECT_TRUE(warn(99.9, reset + 5 * 3600)->title.ends_with(L"at 100%"));  // next window
    EXPECT_EQ(tracker.shown().count(L"cl5-hour limit:95:96"), 1u);
    // A reset already past reads 0m; with none known the text names the warning instead (the
    // shell shows no balloon without a text).
    EXPECT_EQ(tracker.WarnIfNeeded(now, L"cx", 80, L"Codex", now - 1)->text, L"Resets in 0m.");
    EXPECT_EQ(tracker.WarnIfNeeded(now, L"cc", 80, L"Claude Code session", 0)->text,
              L"Warning at 80%.");
    EXPECT_EQ(tracker.WarnIfNeeded(now, L"cc", 96, L"Claude Code session", 0, 5 * 3600)->text,
              L"Warning at 95%.");
    EXPECT_EQ(tracker.shown().count(L"cc:80:0"), 1u);
}

TEST(LimitWarnings, WatchedLimitsInOrder) {
    UsageSnapshot s = Snapshot(true, true, true);
    s.codex.primary.usedPercent = 83;
    s.codex.secondary = {true, 81, 10080, 0};
    s.planLimits.limits[1].percent = 95;
    s.claude.percent = 90;
    WarningTracker tracker;
    std::vector<std::wstring> titles;
    for (const Balloon& b : tracker.CheckLimitWarnings(s, 1000, 0)) titles.push_back(b.title);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Codex 5-hour window at 83%", L"Codex Weekly at 81%",
                                                 L"Claude Weekly at 95%"}));
    // Without plan limits the log estimate counts, but only with a largest block to measure by.
    s = Snapshot(false, true, false);
    EXPECT_TRUE(WarningTracker().CheckLimitWarnings(s, 0, 0).empty());
    EXPECT_EQ(WarningTracker().CheckLimitWarnings(s, 1000, 0).at(0).title,
              L"Claude Code session at 100%");
}

}  // namespace
