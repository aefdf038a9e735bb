// The panel's layout through a recording canvas: sizes, targets, texts and colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "panel/panel_layout.h"
#include "panel/panel_placement.h"
#include "platform/local_time.h"

namespace {

constexpr int64_t kNow = 1'800'000'000;

// Records what the painter draws; every character is 7 pixels wide.
struct RecordingCanvas : Canvas {
    struct Op {
        std::string kind;  // "fill", "round", "frame", "text", "glyph"
        PanelRect rect;
        uint32_t colour = 0;
        std::wstring text;
        TextAlign align = TextAlign::kLeft;
    };
    std::vector<Op> ops;

    void FillRect(const PanelRect& rect, uint32_t colour) override {
        ops.push_back({"fill", rect, colour, {}});
    }
    void FillRoundRect(const PanelRect& rect, uint32_t colour, int32_t) override {
        ops.push_back({"round", rect, colour, {}});
    }
    void FrameRoundRect(const PanelRect& rect, uint32_t colour, int32_t, int32_t) override {
        ops.push_back({"frame", rect, colour, {}});
    }
    void DrawText(std::wstring_view text, const PanelRect& rect, FontRole, uint32_t colour,
                  TextAlign align) override {
        ops.push_back({"text", rect, colour, std::wstring(text), align});
    }
    void DrawGlyph(Glyph glyph, const PanelRect& rect, uint32_t colour, TextAlign) override {
        ops.push_back({"glyph", rect, colour, std::to_wstring(static_cast<int>(glyph))});
    }
    int32_t TextWidth(std::wstring_view text, FontRole) override {
        return static_cast<int32_t>(text.size()) * 7;
    }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const Op& op : ops) {
            if (op.kind == "text") texts.push_back(op.text);
        }
        return texts;
    }
    const Op* TextOp(const std::wstring& text) const {
        for (const Op& op : ops) {
            if (op.kind == "text" && op.text == text) return &op;
        }
        return nullptr;
    }
};

// A full main page: two status-line rows, both Codex windows, fresh data.
UsageSnapshot LiveSnapshot() {
    UsageSnapshot s;
    s.planLimits.hasLimits = true;
    s.planLimits.fromStatusLine = true;
    s.planLimits.plan = L"Max";
    s.planLimits.limits = {{L"5-hour limit", 42.6, kNow + 3600},
                           {L"Weekly \u00b7 All models", 12, 0}};
    s.planLimits.asOf = kNow;
    s.codex.found = true;
    s.codex.primary = {true, 31.5, 300, kNow + 7200};
    s.codex.secondary = {true, 80, 10080, 0};
    s.claude.found = true;
    s.claude.sources = {{L"Windows ~/.claude", 1204, false}, {L"Ubuntu (WSL)", 0, true}};
    s.codex.sources = {{L"Windows ~/.codex", 0, false}};  // gave nothing: not listed
    s.hasUpdate = true;
    s.lastUpdate = kNow - 30;
    return s;
}

struct Scene {
    UsageSnapshot snapshot = LiveSnapshot();
    Settings settings;
    bool settingsPage = false;
    float dpi = 1.0f;
    StatusLineState statusLine = kNoStatusLine;
    int32_t hovered = kTargetNone;
    int32_t focused = kTargetNone;
    std::wstring dataFolder = L"C:\\Users\\me\\AppData\\Roaming\\Tidewell";

    PanelInputs Inputs() const {
        return {snapshot, settings,   settingsPage, hovered, kNow,
                dpi,      statusLine, false,        focused, dataFolder};
    }
    int32_t Width() const { return PanelScale{dpi, settings.size}(330); }
    PanelLayout Measure() const {
        RecordingCanvas unused;
        return PaintPanel(unused, Inputs(), Width(), true);
    }
    PanelLayout Draw(RecordingCanvas& canvas) const {
        return PaintPanel(canvas, Inputs(), Width(), false);
    }
};

TEST(PanelScale, RoundsSinglePrecisionHalvesAwayFromZero) {
    struct Case {
        float dpi;
        int32_t size, v, expected;
    };
    const Case cases[] = {
        {1.0f, 0, 330, 290},  {1.0f, 1, 330, 330}, {1.0f, 2, 330, 376}, {1.0f, 7, 330, 330},
        {1.0f, 0, 16, 14},    {1.0f, 2, 16, 18},   {1.0f, 0, 42, 37},   {1.0f, 2, 42, 48},
        {1.0f, 0, 1, 1},      {1.0f, 2, 2, 2},     {1.5f, 1, 1, 2},     {1.5f, 1, 9, 14},
        {1.25f, 1, 330, 413},
    };
    for (const Case& c : cases) {
        EXPECT_EQ((PanelScale{c.dpi, c.size}(c.v)), c.expected)
            << c.dpi << " " << c.size << " " << c.v;
    }
}

TEST(PanelFonts, GeistFacesByWeightOrSegoeUi) {
    const std::tuple<int32_t, bool, std::wstring, int32_t> cases[] = {
        {600, true, L"Geist SemiBold", 400}, {499, true, L"Geist", 400},
        {500, true, L"Geist Medium", 400},   {700, true, L"Geist Medium", 400},
        {600, false, L"Segoe UI", 600},      {400, false, L"Segoe UI", 400},
    };
    for (const auto& [weight, geist, face, created] : cases) {
        const FontFace font = TextFontFace(weight, geist);
        EXPECT_EQ(font.name, face) << weight << geist;
        EXPECT_EQ(font.weight, created) << weight << geist;
    }
}

