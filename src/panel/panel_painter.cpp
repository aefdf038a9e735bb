#include <algorithm>
#include <string>

#include "display/display_format.h"
#include "display/history_text.h"
#include "display/limit_level.h"
#include "display/pace.h"
#include "display/shown_logins.h"
#include "limits/account_usage.h"
#include "panel/panel_layout.h"
#include "sources/login.h"

namespace {

constexpr std::wstring_view kBindingTag = L"binding";
constexpr std::wstring_view kConnectOffer = L"Connect to Claude Code for live limits";

// The paint context: the cursor, the content box and the targets of one painter call. Every
// primitive records its targets and advances `y` the same way in both passes; only the drawing
// pass touches the canvas.
class Painter {
public:
    Painter(Canvas& canvas, const PanelInputs& inputs, int32_t clientWidth, bool measureOnly)
        : canvas_(canvas),
          in_(inputs),
          S(PanelScale{inputs.dpiScale, inputs.settings.size}),
          measureOnly_(measureOnly),
          x_(S(16)),
          w_(clientWidth - S(32)),
          y_(S(14)),
          views_(ShownLogins(inputs.snapshot, inputs.settings.hiddenLogins)) {}

    PanelLayout Run() {
        Header();
        if (in_.settingsPage) {
            SettingsPage();
        } else {
            MainPage();
        }
        FocusRing();
        layout_.height = y_;
        return std::move(layout_);
    }

private:
    bool Drawing() const { return !measureOnly_; }
    bool Hovered(int32_t id) const { return in_.hoveredId == id; }
    PanelRect Box(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
        return {left, top, right, bottom};
    }
    void AddTarget(const PanelRect& rect, int32_t id, std::wstring_view name,
                   TargetKind kind = TargetKind::kButton, bool checked = false) {
        layout_.targets.push_back({rect, id, std::wstring(name), kind, checked});
    }

    // The keyboard's place, as Windows 11 draws it: outside the target's edge, a line in the
    // background colour, then a thicker one in the accent, so that the ring stands out from the
    // target's own fill and from the window alike.
    void FocusRing() {
        const PanelHitTarget* target = FindTarget(layout_, in_.focusedId);
        if (!Drawing() || !target) return;
        const int32_t inner = std::max(1, S(1));
        const int32_t outer = std::max(2, S(2));
        const auto grown = [&](int32_t by) {
            const PanelRect& r = target->rect;
            return Box(r.left - by, r.top - by, r.right + by, r.bottom + by);
        };
        canvas_.FrameRoundRect(grown(inner), in_.palette.focusInner, S(8) + 2 * inner, inner);
        canvas_.FrameRoundRect(grown(inner + outer), in_.palette.focusOuter,
                               S(8) + 2 * (inner + outer), outer);
    }

    void Text(std::wstring_view text, const PanelRect& rect, FontRole font, uint32_t colour,
              TextAlign align) {
        canvas_.DrawText(text, rect, font, dim_ ? kDim : colour, align);
    }

    // ---- primitives ----

    void Separator() {
        if (Drawing()) canvas_.FillRect(Box(x_, y_, x_ + w_, y_ + 1), kDivider);
        y_ += S(1);
    }

    void SectionHeading(std::wstring_view text, int32_t advance) {
        if (Drawing()) {
            Text(text, Box(x_, y_ + S(8), x_ + w_, y_ + S(24)), FontRole::kCaption, kDim,
                 TextAlign::kLeft);
        }
        y_ += advance;
    }

    void MessageRow(std::wstring_view text) {
        if (Drawing()) {
            Text(text, Box(x_, y_, x_ + w_, y_ + S(20)), FontRole::kSmall, kDim, TextAlign::kLeft);
        }
        y_ += S(24);
    }

    void Limit(std::wstring_view label, double percent, bool hasPercent,
               std::wstring_view rightText, bool binding = false, const Pace& pace = {}) {
        const int32_t advance = hasPercent ? S(42) : S(28);
        if (Drawing()) {
            // A limit on course to run out before its reset says when, in place of the reset.
            if (pace.runOutAt != 0) {
                DrawLimit(label, percent, hasPercent, FormatRunOutLabel(pace.runOutAt, in_.now),
                          kDanger, binding, pace);
            } else {
                DrawLimit(label, percent, hasPercent, rightText, kMuted, binding, pace);
            }
        }
        y_ += advance;
    }

    // A limit row with the pace of a window: `resetsAt` and the window's length.
    void WindowLimit(std::wstring_view label, double percent, int64_t resetsAt,
                     int64_t windowSeconds, bool binding = false) {
        Limit(label, percent, true, FormatResetLabelAt(resetsAt, in_.now), binding,
              PaceOf(percent, resetsAt, windowSeconds, in_.now));
    }

