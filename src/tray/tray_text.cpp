#include "tray/tray_text.h"

#include <vector>

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/limit_level.h"
#include "display/pace.h"

namespace {

// ", out at 15:40" when the limit runs out before its reset at the pace so far, else nothing.
std::wstring RunOutSuffix(const Pace& pace, int64_t now) {
    return pace.runOutAt ? L", out at " + FormatRunOutTime(pace.runOutAt, now) : std::wstring();
}

// "43%", the number every view shows for the percentage.
std::wstring PercentText(double percent) {
    return std::to_wstring(ShownPercent(percent)) + L"%";
}

// ", resets in 2h 05m", or nothing when the reset time is not known (0); one already past reads
// "0m".
std::wstring ResetsInSuffix(int64_t resetsAt, int64_t now) {
    if (resetsAt == 0)
        return {};
    return L", resets in " + FormatDuration(SaturatingAdd(resetsAt, -now));
}

}  // namespace

namespace {

// The first shown login of `tool` that has figures.
std::optional<size_t> FirstWithNumber(const std::vector<LoginView>& views, LoginTool tool) {
    for (size_t i = 0; i < views.size(); ++i) {
        if (views[i].tool == tool && NumberOfLogin(views[i], false))
            return i;
    }
    return std::nullopt;
}

std::optional<size_t> ChooseView(const std::vector<LoginView>& views, const std::wstring& show,
                                 bool& highest) {
    highest = false;
    if (show.starts_with(kLoginShowPrefix)) {
        const std::wstring tag = show.substr(std::char_traits<wchar_t>::length(kLoginShowPrefix));
        for (size_t i = 0; i < views.size(); ++i) {
            if (!tag.empty() && views[i].tag == tag)
                return i;
        }
        return ChooseView(views, L"auto", highest);  // a login since hidden or gone
    }
    const std::optional<size_t> claude = FirstWithNumber(views, LoginTool::kClaude);
    const std::optional<size_t> codex = FirstWithNumber(views, LoginTool::kCodex);
    if (show == L"codex") return codex;
    if (show == L"claude") return claude ? claude : codex;
    if (show == kHighestShow || ShowsSeveralLogins(views)) {
        highest = true;
        return HighestLogin(views);
    }
    if (claude && codex) {
        const int64_t codexAt = views[*codex].codex->updatedAt;
        return codexAt > views[*claude].claude->current.lastMessageAt ? codex : claude;
    }
    return claude ? claude : codex;
}

}  // namespace

TrayNumber ChooseTrayNumber(const std::vector<LoginView>& views, const std::wstring& show) {
    TrayNumber chosen;
    chosen.view = ChooseView(views, show, chosen.highest);
    if (chosen.view) {
        if (const auto number = NumberOfLogin(views[*chosen.view], chosen.highest))
            chosen.percent = number->percent;
    }
    return chosen;
}

std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show,
                                        const std::vector<std::wstring>& hiddenTags) {
    return ChooseTrayNumber(ShownLogins(snapshot, hiddenTags), show).percent;
}

namespace {

// What gives way, in this order, when the tooltip would not fit the shell's 127 characters:
// first the ", out at …" parts of every line, then the extra-usage line, then the lines of a
// binding limit other than the first row, then "No active session". The first Claude row (or
// the estimate) and the Codex line, each tool's headline figure, stay; only a line that cannot
// fit even then (a row label of unusual length) is left out, whole. A line is never cut.
enum GivesWay { kRunOutParts = 1, kExtraLine, kBindingLines, kNoSessionLine, kNever };

struct TipLine {
    std::wstring text;
    std::wstring runOut;  // ", out at 15:40", or empty
    int givesWay;         // the step from which the whole line is left out
};

std::wstring JoinLines(const std::vector<TipLine>& lines, int step) {
    std::wstring tip = L"Tidewell";
    for (const TipLine& line : lines) {
        if (line.givesWay <= step)
            continue;
        tip += L"\n" + line.text;
        if (step < kRunOutParts)
            tip += line.runOut;
    }
    return tip;
}

}  // namespace

// One line for each tool's figures, as the tooltip has always read.
std::wstring OneLoginPerTool(const PlanLimits& plan, const ClaudeLogSummary& claude,
                             const CodexLimits& codex, int64_t now) {
    std::vector<TipLine> lines;
    if (plan.hasLimits && !plan.limits.empty()) {
        const LimitRow& first = plan.limits.front();
        lines.push_back(
            {L"Claude " + ShortLimitName(first) + L": " + PercentText(first.percent) +
                 ResetsInSuffix(first.resetsAt, now),
             RunOutSuffix(PaceOf(first.percent, first.resetsAt, first.windowSeconds, now), now),
             kNever});
        for (const LimitRow& row : plan.limits) {  // the limit that binds, when another one
            if (row.binding && &row != &first) {
                lines.push_back(
                    {row.label + L": " + PercentText(row.percent) + L", binding",
                     RunOutSuffix(PaceOf(row.percent, row.resetsAt, row.windowSeconds, now), now),
                     kBindingLines});
            }
        }
        if (plan.extra.enabled) {
            lines.push_back({L"Extra usage: " + FormatExtraUsage(plan.extra), {}, kExtraLine});
        }
    } else if (claude.active) {
        lines.push_back(
            {L"Claude Code: " + PercentText(claude.percent) + L" (estimate)",
             RunOutSuffix(PaceOf(claude.percent, claude.current.end, kBlockSeconds, now), now),
             kNever});
    }
    const CodexWindow& primary = codex.primary;
    if (primary.present) {
        lines.push_back(
            {L"Codex: " + PercentText(primary.usedPercent) + ResetsInSuffix(primary.resetsAt, now),
             RunOutSuffix(PaceOf(primary.usedPercent, primary.resetsAt,
                                 int64_t{primary.windowMinutes} * 60, now),
                          now),
             kNever});
    }
    if (!claude.active && !primary.present) {
        lines.push_back({L"No active session", {}, kNoSessionLine});
    }
    for (int step = 0; step < kNever; ++step) {
        std::wstring tip = JoinLines(lines, step);
        if (tip.size() <= kTooltipMaxChars)
            return tip;
    }
    std::wstring tip = L"Tidewell";
    for (const TipLine& line : lines) {
        if (line.givesWay == kNever && tip.size() + 1 + line.text.size() <= kTooltipMaxChars) {
            tip += L"\n" + line.text;
        }
    }
    return tip;
}