TEST(PanelLayout, HeightsOfBothPagesAndBothPassesAgree) {
    Scene live;
    Scene first;
    first.snapshot = {};
    Scene stale = live;
    stale.snapshot.planLimits.fromStatusLine = false;
    stale.snapshot.planLimits.asOf = kNow - 960;
    Scene staleConnected = stale;
    staleConnected.statusLine = kOwnStatusLine;
    Scene hidden = live;
    hidden.settings.secclaude = hidden.settings.seccodex = false;
    Scene settings = live;
    settings.settingsPage = true;
    Scene estimate = first;
    estimate.snapshot.planLimits.message = L"429";
    estimate.snapshot.planLimits.status = FetchStatus::kRateLimited;
    estimate.snapshot.claude = {true, true, {}, {}, {}, 55, {}};
    estimate.snapshot.codex.found = true;
    Scene compact = live;
    compact.settings.size = 0;
    Scene large144 = settings;
    large144.settings.size = 2;
    large144.dpi = 1.5f;

    const std::pair<Scene*, int32_t> cases[] = {
        {&live, 338},
        {&first, 256},
        {&stale, 338 + 24 + 38},
        {&staleConnected, 338 + 24},
        {&hidden, 44 + 1 + 24 + 4 + 42 + 26},
        // the sources: a heading and two lines; the history: a heading and the folder's row
        {&settings, 501 + 28 + 2 * 20 + 28 + 48},
        // the 429 message, the estimate row without a bar (no largest window yet), no Codex data
        {&estimate, 44 + (1 + 26 + 24 + 28 + 38) + (1 + 26 + 24) + 72},
        // each term scaled on its own: 12+26 header, rows 37, heading 23, footer 4+7+30+23
        {&compact, 12 + 26 + 2 * (1 + 23 + 37 + 37) + 4 + 7 + 30 + 23},
        // 1.71: 24+51, separator 2, caption 48, segments 62, switches 62, source lines 34,
        // the folder's row 82, footer 14+58+24
        {&large144, 24 + 51 + 2 + 2 * (48 + 62) + (48 + 2 * 62) + (48 + 4 * 62) + (48 + 2 * 34) +
                        (48 + 82) + 14 + 58 + 24},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [scene, height] = cases[i];
        const PanelLayout measured = scene->Measure();
        RecordingCanvas canvas;
        const PanelLayout drawn = scene->Draw(canvas);
        EXPECT_EQ(measured.height, height) << i;
        EXPECT_EQ(drawn.height, measured.height);
        EXPECT_EQ(drawn.headerBottom, measured.headerBottom);
        EXPECT_EQ(drawn.targets, measured.targets);
    }
}

std::vector<int32_t> Ids(const PanelLayout& layout) {
    std::vector<int32_t> ids;
    for (const PanelHitTarget& target : layout.targets) ids.push_back(target.id);
    return ids;
}

TEST(PanelLayout, TargetsAndTheirPlaces) {
    Scene live;
    const PanelLayout main = live.Measure();
    EXPECT_EQ(Ids(main), (std::vector<int32_t>{4, 5, 1, 2, 3}));
    EXPECT_EQ(main.targets[0].rect, (PanelRect{258, 12, 284, 38}));
    EXPECT_EQ(main.targets[1].rect, (PanelRect{288, 12, 314, 38}));
    EXPECT_EQ(main.targets[2].rect, (PanelRect{16, 270, 161, 304}));
    EXPECT_EQ(main.targets[3].rect, (PanelRect{169, 270, 314, 304}));
    EXPECT_EQ(main.targets[4].rect, (PanelRect{257, 311, 322, 331}));  // "Refresh": its text ends at 314
    EXPECT_EQ(main.headerBottom, 44);

    Scene first;
    first.snapshot = {};
    const PanelLayout offer = first.Measure();
    EXPECT_EQ(Ids(offer), (std::vector<int32_t>{4, 5, 40, 1, 2, 3}));
    EXPECT_EQ(offer.targets[2].rect, (PanelRect{16, 95, 314, 125}));

    Scene settings;
    settings.settingsPage = true;
    const PanelLayout page = settings.Measure();
    EXPECT_EQ(Ids(page),
              (std::vector<int32_t>{4, 5, 7, 8, 9, 41, 42, 43, 10, 11, 40, 12, 13, 14, 45, 6, 17}));
    EXPECT_EQ(page.targets[2].rect, (PanelRect{16, 73, 111, 103}));  // segment width (298-12)/3
    EXPECT_EQ(page.targets[4].rect, (PanelRect{218, 73, 313, 103}));
    EXPECT_EQ(page.targets[8].rect, (PanelRect{10, 201, 320, 235}));  // switch rows reach past x
    EXPECT_EQ(page.targets[14].rect, (PanelRect{10, 541, 320, 585}));  // the history folder
    EXPECT_EQ(page.targets[15].rect, (PanelRect{16, 597, 161, 631}));
    RecordingCanvas canvas;
    settings.Draw(canvas);
    const auto texts = canvas.Texts();
    const auto sources = std::find(texts.begin(), texts.end(), L"SOURCES");
    ASSERT_NE(sources, texts.end());
    EXPECT_EQ(std::vector<std::wstring>(sources + 1, sources + 5),
              (std::vector<std::wstring>{L"Windows ~/.claude", L"1,204 files", L"Ubuntu (WSL)",
                                         L"stopped, not read"}));

    // Clicks take the first target, hover the last; the header's free area drags the panel.
    EXPECT_EQ(ClickTargetAt(main, 258, 12), kTargetPin);
    EXPECT_EQ(ClickTargetAt(main, 284, 12), kTargetNone);  // right edges are outside
    EXPECT_EQ(HoverTargetAt(main, 300, 37), kTargetClose);
    EXPECT_TRUE(IsDragHandle(main, 100, 20));
    EXPECT_FALSE(IsDragHandle(main, 260, 20));
    EXPECT_FALSE(IsDragHandle(main, 100, 44));
}

// The texts of the header's title and of the Claude section (up to "CODEX" or the footer),
// then the update line: what the data's state decides.
std::vector<std::wstring> StateTexts(const Scene& scene) {
    RecordingCanvas canvas;
    scene.Draw(canvas);
    std::vector<std::wstring> texts;
    bool inClaude = false;
    for (const std::wstring& text : canvas.Texts()) {
        if (text == L"CODEX" || text == L"Settings") inClaude = false;
        if (texts.size() < 2 || inClaude || text.starts_with(L"Updated") ||
            text.starts_with(L"Reading")) {
            if (!text.starts_with(L"Resets "))
                texts.push_back(text);  // the clock time is local
        }
        if (text == L"CLAUDE") inClaude = true;
    }
    return texts;
}