    void DrawLimit(std::wstring_view label, double percent, bool hasPercent,
                   std::wstring_view rightText, uint32_t rightColour, bool binding,
                   const Pace& pace) {
        const std::wstring percentText = hasPercent ? FormatPercent(percent) : std::wstring();
        // Amber and red from the shown number, as the tray icon's bar and the warnings.
        const LimitLevel level = LevelOfPercent(percent);
        const auto levelColour = [this, level](uint32_t normal) {
            return level == LimitLevel::kDanger    ? kDanger
                   : level == LimitLevel::kWarning ? kAmber
                                                   : normal;
        };
        const int32_t pw = hasPercent ? canvas_.TextWidth(percentText, FontRole::kSmallStrong) : 0;
        const int32_t rw = canvas_.TextWidth(rightText, FontRole::kSmall);
        const int32_t mw = hasPercent ? MarkWidth(percent) : 0;
        const int32_t lw = w_ - pw - S(10) - mw - std::min(w_ / 2, rw) - S(10);
        const int32_t labelRight = x_ + std::max(lw, S(60));
        // The limit that binds now carries a short tag right after its label, which gives way.
        const int32_t tagWidth = binding ? canvas_.TextWidth(kBindingTag, FontRole::kCaption) : 0;
        const int32_t labelBoxRight = binding ? std::max(x_ + S(30), labelRight - tagWidth - S(6))
                                              : labelRight;
        Text(label, Box(x_, y_, labelBoxRight, y_ + S(22)), FontRole::kRowLabel, kText,
             TextAlign::kLeft);
        if (binding) {
            const int32_t tagLeft =
                std::min(x_ + canvas_.TextWidth(label, FontRole::kRowLabel), labelBoxRight) + S(6);
            Text(kBindingTag, Box(tagLeft, y_, tagLeft + tagWidth, y_ + S(22)), FontRole::kCaption,
                 kAmber, TextAlign::kLeft);
        }
        if (hasPercent) {
            Text(percentText, Box(x_ + w_ - pw, y_, x_ + w_, y_ + S(22)), FontRole::kSmallStrong,
                 levelColour(kText), TextAlign::kRightPlain);
        }
        Text(rightText,
             Box(labelRight + S(8), y_, x_ + w_ - pw - (hasPercent ? S(10) + mw : 0),
                 y_ + S(22)),
             FontRole::kSmall, rightColour, TextAlign::kRight);
        if (!hasPercent) return;
        EdgedFill(Box(x_, y_ + S(27), x_ + w_, y_ + S(31)), kTrack, in_.palette.controlEdge, S(4));
        if (ShownPercent(percent) > 0) {  // a bar for every number above 0%, none for NaN
            const double p = std::min(percent, 100.0);
            const int32_t fill = std::max(static_cast<int32_t>(w_ * p / 100), S(4));
            const uint32_t colour = dim_ ? kDim : levelColour(kBlue);
            canvas_.FillRoundRect(Box(x_, y_ + S(27), x_ + fill, y_ + S(31)), colour, S(4));
        }
        if (pace.known) PaceTick(pace.elapsed);
        if (in_.palette.systemColours)
            LevelMark(LevelOfPercent(percent), x_ + w_ - pw);
    }

    // The room the level's mark takes before the percentage, beyond the usual gap.
    int32_t MarkWidth(double percent) {
        const LimitLevel level = LevelOfPercent(percent);
        if (!in_.palette.systemColours || level == LimitLevel::kNormal)
            return 0;
        return canvas_.TextWidth(level == LimitLevel::kDanger ? L"!!" : L"!",
                                 FontRole::kSmallStrong) + S(4);
    }

    // With the system's colours the bar's colour cannot carry the level (there is no amber or
    // red among them): it is marked beside the percentage, "!" at the first warning and "!!" at
    // the last, in the gap that keeps the percentage apart from the text before it.
    void LevelMark(LimitLevel level, int32_t percentLeft) {
        if (level == LimitLevel::kNormal)
            return;
        const std::wstring_view mark = level == LimitLevel::kDanger ? L"!!" : L"!";
        const int32_t width = canvas_.TextWidth(mark, FontRole::kSmallStrong);
        Text(mark, Box(percentLeft - S(4) - width, y_, percentLeft - S(4), y_ + S(22)),
             FontRole::kSmallStrong, in_.palette.text, TextAlign::kRightPlain);
    }

    // A rounded fill with an outline of `edge` (none when it is the fill itself).
    void EdgedFill(const PanelRect& rect, uint32_t fill, uint32_t edge, int32_t diameter) {
        canvas_.FillRoundRect(rect, fill, diameter);
        if (edge != fill)
            canvas_.FrameRoundRect(rect, edge, diameter, std::max(1, S(1)));
    }