namespace {

constexpr size_t kTooltipNameChars = 12;

// One login's line in its parts, so that each can give way.
struct LoginLine {
    std::wstring tool;     // "Claude", "Codex"
    std::wstring name;     // the login's
    std::wstring figures;  // " 5-hour: 42%", ": 57% (estimate)", ": no data"
    std::wstring resets;   // ", resets in 2h 05m", or empty
    std::wstring runOut;   // ", out at 15:40", or empty
};

LoginLine LineOf(const LoginView& view, bool highest, int64_t now) {
    LoginLine line{view.tool == LoginTool::kClaude ? L"Claude" : L"Codex", view.name, {}, {}, {}};
    const std::optional<LoginNumber> number = NumberOfLogin(view, highest);
    if (!number) {
        line.figures = L": no data";
        return line;
    }
    line.figures = (number->limitName.empty() ? L"" : L" " + number->limitName) + L": " +
                   PercentText(number->percent) + (number->estimate ? L" (estimate)" : L"");
    line.resets = number->estimate ? std::wstring() : ResetsInSuffix(number->resetsAt, now);
    line.runOut = RunOutSuffix(
        PaceOf(number->percent, number->resetsAt, number->windowSeconds, now), now);
    return line;
}

std::wstring ShortName(const std::wstring& name) {
    if (name.size() <= kTooltipNameChars)
        return name;
    size_t keep = kTooltipNameChars - 1;
    if (name[keep - 1] >= 0xD800 && name[keep - 1] <= 0xDBFF)
        --keep;  // never half a surrogate pair
    return name.substr(0, keep) + L"\u2026";
}

// The tooltip of `lines` with the first `shown` of them, the rest counted as "+N more".
std::wstring JoinLoginLines(const std::vector<LoginLine>& lines, size_t shown, bool runOuts,
                            size_t resetsKept, bool shortNames) {
    std::wstring tip = L"Tidewell";
    for (size_t i = 0; i < shown; ++i) {
        const LoginLine& line = lines[i];
        tip += L"\n" + line.tool;
        if (!line.name.empty())  // a tool with one login reads as it always has
            tip += L" \u00b7 " + (shortNames ? ShortName(line.name) : line.name);
        tip += line.figures;
        if (i < resetsKept)
            tip += line.resets;
        if (runOuts)
            tip += line.runOut;
    }
    if (shown < lines.size())
        tip += L"\n+" + std::to_wstring(lines.size() - shown) + L" more";
    return tip;
}

std::wstring SeveralLogins(const std::vector<LoginView>& views, int64_t now,
                           const std::wstring& show) {
    const TrayNumber chosen = ChooseTrayNumber(views, show);
    std::vector<LoginLine> lines;
    if (chosen.view)
        lines.push_back(LineOf(views[*chosen.view], chosen.highest, now));
    for (size_t i = 0; i < views.size(); ++i) {
        if (i != chosen.view)
            lines.push_back(LineOf(views[i], chosen.highest, now));
    }
    const size_t count = lines.size();
    std::wstring tip = JoinLoginLines(lines, count, true, count, false);
    if (tip.size() <= kTooltipMaxChars)
        return tip;
    for (size_t kept = count + 1; kept-- > 0;) {
        tip = JoinLoginLines(lines, count, false, kept, false);
        if (tip.size() <= kTooltipMaxChars)
            return tip;
    }
    for (size_t shown = count; shown > 0; --shown) {
        tip = JoinLoginLines(lines, shown, false, 0, true);
        if (tip.size() <= kTooltipMaxChars)
            return tip;
    }
    return JoinLoginLines(lines, 0, false, 0, true);
}

}  // namespace

std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now, const std::wstring& show,
                              const std::vector<std::wstring>& hiddenTags) {
    if (!snapshot.hasUpdate) return kReadingTooltip;
    const std::vector<LoginView> views = ShownLogins(snapshot, hiddenTags);
    if (ShowsSeveralLogins(views))
        return SeveralLogins(views, now, show);
    // A tool whose only login is hidden says nothing.
    static const PlanLimits kNoPlan;
    static const ClaudeLogSummary kNoLogs;
    static const CodexLimits kNoCodex;
    const PlanLimits* plan = &kNoPlan;
    const ClaudeLogSummary* claude = &kNoLogs;
    const CodexLimits* codex = &kNoCodex;
    for (const LoginView& view : views) {
        if (view.tool == LoginTool::kClaude) {
            plan = view.plan;
            claude = view.claude;
        } else {
            codex = view.codex;
        }
    }
    return OneLoginPerTool(*plan, *claude, *codex, now);
}