TEST(PanelLayout, StateMessagesAndTitles) {
    Scene first;
    first.snapshot = {};
    Scene at900;
    at900.snapshot.planLimits.fromStatusLine = false;
    at900.snapshot.planLimits.asOf = kNow - 900;
    at900.snapshot.lastUpdate = kNow - 59;
    Scene at901 = at900;
    at901.snapshot.planLimits.asOf = kNow - 901;
    at901.snapshot.lastUpdate = kNow - 60;
    Scene offline = first;
    offline.snapshot.planLimits.plan = L"Max";  // no limits: no plan beside the title
    offline.snapshot.planLimits.message = L"Offline: can't reach Anthropic";
    offline.snapshot.claude.found = true;
    offline.snapshot.hasUpdate = true;
    offline.snapshot.lastUpdate = kNow;

    using Texts = std::vector<std::wstring>;
    const std::pair<Scene*, Texts> cases[] = {
        {&first,  // before the first figures: reading, not "No Codex logs on this computer"
         {L"Usage limits", L"CLAUDE", L"Checking your plan limits\u2026",
          L"Connect to Claude Code for live limits", L"Reading Codex logs\u2026", L"Reading\u2026"}},
        {&at900,
         {L"Usage limits", L" \u00b7 Max", L"5-hour limit", L"43%", L"Weekly \u00b7 All models",
          L"12%", L"", L"Connect to Claude Code for live limits", L"Updated just now"}},
        {&at901,
         {L"Usage limits", L" \u00b7 Max", L"5-hour limit", L"43%", L"Weekly \u00b7 All models",
          L"12%", L"", L"Plan limits from 15m ago", L"Connect to Claude Code for live limits",
          L"Updated 1m ago"}},
        {&offline,
         {L"Usage limits", L"CLAUDE", L"Offline: can't reach Anthropic",
          L"No Claude Code activity in the last 5 hours", L"Connect to Claude Code for live limits",
          L"Updated just now"}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(StateTexts(*cases[i].first), cases[i].second) << i;
    }

    // The settings page: its own title, and an unknown `show` selects no segment (only "Normal",
    // the size, is filled with Text).
    Scene settings;
    settings.settingsPage = true;
    settings.settings.show = L"other";
    RecordingCanvas canvas;
    settings.Draw(canvas);
    EXPECT_EQ(canvas.Texts().front(), L"Settings");
    int lightSegments = 0;
    for (const RecordingCanvas::Op& op : canvas.ops) {
        lightSegments +=
            op.kind == "round" && op.colour == palette::kText && op.rect.bottom - op.rect.top == 30;
    }
    EXPECT_EQ(lightSegments, 1);
}

// The selected segment is filled on its own button, for each choice of both groups.
TEST(PanelLayout, TheSelectedSegmentIsTheChosenOne) {
    const std::pair<const wchar_t*, int32_t> shows[] = {
        {L"auto", kTargetShowAuto}, {L"claude", kTargetShowClaude}, {L"codex", kTargetShowCodex}};
    const int32_t sizes[] = {kTargetCompact, kTargetNormal, kTargetLarge};
    for (const auto& [show, showTarget] : shows) {
        for (int32_t size = 0; size < 3; ++size) {
            Scene scene;
            scene.settingsPage = true;
            scene.settings.show = show;
            scene.settings.size = size;
            RecordingCanvas canvas;
            const PanelLayout layout = scene.Draw(canvas);
            std::vector<PanelRect> filled;
            for (const RecordingCanvas::Op& op : canvas.ops) {
                if (op.kind == "round" && op.colour == palette::kText) filled.push_back(op.rect);
            }
            std::vector<PanelRect> expected;
            for (const PanelHitTarget& target : layout.targets) {
                if (target.id == showTarget || target.id == sizes[size]) expected.push_back(target.rect);
            }
            EXPECT_EQ(expected.size(), 2u);
            // The knobs of the switches are light too; the segments come first.
            ASSERT_GE(filled.size(), 2u);
            filled.resize(2);
            EXPECT_EQ(filled, expected) << show << " " << size;
        }
    }
}

// The limit that binds carries the tag right after its label, in amber; the others none.
TEST(PanelLayout, TheBindingRowIsTagged) {
    Scene scene;
    scene.snapshot.planLimits.limits[1].binding = true;
    RecordingCanvas canvas;
    scene.Draw(canvas);
    std::vector<const RecordingCanvas::Op*> tags, labels;
    for (const RecordingCanvas::Op& op : canvas.ops) {
        if (op.text == L"binding") tags.push_back(&op);
        if (op.text == L"Weekly \u00b7 All models") labels.push_back(&op);
    }
    ASSERT_EQ(tags.size(), 1u);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(tags[0]->colour, palette::kAmber);
    EXPECT_EQ(tags[0]->rect.top, labels[0]->rect.top);
    EXPECT_GT(tags[0]->rect.left, labels[0]->rect.left);

    // Extra usage, when on, is one more line of the section, after the limits.
    scene.snapshot.planLimits.extra = {true, 1240, 0, false};
    RecordingCanvas withExtra;
    scene.Draw(withExtra);
    const std::vector<std::wstring> texts = withExtra.Texts();
    const auto extra = std::find(texts.begin(), texts.end(), L"Extra usage");
    ASSERT_NE(extra, texts.end());
    EXPECT_EQ(*(extra + 1), L"$12.40");
    EXPECT_GT(extra - texts.begin(), std::find(texts.begin(), texts.end(), L"12%") - texts.begin());
    EXPECT_EQ(scene.Measure().height, Scene{}.Measure().height + PanelScale{}(28));
}

// A model's own Codex bucket is a row of its own after the account's windows, once data is in.
TEST(PanelLayout, CodexModelBucketsFollowTheAccountsRows) {
    Scene scene;
    scene.snapshot.codex.buckets = {{"codex_bengalfox", L"GPT-5.3-Codex-Spark", kNow,
                                     {true, 4, 300, 0}, {}}};
    RecordingCanvas canvas;
    scene.Draw(canvas);
    const std::vector<std::wstring> texts = canvas.Texts();
    const auto at = [&](const std::wstring& text) {
        return std::find(texts.begin(), texts.end(), text) - texts.begin();
    };
    ASSERT_LT(at(L"GPT-5.3-Codex-Spark"), static_cast<ptrdiff_t>(texts.size()));
    EXPECT_GT(at(L"GPT-5.3-Codex-Spark"), at(L"Weekly"));
    EXPECT_EQ(texts[at(L"GPT-5.3-Codex-Spark") + 1], L"4%");
    EXPECT_EQ(scene.Measure().height, Scene{}.Measure().height + PanelScale{}(42));
    scene.snapshot.hasUpdate = false;  // while reading, no rows at all
    RecordingCanvas reading;
    scene.Draw(reading);
    const std::vector<std::wstring> readingTexts = reading.Texts();
    EXPECT_EQ(std::count(readingTexts.begin(), readingTexts.end(), L"GPT-5.3-Codex-Spark"), 0);
}

// The percentage and its bar turn amber and red where the shown number reaches 80 and 95.
TEST(PanelLayout, LimitRowBarsAndPercentColours) {
    struct Case {
        double percent;
        const wchar_t* text;
        uint32_t textColour;
        int32_t fillWidth;  // 0: no fill
        uint32_t fillColour;
    };
    const Case cases[] = {
        {0.4, L"0%", palette::kText, 0, 0},
        {0.49, L"0%", palette::kText, 0, 0},  // no bar beside a 0%
        {0.5, L"1%", palette::kText, 4, palette::kBlue},
        {74.9, L"75%", palette::kText, 223, palette::kBlue},
        {75, L"75%", palette::kText, 223, palette::kBlue},
        {79.4, L"79%", palette::kText, 236, palette::kBlue},
        {79.5, L"80%", palette::kAmber, 236, palette::kAmber},  // the 80% warning's number
        {89.9, L"90%", palette::kAmber, 267, palette::kAmber},
        {90, L"90%", palette::kAmber, 268, palette::kAmber},
        {94.4, L"94%", palette::kAmber, 281, palette::kAmber},
        {94.5, L"95%", palette::kDanger, 281, palette::kDanger},  // and the 95% one's
        {150, L"150%", palette::kDanger, 298, palette::kDanger},
        {-3, L"-3%", palette::kText, 0, 0},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.snapshot = LiveSnapshot();
        scene.snapshot.planLimits.limits = {{L"5-hour limit", c.percent, 0}};
        scene.settings.seccodex = false;
        RecordingCanvas canvas;
        scene.Draw(canvas);
        const RecordingCanvas::Op* percent = canvas.TextOp(c.text);
        ASSERT_NE(percent, nullptr) << c.percent;
        EXPECT_EQ(percent->colour, c.textColour) << c.percent;
        // The bar sits 27 pixels below the row's top (row at 71): track, then the fill.
        std::vector<RecordingCanvas::Op> bars;
        for (const auto& op : canvas.ops) {
            if (op.kind == "round" && op.rect.top == 98) bars.push_back(op);
        }
        ASSERT_GE(bars.size(), 1u) << c.percent;
        EXPECT_EQ(bars[0].rect, (PanelRect{16, 98, 314, 102}));
        EXPECT_EQ(bars[0].colour, palette::kTrack);
        ASSERT_EQ(bars.size(), c.fillWidth ? 2u : 1u) << c.percent;
        if (c.fillWidth) {
            EXPECT_EQ(bars[1].rect.right - bars[1].rect.left, c.fillWidth) << c.percent;
            EXPECT_EQ(bars[1].colour, c.fillColour) << c.percent;
        }
    }
}

// "Refresh" ends where the percentages end, at every size and scale, and its hover fill
// covers the whole text.
TEST(PanelLayout, RefreshLinesUpWithThePercentages) {
    // The right edge of the ink of a text op, 7 pixels a character.
    const auto inkRight = [](const RecordingCanvas::Op& op) {
        const int32_t width = static_cast<int32_t>(op.text.size()) * 7;
        switch (op.align) {
            case TextAlign::kLeft:
                return op.rect.left + width;
            case TextAlign::kCentre:
                return (op.rect.left + op.rect.right + width) / 2;
            default:
                return op.rect.right;
        }
    };
    for (const float dpi : {1.0f, 1.5f}) {
        for (const int32_t size : {0, 1, 2}) {
            Scene scene;
            scene.dpi = dpi;
            scene.settings.size = size;
            scene.hovered = kTargetRefresh;
            RecordingCanvas canvas;
            const PanelLayout layout = scene.Draw(canvas);
            const RecordingCanvas::Op* refresh = canvas.TextOp(L"Refresh");
            const RecordingCanvas::Op* percent = canvas.TextOp(L"43%");
            ASSERT_NE(refresh, nullptr);
            ASSERT_NE(percent, nullptr);
            EXPECT_EQ(inkRight(*refresh), inkRight(*percent)) << dpi << " " << size;
            const PanelHitTarget* target = FindTarget(layout, kTargetRefresh);
            ASSERT_NE(target, nullptr);
            const auto fill = std::find_if(
                canvas.ops.begin(), canvas.ops.end(),
                [&](const auto& op) { return op.kind == "round" && op.rect == target->rect; });
            ASSERT_NE(fill, canvas.ops.end()) << dpi << " " << size;
            EXPECT_LT(fill->rect.left, inkRight(*refresh) - 7 * 7);
            EXPECT_GT(fill->rect.right, inkRight(*refresh));
        }
    }
}

// The pace tick on a bar (a light core in a dark edge, standing out of the bar) at the share of
// the window gone by, and the run-out time in the danger colour in place of the reset once the
// row is ahead of pace.
TEST(PanelLayout, PaceTickAndRunOutTime) {
    struct Case {
        float dpi;
        double percent;
        PanelRect core;  // the tick's light part
        bool runsOut;
    };
    // The 5-hour window resets in an hour: four fifths gone.
    const Case cases[] = {
        {1.0f, 80, {253, 96, 255, 104}, false},  // exactly on pace
        {1.0f, 80.1, {253, 96, 255, 104}, true},
        {1.5f, 42.6, {380, 145, 383, 156}, false},
        {1.5f, 99, {380, 145, 383, 156}, true},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.dpi = c.dpi;
        scene.snapshot.planLimits.limits = {
            {L"5-hour limit", c.percent, kNow + 3600, false, 5 * 3600},
            {L"Weekly \u00b7 All models", 12, 0, false, 7 * 86400}};
        scene.settings.seccodex = false;
        RecordingCanvas canvas;
        scene.Draw(canvas);
        std::vector<PanelRect> ticks;
        for (const auto& op : canvas.ops) {
            if (op.kind == "fill" && op.colour == palette::kMuted) ticks.push_back(op.rect);
        }
        ASSERT_EQ(ticks.size(), 1u) << c.percent << " (the weekly row has no reset: no tick)";
        EXPECT_EQ(ticks[0], c.core) << c.percent;
        const std::wstring out = L"Out at " + FormatLocalClockTime(
                                                  kNow - 4 * 3600 +
                                                  static_cast<int64_t>(4 * 3600 * 100 / c.percent));
        const RecordingCanvas::Op* text = canvas.TextOp(c.runsOut ? out : L"Resets " + FormatLocalClockTime(kNow + 3600));
        ASSERT_NE(text, nullptr) << c.percent;
        EXPECT_EQ(text->colour, c.runsOut ? palette::kDanger : palette::kMuted) << c.percent;
    }
}

// The keyboard's path through the settings page: every target in drawing order with its name,
// kind and state, round both ends; it starts below the header.
TEST(PanelFocus, TabOrderNamesAndTheRing) {
    Scene scene;
    scene.settingsPage = true;
    scene.settings.seccodex = false;
    scene.settings.pinned = true;
    const PanelLayout layout = scene.Measure();
    struct Expected {
        int32_t id;
        const wchar_t* name;
        TargetKind kind;
        bool checked;
    };
    const Expected order[] = {
        {kTargetPin, L"Keep open", TargetKind::kSwitch, true},
        {kTargetClose, L"Close", TargetKind::kButton, false},
        {kTargetShowAuto, L"Auto", TargetKind::kChoice, true},
        {kTargetShowClaude, L"Claude", TargetKind::kChoice, false},
        {kTargetShowCodex, L"Codex", TargetKind::kChoice, false},
        {kTargetCompact, L"Compact", TargetKind::kChoice, false},
        {kTargetNormal, L"Normal", TargetKind::kChoice, true},
        {kTargetLarge, L"Large", TargetKind::kChoice, false},
        {kTargetClaudeSection, L"Claude limits", TargetKind::kSwitch, true},
        {kTargetCodexSection, L"Codex limits", TargetKind::kSwitch, false},
        {kTargetConnect, L"Live limits from Claude Code", TargetKind::kSwitch, false},
        {kTargetKeepOpen, L"Keep open when I click elsewhere", TargetKind::kSwitch, true},
        {kTargetAutostart, L"Start with Windows", TargetKind::kSwitch, false},
        {kTargetAlerts, L"Warn at 80% and 95%", TargetKind::kSwitch, true},
        {kTargetHistoryFolder, L"History folder: C:\\Users\\me\\AppData\\Roaming\\Tidewell",
         TargetKind::kButton, false},
        {kTargetBack, L"Back", TargetKind::kButton, false},
        {kTargetQuit, L"Quit Tidewell", TargetKind::kButton, false},
    };
    ASSERT_EQ(layout.targets.size(), std::size(order));
    int32_t id = kTargetNone;
    for (const Expected& e : order) {
        id = NextFocusTarget(layout, id, +1);
        const PanelHitTarget* target = FindTarget(layout, id);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(id, e.id) << e.name;
        EXPECT_EQ(target->name, e.name);
        EXPECT_EQ(target->kind, e.kind) << e.name;
        EXPECT_EQ(target->checked, e.checked) << e.name;
    }
    EXPECT_EQ(NextFocusTarget(layout, kTargetQuit, +1), kTargetPin) << "round the end";
    EXPECT_EQ(NextFocusTarget(layout, kTargetPin, -1), kTargetQuit) << "and back";
    EXPECT_EQ(NextFocusTarget(layout, kTargetNone, -1), kTargetQuit);
    EXPECT_EQ(NextFocusTarget(layout, kTargetReport, +1), kTargetPin) << "not on this page";
    EXPECT_EQ(FirstFocusTarget(layout), kTargetShowAuto);
    EXPECT_EQ(FirstFocusTarget(PanelLayout{}), kTargetNone);

    // The ring, drawn last, outside the focused target's rectangle: a 1-pixel line in the
    // background colour against the target, then 2 pixels of the accent.
    scene.focused = kTargetCodexSection;
    RecordingCanvas canvas;
    scene.Draw(canvas);
    ASSERT_GE(canvas.ops.size(), 2u);
    const PanelRect target = FindTarget(layout, kTargetCodexSection)->rect;
    const auto grown = [&](int32_t by) {
        return PanelRect{target.left - by, target.top - by, target.right + by, target.bottom + by};
    };
    const RecordingCanvas::Op& inner = canvas.ops[canvas.ops.size() - 2];
    const RecordingCanvas::Op& outer = canvas.ops.back();
    EXPECT_EQ(inner.kind, "frame");
    EXPECT_EQ(inner.colour, palette::kBackground);
    EXPECT_EQ(inner.rect, grown(1));
    EXPECT_EQ(outer.kind, "frame");
    EXPECT_EQ(outer.colour, palette::kBlue);
    EXPECT_EQ(outer.rect, grown(3));
    scene.focused = kTargetReport;  // not on this page: no ring
    RecordingCanvas none;
    scene.Draw(none);
    EXPECT_EQ(std::count_if(none.ops.begin(), none.ops.end(),
                            [](const RecordingCanvas::Op& op) {
                                return op.kind == "frame" && op.colour == palette::kBlue;
                            }),
              0);
}

TEST(PanelLayout, LongTextsKeepTheLabelAtLeastSixtyPixels) {
    Scene scene;
    scene.snapshot = LiveSnapshot();
    scene.snapshot.planLimits.limits = {{std::wstring(80, L'&'), 50, 0}};
    scene.snapshot.planLimits.plan = L"";
    scene.settings.seccodex = false;
    scene.hovered = kTargetSettings;
    RecordingCanvas canvas;
    scene.Draw(canvas);
    const RecordingCanvas::Op* label = canvas.TextOp(std::wstring(80, L'&'));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->rect.right - label->rect.left, 298 - 21 - 10 - 0 - 10);
    // A hovered light button turns HoverLight.
    bool hoverLight = false;
    for (const auto& op : canvas.ops)
        hoverLight |= op.kind == "round" && op.colour == palette::kHoverLight;
    EXPECT_TRUE(hoverLight);
}