    // Where the bar would stand at an even pace: a light mark edged in the background colour, so
    // that it reads on the track and on every fill, standing out of the bar above and below.
    void PaceTick(double elapsed) {
        const int32_t core = std::max(2, S(2));
        const int32_t edge = std::max(1, S(1));
        const int32_t centre = x_ + static_cast<int32_t>(w_ * std::clamp(elapsed, 0.0, 1.0));
        const int32_t left = std::clamp(centre - core / 2, x_, x_ + w_ - core);
        canvas_.FillRect(Box(left - edge, y_ + S(24), left + core + edge, y_ + S(34)), kBackground);
        canvas_.FillRect(Box(left, y_ + S(24) + edge, left + core, y_ + S(34) - edge), kMuted);
    }

    // How a button, a segment or the Connect row looks: its fill, its text and its outline.
    struct ControlLook {
        uint32_t fill;
        uint32_t text;
        uint32_t edge;  // the fill itself when it needs none
    };

    // A fill that barely stands out from the window gets an outline. With the system's colours
    // every control is a button face with an outline in its text colour, and the one under the
    // mouse or chosen is in the highlight colours. A selected segment keeps its look under the
    // mouse; dark ink on the dark hover fill (the pinned pin) turns light.
    ControlLook LookOf(int32_t id, uint32_t text, uint32_t fill, bool chosen = false,
                       bool hoverable = true) const {
        const Palette& p = in_.palette;
        const bool hovered = hoverable && Hovered(id);
        if (p.systemColours) {
            if (chosen || hovered)
                return {p.highlight, p.highlightText, p.highlight};
            const uint32_t face = fill == kBackground ? kBackground : p.buttonFace;
            return {face, p.buttonText, p.buttonText};
        }
        const uint32_t face = !hovered ? fill : fill == kText ? kHoverLight : kHover;
        if (face == kHover && text == kInk)
            text = kText;
        return {face, text, fill == kRaised ? p.controlEdge : face};
    }

    void DrawControl(const PanelRect& rect, const ControlLook& look) {
        EdgedFill(rect, look.fill, look.edge, S(8));
    }

    void Button(const PanelRect& rect, int32_t id, std::wstring_view text, FontRole font,
                uint32_t textColour, uint32_t fill) {
        AddTarget(rect, id, text);
        if (!Drawing()) return;
        const ControlLook look = LookOf(id, textColour, fill);
        DrawControl(rect, look);
        Text(text, rect, font, look.text, TextAlign::kCentre);
    }

    void GlyphButton(const PanelRect& rect, int32_t id, std::wstring_view name, Glyph glyph,
                     uint32_t colour, uint32_t fill, bool checked = false) {
        AddTarget(rect, id, name, checked ? TargetKind::kSwitch : TargetKind::kButton, checked);
        if (!Drawing()) return;
        const ControlLook look = LookOf(id, colour, fill, checked);
        DrawControl(rect, look);
        canvas_.DrawGlyph(glyph, rect, look.text, TextAlign::kCentre);
    }

    // With the system's colours a row under the mouse is outlined in the highlight colour, not
    // filled with it: the switch on it is drawn in that colour too.
    void RowHover(const PanelRect& rect, int32_t id) {
        if (!Hovered(id))
            return;
        if (in_.palette.systemColours) {
            canvas_.FrameRoundRect(rect, in_.palette.highlight, S(8), std::max(2, S(2)));
        } else {
            canvas_.FillRoundRect(rect, kHover, S(8));
        }
    }

    void SwitchRow(int32_t id, std::wstring_view label, bool on) {
        const PanelRect target = Box(x_ - S(6), y_, x_ + w_ + S(6), y_ + S(34));
        AddTarget(target, id, label, TargetKind::kSwitch, on);
        if (Drawing()) {
            RowHover(target, id);
            Text(label, Box(x_, y_, x_ + w_ - S(50), y_ + S(34)), FontRole::kRowLabel, kText,
                 TextAlign::kLeft);
            const Palette& p = in_.palette;
            // Off, the track is told from the window by its outline, as Windows draws it.
            EdgedFill(Box(x_ + w_ - S(36), y_ + S(9), x_ + w_, y_ + S(25)),
                      on ? kBlue : p.switchOffTrack, on ? kBlue : p.switchOffEdge, S(16));
            const int32_t knob = on ? x_ + w_ - S(14) : x_ + w_ - S(36) + S(2);
            canvas_.FillRoundRect(Box(knob, y_ + S(11), knob + S(12), y_ + S(23)),
                                  on ? p.knobOn : p.knobOff, S(12));
        }
        y_ += S(36);
    }

    void Segment(const PanelRect& rect, int32_t id, std::wstring_view text, bool selected) {
        AddTarget(rect, id, text, TargetKind::kChoice, selected);
        if (!Drawing()) return;
        const ControlLook look =
            LookOf(id, selected ? kInk : kText, selected ? kText : kRaised, selected, !selected);
        DrawControl(rect, look);
        Text(text, rect, FontRole::kSmallStrong, look.text, TextAlign::kCentre);
    }

