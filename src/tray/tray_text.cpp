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

std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show) {
    std::optional<double> claude, codex;
    if (snapshot.planLimits.hasLimits && !snapshot.planLimits.limits.empty()) {
        claude = snapshot.planLimits.limits.front().percent;
    } else if (snapshot.claude.active) {
        claude = snapshot.claude.percent;
    }
    if (snapshot.codex.primary.present) {
        codex = snapshot.codex.primary.usedPercent;
    }
    if (show == L"codex") return codex;
    if (show == L"claude") return claude ? claude : codex;
    if (claude && codex) {
        return snapshot.codex.updatedAt > snapshot.claude.current.lastMessageAt ? codex : claude;
    }
    return claude ? claude : codex;
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

// The first row's name on its line: its window, or its label when that is all there is.
std::wstring TooltipRowName(const LimitRow& row) {
    if (row.label == kFiveHourLabel)
        return L"5-hour";
    if (row.label == kWeeklyAllLabel)
        return L"Weekly";
    return row.label;
}

}  // namespace

std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now) {
    if (!snapshot.hasUpdate) return kReadingTooltip;
    std::vector<TipLine> lines;
    const PlanLimits& plan = snapshot.planLimits;
    if (plan.hasLimits && !plan.limits.empty()) {
        const LimitRow& first = plan.limits.front();
        lines.push_back(
            {L"Claude " + TooltipRowName(first) + L": " + PercentText(first.percent) +
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
    } else if (snapshot.claude.active) {
        lines.push_back({L"Claude Code: " + PercentText(snapshot.claude.percent) + L" (estimate)",
                         RunOutSuffix(PaceOf(snapshot.claude.percent, snapshot.claude.current.end,
                                             kBlockSeconds, now),
                                      now),
                         kNever});
    }
    const CodexWindow& primary = snapshot.codex.primary;
    if (primary.present) {
        lines.push_back(
            {L"Codex: " + PercentText(primary.usedPercent) + ResetsInSuffix(primary.resetsAt, now),
             RunOutSuffix(PaceOf(primary.usedPercent, primary.resetsAt,
                                 int64_t{primary.windowMinutes} * 60, now),
                          now),
             kNever});
    }
    if (!snapshot.claude.active && !primary.present) {
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