TEST(PanelPlacement, BesideTheTrayRememberedAndRefitted) {
    const PanelRect work{0, 0, 1024, 728};  // a taskbar of 40 pixels at the bottom
    const PanelRect topWork{0, 40, 1024, 768};
    auto bottomScreen = [&](PanelPoint) { return work; };
    auto topScreen = [&](PanelPoint) { return topWork; };
    struct Case {
        const char* name;
        PlacementRequest request;
        WorkAreaNear area;
        PanelRect expected;
    };
    const PanelRect icon{1000, 740, 1016, 756};
    const Case cases[] = {
        {"beside the icon, kept 12 from the right",
         {true, {}, 330, 338, {}, icon, {5, 5}},
         bottomScreen,
         {682, 378, 1012, 716}},
        {"centred on the icon",
         {true, {}, 330, 338, {}, PanelRect{400, 740, 416, 756}, {}},
         bottomScreen,
         {243, 378, 573, 716}},
        {"no icon rectangle: the cursor",
         {true, {}, 330, 338, {}, PanelRect{5, 5, 5, 21}, {20, 760}},
         bottomScreen,
         {12, 378, 342, 716}},
        {"taskbar at the top",
         {true, {}, 330, 338, {}, PanelRect{1000, 10, 1016, 26}, {}},
         topScreen,
         {682, 52, 1012, 390}},
        {"remembered, pulled back on screen",
         {true, {}, 330, 338, PanelPoint{900, -50}, icon, {}},
         bottomScreen,
         {694, 0, 1024, 338}},
        {"re-fit keeps the bottom edge",
         {false, {682, 378, 1012, 716}, 330, 501, {}, {}, {}},
         bottomScreen,
         {682, 215, 1012, 716}},
        {"re-fit too tall: as tall as the work area less the margins, and it scrolls",
         {false, {682, 100, 1012, 300}, 330, 800, {}, {}, {}},
         bottomScreen,
         {682, 12, 1012, 716}},
        {"re-fit one pixel too tall: capped",
         {false, {682, 378, 1012, 716}, 330, 705, {}, {}, {}},
         bottomScreen,
         {682, 12, 1012, 716}},
        {"re-fit exactly as tall as fits: the bottom edge stays",
         {false, {682, 378, 1012, 716}, 330, 704, {}, {}, {}},
         bottomScreen,
         {682, 12, 1012, 716}},
        {"opened beside the icon too tall: capped, the margin at both ends",
         {true, {}, 330, 900, {}, icon, {}},
         bottomScreen,
         {682, 12, 1012, 716}},
        {"remembered too tall: capped and inside the margins",
         {true, {}, 330, 900, PanelPoint{100, 300}, icon, {}},
         bottomScreen,
         {100, 12, 430, 716}},
        {"a taller panel hanging from its top: capped, it moves up to fit",
         {false, {100, 200, 430, 400}, 330, 900, {}, {}, {}, 12, true},
         bottomScreen,
         {100, 12, 430, 716}},
        {"re-fit of a panel that hangs from its top: the top stays",
         {false, {100, 200, 430, 400}, 330, 501, {}, {}, {}, 12, true},
         bottomScreen,
         {100, 200, 430, 701}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlacePanelRect(c.request, c.area), c.expected) << c.name;
    }
}