    // Three segments side by side, then the group's advance.
    void SegmentGroup(const int32_t (&ids)[3], const wchar_t* const (&texts)[3], int selected) {
        const int32_t sw = (w_ - S(12)) / 3;
        for (int i = 0; i < 3; ++i) {
            const int32_t left = x_ + i * (sw + S(6));
            Segment(Box(left, y_, left + sw, y_ + S(30)), ids[i], texts[i], i == selected);
        }
        y_ += S(36);
    }

    // ---- the page ----

    void Header() {
        const int32_t x = x_, y = y_, w = w_;
        if (Drawing()) {
            const PlanLimits& plan = in_.snapshot.planLimits;
            const std::wstring_view title = in_.settingsPage ? L"Settings" : L"Usage limits";
            const int32_t tw = canvas_.TextWidth(title, FontRole::kTitle);
            Text(title, Box(x, y, x + tw + S(2), y + S(22)), FontRole::kTitle, kMuted,
                 TextAlign::kLeft);
            // With several logins the plan belongs to one of them: it is not the panel's.
            if (!in_.settingsPage && plan.hasLimits && !plan.plan.empty() &&
                !ShowsSeveralLogins(views_)) {
                Text(L" \u00b7 " + plan.plan, Box(x + tw, y, x + w - S(60), y + S(22)),
                     FontRole::kTitleStrong, kText, TextAlign::kLeft);
            }
        }
        const bool pinned = in_.settings.pinned;
        GlyphButton(Box(x + w - S(56), y - S(2), x + w - S(30), y + S(24)), kTargetPin,
                    L"Keep open", Glyph::kPin, pinned ? kInk : kMuted,
                    pinned ? kAmber : kBackground, pinned);
        GlyphButton(Box(x + w - S(26), y - S(2), x + w, y + S(24)), kTargetClose, L"Close",
                    Glyph::kClose, kMuted, kBackground);
        y_ += S(30);
        layout_.headerBottom = y_;
    }

    void MainPage() {
        const Settings& settings = in_.settings;
        if (settings.secclaude) ToolSections(LoginTool::kClaude);
        if (settings.seccodex) ToolSections(LoginTool::kCodex);
        if (!settings.secclaude && !settings.seccodex) {
            Separator();
            MessageRow(L"Both sections are hidden. Turn one on in Settings.");
        }
        y_ += S(4);
        const int32_t bw = (w_ - S(8)) / 2;
        Button(Box(x_, y_, x_ + bw, y_ + S(34)), kTargetSettings, L"Settings", FontRole::kButton,
               kInk, kText);
        Button(Box(x_ + bw + S(8), y_, x_ + w_, y_ + S(34)), kTargetReport, L"Usage report",
               FontRole::kButton, kText, kRaised);
        y_ += S(8) + S(34);
        if (Drawing()) {
            Text(UpdateLine(), Box(x_, y_, x_ + w_ - S(70), y_ + S(18)), FontRole::kCaption, kDim,
                 TextAlign::kLeft);
        }
        // Its text ends where the percentages above end; the hover fill reaches past that edge.
        const int32_t refreshWidth = canvas_.TextWidth(L"Refresh", FontRole::kCaption);
        const PanelRect refresh =
            Box(x_ + w_ - refreshWidth - S(8), y_ - S(1), x_ + w_ + S(8), y_ + S(19));
        AddTarget(refresh, kTargetRefresh, L"Refresh");
        if (Drawing()) {
            const ControlLook look = LookOf(kTargetRefresh, kMuted, kBackground);
            DrawControl(refresh, look);
            Text(L"Refresh", Box(refresh.left, refresh.top, x_ + w_, refresh.bottom),
                 FontRole::kCaption, look.text, TextAlign::kRightPlain);
        }
        y_ += S(26);
    }

    std::wstring UpdateLine() const {
        if (!in_.snapshot.hasUpdate) return L"Reading\u2026";
        const int64_t age = in_.now - in_.snapshot.lastUpdate;
        if (age <= 59) return L"Updated just now";
        return L"Updated " + FormatDuration(age) + L" ago";
    }

    // A section for each shown login of `tool`: "CLAUDE" for a tool's one login, else "CLAUDE ·
    // work" and so on, each with its own figures; a login whose folder went away is greyed.
    void ToolSections(LoginTool tool) {
        const LoginView* last = nullptr;
        for (const LoginView& view : views_) {
            if (view.tool == tool) last = &view;
        }
        for (const LoginView& view : views_) {
            if (view.tool != tool) continue;
            Separator();
            std::wstring heading = tool == LoginTool::kClaude ? L"CLAUDE" : L"CODEX";
            if (!view.name.empty()) heading += L" \u00b7 " + view.name;
            SectionHeading(heading, S(26));
            dim_ = view.gone;
            if (tool == LoginTool::kClaude) {
                ClaudeRows(view);
            } else {
                CodexRows(*view.codex);
            }
            dim_ = false;
            if (tool == LoginTool::kClaude && &view == last) HistoryTotals();  // the computer's
        }
    }

    // What the ledger holds of this computer's Claude Code usage at API rates, once it holds any.
    void HistoryTotals() {
        const HistoryState& history = in_.snapshot.history;
        if (!history.hasRows)
            return;
        if (Drawing()) {
            Text(FormatHistoryTotals(history.claudeTodayDollars, history.claudeSevenDayDollars),
                 Box(x_, y_, x_ + w_, y_ + S(20)), FontRole::kSmall, kMuted, TextAlign::kLeft);
        }
        y_ += S(24);
    }

    // The Connect offer belongs to a tool's one login: the panel has one such target.
    void ClaudeRows(const LoginView& view) {
        const PlanLimits& plan = *view.plan;
        const bool offer = view.name.empty();
        if (plan.hasLimits) {
            for (const LimitRow& row : plan.limits) {
                WindowLimit(row.label, row.percent, row.resetsAt, row.windowSeconds, row.binding);
            }
            if (plan.extra.enabled) Limit(L"Extra usage", 0, false, FormatExtraUsage(plan.extra));
            if (plan.fromStatusLine) return;
            const int64_t age = in_.now - plan.asOf;
            if (age > 900) MessageRow(L"Plan limits from " + FormatDuration(age) + L" ago");
            if (offer) ConnectOffer();
            return;
        }
        if (plan.status == FetchStatus::kRateLimited) {
            MessageRow(L"Anthropic is rate limiting usage checks. Estimate:");
        } else if (!plan.message.empty()) {
            MessageRow(plan.message);
        } else {
            MessageRow(L"Checking your plan limits\u2026");
        }
        const ClaudeLogSummary& logs = *view.claude;
        if (logs.active) {
            const double maxblock = view.maxblock >= 0 ? view.maxblock : in_.settings.maxblock.Load();
            const bool hasPercent = maxblock > 0;
            Limit(L"This 5-hour window", logs.percent, hasPercent,
                  FormatTokenCount(logs.current.tokens) + L" tokens \u00b7 est.", false,
                  hasPercent ? PaceOf(logs.percent, logs.current.end, kBlockSeconds, in_.now)
                             : Pace{});
        } else if (logs.found) {
            MessageRow(L"No Claude Code activity in the last 5 hours");
        }
        if (offer && !plan.fromStatusLine) ConnectOffer();
    }

    void ConnectOffer() {
        if (in_.statusLineState == kOwnStatusLine) return;
        const PanelRect target = Box(x_, y_, x_ + w_, y_ + S(30));
        AddTarget(target, kTargetConnect, kConnectOffer);
        if (Drawing()) {
            // With the system's colours it reads as a link until the mouse lights it.
            const bool system = in_.palette.systemColours;
            const ControlLook look = LookOf(kTargetConnect, in_.palette.link, kRaised);
            const uint32_t text = system && !Hovered(kTargetConnect) ? in_.palette.link : look.text;
            DrawControl(target, look);
            Text(kConnectOffer, Box(x_ + S(10), y_, x_ + w_ - S(10), y_ + S(30)), FontRole::kSmall,
                 text, TextAlign::kLeft);
            canvas_.DrawGlyph(Glyph::kArrow, Box(x_, y_, x_ + w_ - S(10), y_ + S(30)),
                              system ? text : kMuted, TextAlign::kRightPlain);
        }
        y_ += S(38);
    }

    void CodexWindowRow(const CodexWindow& window) {
        WindowLimit(FormatWindowLabel(window.windowMinutes), window.usedPercent, window.resetsAt,
                    int64_t{window.windowMinutes} * 60);
    }

    void CodexRows(const CodexLimits& codex) {
        if (!in_.snapshot.hasUpdate) {
            MessageRow(L"Reading Codex logs\u2026");  // nothing is known yet, not even whether
        } else if (!codex.found) {
            MessageRow(L"No Codex logs on this computer");
        } else if (codex.primary.present) {
            CodexWindowRow(codex.primary);
            if (codex.secondary.present) CodexWindowRow(codex.secondary);
        } else {
            MessageRow(L"No limit data yet. Run Codex once.");
        }
        if (!in_.snapshot.hasUpdate || !codex.found) return;
        for (const CodexBucket& bucket : codex.buckets) {  // a model's own limit, by its name
            WindowLimit(bucket.label, bucket.primary.usedPercent, bucket.primary.resetsAt,
                        int64_t{bucket.primary.windowMinutes} * 60);
        }
    }