// A tall page remembered on a tall monitor above a short one: the monitor it sits on caps it,
// not the one half its uncapped height would reach.
TEST(PanelPlacement, ARememberedPanelIsCappedByItsOwnMonitor) {
    const PanelRect tall{0, 0, 1024, 1080}, shortBelow{0, 1080, 1024, 1680};
    auto screens = [&](PanelPoint p) { return p.y < 1080 ? tall : shortBelow; };
    const PlacementRequest request{true, {}, 330, 2200, PanelPoint{100, 20}, {}, {}};
    EXPECT_EQ(PlacePanelRect(request, screens), (PanelRect{100, 12, 430, 1068}));
}

// Which edge a later re-fit keeps: where the user left the panel it hangs from its top (it must
// not creep up as its content grows), beside a taskbar at the bottom it stands on its bottom.
TEST(PanelPlacement, WhereItOpensDecidesTheEdgeItKeeps) {
    const PanelRect work{0, 0, 1024, 728};
    auto screen = [&](PanelPoint) { return work; };
    PlacementRequest request{true, {}, 330, 338, {}, PanelRect{1000, 740, 1016, 756}, {}};
    EXPECT_FALSE(OpensHangingFromTop(request, screen));
    request.iconRect = PanelRect{1000, 363, 1016, 379};  // the top centre at 363: one row up
    EXPECT_TRUE(OpensHangingFromTop(request, screen));
    request.iconRect = PanelRect{1000, 364, 1016, 380};  // exactly half way: the lower half
    EXPECT_FALSE(OpensHangingFromTop(request, screen));
    request.remembered = PanelPoint{10, 600};
    EXPECT_TRUE(OpensHangingFromTop(request, screen));
}

// Two monitors side by side: the panel opens on the monitor of the tray icon, even when the
// cursor has moved to the other one.
TEST(PanelPlacement, TheWorkAreaIsTheIconsMonitors) {
    const PanelRect left{0, 0, 1024, 728}, right{1024, 0, 2048, 728};
    auto screens = [&](PanelPoint p) { return p.x < 1024 ? left : right; };
    PlacementRequest request{true, {}, 330, 338, {}, PanelRect{2000, 740, 2016, 756}, {100, 300}};
    EXPECT_EQ(PlacePanelRect(request, screens), (PanelRect{1706, 378, 2036, 716}));
    request.iconRect.reset();  // no icon rectangle: the cursor's monitor
    EXPECT_EQ(PlacePanelRect(request, screens), (PanelRect{12, 12, 342, 350}));
}

// A screen reader keeps a child id while the page changes under it: the id must name the same
// target or none, whatever came or went before it; states flip without a change of the set.
TEST(PanelAccessibility, ChildIdsAreTheTargetsOwnAndStayPut) {
    Scene offer;  // not connected: the Connect offer stands above the Codex rows
    offer.snapshot.planLimits.fromStatusLine = false;
    Scene connected = offer;
    connected.statusLine = kOwnStatusLine;
    const PanelLayout with = offer.Measure(), without = connected.Measure();
    ASSERT_NE(FindTarget(with, kTargetConnect), nullptr);
    ASSERT_EQ(FindTarget(without, kTargetConnect), nullptr);
    for (const PanelLayout* layout : {&with, &without}) {
        const PanelHitTarget* report = TargetOfChildId(*layout, AccessibleChildId(kTargetReport));
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(report->name, L"Usage report");
    }
    EXPECT_EQ(TargetOfChildId(without, AccessibleChildId(kTargetConnect)), nullptr);
    EXPECT_EQ(TargetOfChildId(with, 0), nullptr) << "the pane itself";
    EXPECT_EQ(TargetOfChildId(with, -1), nullptr);
    EXPECT_EQ(TargetOfChildId(with, std::numeric_limits<long>::max()), nullptr);
    EXPECT_EQ(CompareTargets(with, without), TargetChange::kSet);
    EXPECT_EQ(CompareTargets(with, with), TargetChange::kNone);

    // Navigation runs in drawing order and stops at both ends.
    EXPECT_EQ(EdgeChildId(with, false), AccessibleChildId(with.targets.front().id));
    EXPECT_EQ(EdgeChildId(with, true), AccessibleChildId(with.targets.back().id));
    EXPECT_EQ(NeighbourChildId(with, EdgeChildId(with, false), +1),
              AccessibleChildId(with.targets[1].id));
    EXPECT_EQ(NeighbourChildId(with, EdgeChildId(with, false), -1), 0);
    EXPECT_EQ(NeighbourChildId(with, EdgeChildId(with, true), +1), 0);
    EXPECT_EQ(NeighbourChildId(with, AccessibleChildId(kTargetBack), +1), 0) << "not on this page";
    EXPECT_EQ(EdgeChildId(PanelLayout{}, true), 0);

    Scene page;
    page.settingsPage = true;
    page.settings.px = 40;  // moved: "Reset position" is on the page too
    page.settings.py = 50;
    const PanelLayout before = page.Measure();
    page.settings.alerts = !page.settings.alerts;
    EXPECT_EQ(CompareTargets(before, page.Measure()), TargetChange::kStates);
    page.settings.px = kPanelNeverMoved;
    EXPECT_EQ(CompareTargets(before, page.Measure()), TargetChange::kSet);

    // Ids must be unique on a page, or a child id would name two targets.
    for (const PanelLayout* layout : {&with, &without, &before}) {
        std::vector<int32_t> ids;
        for (const PanelHitTarget& target : layout->targets) ids.push_back(target.id);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    }
}