    void SettingsPage() {
        const Settings& settings = in_.settings;
        Separator();
        SectionHeading(L"NUMBER ON THE TRAY ICON", S(28));
        // "Highest" is what Auto shows while several logins are: the same choice.
        const int show = settings.show == L"auto" || settings.show == L"highest" ? 0
                         : settings.show == L"claude" ? 1
                         : settings.show == L"codex"  ? 2
                                                      : -1;
        SegmentGroup({kTargetShowAuto, kTargetShowClaude, kTargetShowCodex},
                     {L"Auto", L"Claude", L"Codex"}, show);
        SectionHeading(L"PANEL SIZE", S(28));
        SegmentGroup({kTargetCompact, kTargetNormal, kTargetLarge},
                     {L"Compact", L"Normal", L"Large"}, settings.size);
        if (settings.px != kPanelNeverMoved) {  // dragged somewhere: a way back to the tray
            Button(Box(x_, y_, x_ + w_, y_ + S(30)), kTargetResetPosition, L"Reset position",
                   FontRole::kButton, kMuted, kRaised);
            y_ += S(36);
        }
        SectionHeading(L"SHOW", S(28));
        SwitchRow(kTargetClaudeSection, L"Claude limits", settings.secclaude);
        SwitchRow(kTargetCodexSection, L"Codex limits", settings.seccodex);
        if (ShowsAccounts()) {
            SectionHeading(L"ACCOUNTS", S(28));
            AccountRows();
        }
        SectionHeading(L"BEHAVIOR", S(28));
        if (!ConnectsPerLogin()) {
            SwitchRow(kTargetConnect, L"Live limits from Claude Code",
                      in_.statusLineState == kOwnStatusLine);
        }
        SwitchRow(kTargetKeepOpen, L"Keep open when I click elsewhere", settings.pinned);
        SwitchRow(kTargetAutostart, L"Start with Windows", in_.autostartOn);
        SwitchRow(kTargetAlerts, L"Warn at 80% and 95%", settings.alerts);
        SectionHeading(L"SOURCES", S(28));
        SourceRows();
        SectionHeading(L"HISTORY", S(28));
        HistoryRows();
        y_ += S(8);
        const int32_t bw = (w_ - S(8)) / 2;
        Button(Box(x_, y_, x_ + bw, y_ + S(34)), kTargetBack, L"Back", FontRole::kButton, kInk,
               kText);
        Button(Box(x_ + bw + S(8), y_, x_ + w_, y_ + S(34)), kTargetQuit, L"Quit Tidewell",
               FontRole::kButton, kMuted, kRaised);
        y_ += S(14) + S(34);
    }

    // With one login of each tool the page is as it always was: the SHOW switches hide them.
    bool ShowsAccounts() const {
        const std::vector<AccountUsage>& accounts = in_.snapshot.accounts;
        return CountLogins(accounts, LoginTool::kClaude) > 1 ||
               CountLogins(accounts, LoginTool::kCodex) > 1;
    }

    // With more than one Claude login each one that can be connected has its own switch, in
    // place of the one for the settings.json Claude Code reads by default.
    bool ConnectsPerLogin() const {
        const std::vector<AccountUsage>& accounts = in_.snapshot.accounts;
        return CountLogins(accounts, LoginTool::kClaude) > 1 &&
               std::any_of(accounts.begin(), accounts.end(), [](const AccountUsage& account) {
                   return !LoginSettingsPath(account.login).empty();
               });
    }

    // One row a login, in the snapshot's order: shown and counted, or hidden.
    void AccountRows() {
        const std::vector<AccountUsage>& accounts = in_.snapshot.accounts;
        const bool connects = ConnectsPerLogin();
        for (size_t i = 0; i < accounts.size(); ++i) {
            const int32_t id = LoginTarget(i);
            if (id == kTargetNone) {
                MessageRow(L"and " + std::to_wstring(accounts.size() - i) + L" more");
                return;
            }
            const Login& login = accounts[i].login;
            LoginRow(id, LoginLabel(login), login.where,
                     !IsLoginHidden(in_.settings, LoginFileTag(login.key)));
            if (connects && !LoginSettingsPath(login).empty()) {
                const bool own = i < in_.loginStatusLines.size() &&
                                 in_.loginStatusLines[i] == kOwnStatusLine;
                LoginConnectRow(LoginConnectTarget(i), login.name, own);
            }
        }
    }

    static std::wstring LoginLabel(const Login& login) {
        if (login.name == kDesktopLoginName) return login.name;
        return (login.tool == LoginTool::kClaude ? L"Claude \u00b7 " : L"Codex \u00b7 ") +
               login.name;
    }