TEST(PanelFocus, TheFirstTargetStartsAtTheHeadersBottom) {
    PanelLayout layout;
    layout.headerBottom = 50;
    for (const auto& [top, id] : {std::pair{10, kTargetPin}, std::pair{49, kTargetReport},
                                  std::pair{50, kTargetRefresh}}) {
        PanelHitTarget target;
        target.rect = {0, top, 20, top + 20};
        target.id = id;
        layout.targets.push_back(target);
    }
    EXPECT_EQ(FirstFocusTarget(layout), kTargetRefresh) << "top exactly the header's bottom";
    layout.targets[2].rect.top = 51;
    EXPECT_EQ(FirstFocusTarget(layout), kTargetRefresh);
    layout.targets.pop_back();
    EXPECT_EQ(FirstFocusTarget(layout), kTargetPin) << "none below the header: the first";
}

// A click on the header starts a move loop that ends where it began: the place is not pinned.
TEST(PanelPlacement, OnlyARealMoveIsRemembered) {
    const PanelRect at{100, 200, 430, 538};
    EXPECT_FALSE(MovedTo(at, at));
    EXPECT_FALSE(MovedTo(at, {100, 200, 430, 600})) << "resized by a refit, not moved";
    const struct {
        PanelRect after;
        int32_t x, y;
    } moves[] = {{{101, 200, 431, 538}, 101, 200}, {{100, 199, 430, 537}, 100, 199},
                 {{-5, -7, 325, 331}, -5, -7}};
    for (const auto& m : moves) {
        const auto moved = MovedTo(at, m.after);
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->x, m.x);
        EXPECT_EQ(moved->y, m.y);
    }
}

// The line of the ledger's dollars closes the Claude section, once the ledger holds rows.
TEST(PanelLayout, TheHistoryTotalsCloseTheClaudeSection) {
    Scene live;
    Scene totals = live;
    totals.snapshot.history.hasRows = true;
    totals.snapshot.history.claudeTodayDollars = 4.1;
    totals.snapshot.history.claudeSevenDayDollars = 31.2;
    Scene empty = totals;  // figures but no rows: nothing to show
    empty.snapshot.history.hasRows = false;
    Scene offer = totals;  // the connect offer comes first
    offer.snapshot.planLimits.fromStatusLine = false;
    Scene noClaude = totals;
    noClaude.settings.secclaude = false;
    const std::wstring line = L"Today $4.10 \u00b7 7 days $31.20";

    const std::tuple<Scene*, int32_t, bool> cases[] = {
        {&live, 338, false},
        {&totals, 338 + 24, true},
        {&empty, 338, false},
        {&offer, 338 + 38 + 24, true},
        {&noClaude, 338 - (1 + 26 + 42 + 42), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [scene, height, shown] = cases[i];
        RecordingCanvas canvas;
        EXPECT_EQ(scene->Draw(canvas).height, height) << i;
        EXPECT_EQ(scene->Measure().height, height) << i;
        const RecordingCanvas::Op* op = canvas.TextOp(line);
        ASSERT_EQ(op != nullptr, shown) << i;
        if (!op)
            continue;
        EXPECT_EQ(op->colour, palette::kMuted);
        const auto texts = canvas.Texts();
        const auto at = std::find(texts.begin(), texts.end(), line);
        ASSERT_NE(at + 1, texts.end());
        EXPECT_EQ(*(at + 1), L"CODEX") << "the last line of the Claude section";
        const RecordingCanvas::Op* codex = canvas.TextOp(L"CODEX");
        EXPECT_EQ(codex->rect.top - 8 - 1, op->rect.top + 24) << "the separator follows";
    }
}

// The settings page's history rows: the folder (the data folder unless another was chosen),
// the way back, the first read's progress and a folder that cannot be reached.
TEST(PanelLayout, TheHistoryFolderRowsFollowTheSources) {
    Scene base;
    base.settingsPage = true;
    Scene chosen = base;
    chosen.settings.historyFolder = L"D:\\Sync\\Tidewell";
    Scene reading = base;
    reading.snapshot.history.readingHistory = true;
    reading.snapshot.history.historyBytesRead = 1'200'000'000;
    reading.snapshot.history.historyBytesTotal = 3'400'000'000;
    Scene unreachable = chosen;
    unreachable.snapshot.history.unreachableFolder = L"\\\\nas\\share\\usage";
    Scene longPath = base;  // 298 pixels hold 42 characters
    longPath.dataFolder = L"C:\\Users\\someone with a long name\\AppData\\Roaming\\Tidewell";

    using Texts = std::vector<std::wstring>;
    const std::tuple<Scene*, int32_t, Texts> cases[] = {
        {&base,
         0,
         {L"History folder", L"Change\u2026", L"C:\\Users\\me\\AppData\\Roaming\\Tidewell"}},
        {&chosen,
         36,
         {L"History folder", L"Change\u2026", L"D:\\Sync\\Tidewell", L"Use the data folder"}},
        {&reading,
         20,
         {L"History folder", L"Change\u2026", L"C:\\Users\\me\\AppData\\Roaming\\Tidewell",
          L"Reading history: 1.2 of 3.4 GB"}},
        {&unreachable,
         36 + 20,
         {L"History folder", L"Change\u2026", L"D:\\Sync\\Tidewell", L"Use the data folder",
          L"Can't reach \\\\nas\\share\\usage"}},
        {&longPath,
         0,
         {L"History folder", L"Change\u2026", L"C:\\\u2026\\AppData\\Roaming\\Tidewell"}},
    };
    const int32_t baseHeight = base.Measure().height;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [scene, extra, expected] = cases[i];
        RecordingCanvas canvas;
        const PanelLayout layout = scene->Draw(canvas);
        EXPECT_EQ(layout.height, baseHeight + extra) << i;
        EXPECT_EQ(scene->Measure().targets, layout.targets) << i;
        const auto texts = canvas.Texts();
        const auto heading = std::find(texts.begin(), texts.end(), L"HISTORY");
        ASSERT_NE(heading, texts.end()) << i;
        const auto back = std::find(heading, texts.end(), L"Back");
        EXPECT_EQ(Texts(heading + 1, back), expected) << i;
        for (auto it = heading + 1; it != back; ++it)
            EXPECT_LE(static_cast<int32_t>(it->size()) * 7, 298) << i << " fits the page";

        // New targets have ids of their own, after the switches and before the footer.
        const std::vector<int32_t> ids = Ids(layout);
        const bool way = !scene->settings.historyFolder.empty();
        const auto alerts = std::find(ids.begin(), ids.end(), kTargetAlerts);
        ASSERT_NE(alerts, ids.end());
        std::vector<int32_t> tail(alerts + 1, ids.end());
        std::vector<int32_t> wanted{kTargetHistoryFolder};
        if (way)
            wanted.push_back(kTargetDefaultHistoryFolder);
        wanted.insert(wanted.end(), {kTargetBack, kTargetQuit});
        EXPECT_EQ(tail, wanted) << i;
    }
    RecordingCanvas canvas;
    unreachable.Draw(canvas);
    EXPECT_EQ(canvas.TextOp(L"Can't reach \\\\nas\\share\\usage")->colour, palette::kAmber);
    EXPECT_EQ(FindTarget(chosen.Measure(), kTargetHistoryFolder)->name,
              L"History folder: D:\\Sync\\Tidewell");
}

// "Reset position" is offered once the panel was dragged, and only then.
TEST(PanelLayout, ResetPositionOnlyAfterAMove) {
    Scene page;
    page.settingsPage = true;
    const PanelLayout never = page.Measure();
    EXPECT_EQ(FindTarget(never, kTargetResetPosition), nullptr);
    page.settings.px = 0;
    page.settings.py = 0;
    const PanelLayout moved = page.Measure();
    const PanelHitTarget* reset = FindTarget(moved, kTargetResetPosition);
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->name, L"Reset position");
    EXPECT_EQ(moved.height - never.height, 36);
    EXPECT_EQ(reset->rect.top, FindTarget(moved, kTargetLarge)->rect.bottom + 6);
}

}  // namespace