    // A switch's track and knob at the right edge, the track's top at `top`.
    void DrawSwitch(int32_t top, bool on) {
        const Palette& p = in_.palette;
        EdgedFill(Box(x_ + w_ - S(36), top, x_ + w_, top + S(16)), on ? kBlue : p.switchOffTrack,
                  on ? kBlue : p.switchOffEdge, S(16));
        const int32_t knob = on ? x_ + w_ - S(14) : x_ + w_ - S(36) + S(2);
        canvas_.FillRoundRect(Box(knob, top + S(2), knob + S(12), top + S(14)),
                              on ? p.knobOn : p.knobOff, S(12));
    }

    // The login's name over where it was found (a long path shortened in the middle).
    void LoginRow(int32_t id, const std::wstring& label, std::wstring_view where, bool on) {
        const PanelRect target = Box(x_ - S(6), y_, x_ + w_ + S(6), y_ + S(44));
        AddTarget(target, id, label, TargetKind::kSwitch, on);
        if (Drawing()) {
            RowHover(target, id);
            const int32_t textRight = x_ + w_ - S(46);
            Text(label, Box(x_, y_ + S(2), textRight, y_ + S(24)), FontRole::kRowLabel, kText,
                 TextAlign::kLeft);
            Text(FitPath(where, textRight - x_), Box(x_, y_ + S(23), textRight, y_ + S(41)),
                 FontRole::kSmall, kDim, TextAlign::kLeft);
            DrawSwitch(y_ + S(14), on);
        }
        y_ += S(48);
    }

    // The login's own Connect, set in under its row.
    void LoginConnectRow(int32_t id, const std::wstring& loginName, bool on) {
        constexpr std::wstring_view kLive = L"Live limits from Claude Code";
        const PanelRect target = Box(x_ + S(6), y_, x_ + w_ + S(6), y_ + S(30));
        AddTarget(target, id, std::wstring(kLive) + L" \u00b7 " + loginName, TargetKind::kSwitch,
                  on);
        if (Drawing()) {
            RowHover(target, id);
            Text(kLive, Box(x_ + S(14), y_, x_ + w_ - S(46), y_ + S(30)), FontRole::kSmall, kMuted,
                 TextAlign::kLeft);
            DrawSwitch(y_ + S(7), on);
        }
        y_ += S(34);
    }

    // Where the figures come from: one line a place (its name, which gives way, and what was
    // read there), a few at most.
    void SourceRows() {
        constexpr size_t kMaxLines = 6;
        const UsageSnapshot& snapshot = in_.snapshot;
        std::vector<std::pair<std::wstring, std::wstring>> rows;
        if (!snapshot.hasUpdate) {
            rows.emplace_back(L"Reading\u2026", L"");
        } else {
            const std::vector<SourceLine> lines =
                ShownSourceLines(snapshot.claude.sources, snapshot.codex.sources);
            for (size_t i = 0; i < lines.size() && i < kMaxLines; ++i) {
                rows.emplace_back(lines[i].name, SourceDetail(lines[i]));
            }
            if (lines.size() > kMaxLines) {
                rows.emplace_back(L"and " + std::to_wstring(lines.size() - kMaxLines) + L" more", L"");
            }
            if (lines.empty()) rows.emplace_back(L"No logs found yet", L"");
        }
        for (const auto& [name, detail] : rows) {
            if (Drawing()) {
                const int32_t dw = canvas_.TextWidth(detail, FontRole::kSmall);
                Text(name, Box(x_, y_, x_ + w_ - dw - S(10), y_ + S(18)), FontRole::kSmall, kMuted,
                     TextAlign::kLeft);
                Text(detail, Box(x_ + w_ - dw, y_, x_ + w_, y_ + S(18)), FontRole::kSmall, kDim,
                     TextAlign::kRightPlain);
            }
            y_ += S(20);
        }
    }

    // The folder of the usage ledgers (the row chooses another), the way back to the data folder
    // once another was chosen, and what the worker says of the ledger: the first read of every
    // log while it runs, a chosen folder it cannot reach.
    void HistoryRows() {
        const std::wstring folder =
            ShownHistoryFolder(in_.settings.historyFolder, std::wstring(in_.dataFolder));
        const PanelRect target = Box(x_ - S(6), y_, x_ + w_ + S(6), y_ + S(44));
        AddTarget(target, kTargetHistoryFolder, L"History folder: " + folder);
        if (Drawing()) {
            RowHover(target, kTargetHistoryFolder);
            constexpr std::wstring_view kChange = L"Change\u2026";
            const int32_t cw = canvas_.TextWidth(kChange, FontRole::kSmall);
            Text(L"History folder", Box(x_, y_ + S(2), x_ + w_ - cw - S(10), y_ + S(24)),
                 FontRole::kRowLabel, kText, TextAlign::kLeft);
            Text(kChange, Box(x_ + w_ - cw, y_ + S(2), x_ + w_, y_ + S(24)), FontRole::kSmall,
                 kMuted, TextAlign::kRightPlain);
            Text(FitPath(folder, w_), Box(x_, y_ + S(23), x_ + w_, y_ + S(41)), FontRole::kSmall,
                 kMuted, TextAlign::kLeft);
        }
        y_ += S(48);
        if (!in_.settings.historyFolder.empty()) {
            Button(Box(x_, y_, x_ + w_, y_ + S(30)), kTargetDefaultHistoryFolder,
                   L"Use the data folder", FontRole::kButton, kMuted, kRaised);
            y_ += S(36);
        }
        const HistoryState& history = in_.snapshot.history;
        if (history.readingHistory) {
            if (Drawing()) {
                Text(FormatHistoryProgress(history.historyBytesRead, history.historyBytesTotal),
                     Box(x_, y_, x_ + w_, y_ + S(18)), FontRole::kSmall, kMuted, TextAlign::kLeft);
            }
            y_ += S(20);
        }
        if (!history.unreachableFolder.empty()) {
            if (Drawing()) {
                constexpr std::wstring_view kCantReach = L"Can't reach ";
                const int32_t lw = canvas_.TextWidth(kCantReach, FontRole::kSmall);
                Text(std::wstring(kCantReach) + FitPath(history.unreachableFolder, w_ - lw),
                     Box(x_, y_, x_ + w_, y_ + S(18)), FontRole::kSmall, kAmber, TextAlign::kLeft);
            }
            y_ += S(20);
        }
    }

    std::wstring FitPath(std::wstring_view path, int32_t width) {
        return FitPathToWidth(path, width, [this](std::wstring_view text) {
            return canvas_.TextWidth(text, FontRole::kSmall);
        });
    }

    Canvas& canvas_;
    const PanelInputs& in_;
    // The theme's colours, under the names the page is drawn with.
    const uint32_t kBackground = in_.palette.background;
    const uint32_t kRaised = in_.palette.raised;
    const uint32_t kHover = in_.palette.hover;
    const uint32_t kTrack = in_.palette.track;
    const uint32_t kDivider = in_.palette.divider;
    const uint32_t kText = in_.palette.text;
    const uint32_t kHoverLight = in_.palette.hoverLight;
    const uint32_t kInk = in_.palette.ink;
    const uint32_t kMuted = in_.palette.muted;
    const uint32_t kDim = in_.palette.dim;
    const uint32_t kBlue = in_.palette.blue;
    const uint32_t kAmber = in_.palette.amber;
    const uint32_t kDanger = in_.palette.danger;
    const PanelScale S;
    const bool measureOnly_;
    const int32_t x_;
    const int32_t w_;
    int32_t y_;
    PanelLayout layout_;
    const std::vector<LoginView> views_;  // the logins the main page shows, pointing into inputs
    bool dim_ = false;                    // the section being drawn is greyed
};

}  // namespace

PanelLayout PaintPanel(Canvas& canvas, const PanelInputs& inputs, int32_t clientWidth,
                       bool measureOnly) {
    return Painter(canvas, inputs, clientWidth, measureOnly).Run();
}

int32_t ClickTargetAt(const PanelLayout& layout, int32_t x, int32_t y) {
    for (const PanelHitTarget& target : layout.targets) {
        if (target.rect.Contains(x, y)) return target.id;
    }
    return kTargetNone;
}

int32_t HoverTargetAt(const PanelLayout& layout, int32_t x, int32_t y) {
    for (auto it = layout.targets.rbegin(); it != layout.targets.rend(); ++it) {
        if (it->rect.Contains(x, y)) return it->id;
    }
    return kTargetNone;
}

int32_t NextFocusTarget(const PanelLayout& layout, int32_t current, int step) {
    const auto& targets = layout.targets;
    if (targets.empty()) return kTargetNone;
    const auto at = std::find_if(targets.begin(), targets.end(),
                                 [&](const PanelHitTarget& t) { return t.id == current; });
    const auto count = static_cast<ptrdiff_t>(targets.size());
    ptrdiff_t index = 0;
    if (at == targets.end()) {
        index = step > 0 ? 0 : count - 1;
    } else {
        index = ((at - targets.begin()) + (step > 0 ? 1 : -1) + count) % count;
    }
    return targets[static_cast<size_t>(index)].id;
}

int32_t FirstFocusTarget(const PanelLayout& layout) {
    for (const PanelHitTarget& target : layout.targets) {
        if (target.rect.top >= layout.headerBottom) return target.id;
    }
    return layout.targets.empty() ? kTargetNone : layout.targets.front().id;
}

const PanelHitTarget* FindTarget(const PanelLayout& layout, int32_t id) {
    if (id == kTargetNone) return nullptr;
    for (const PanelHitTarget& target : layout.targets) {
        if (target.id == id) return &target;
    }
    return nullptr;
}

bool IsDragHandle(const PanelLayout& layout, int32_t x, int32_t y) {
    return y < layout.headerBottom && ClickTargetAt(layout, x, y) == kTargetNone;
}
