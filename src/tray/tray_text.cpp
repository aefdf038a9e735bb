#include "tray/tray_text.h"

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/pace.h"

namespace {

// ", out at 15:40" when the limit runs out before its reset at the pace so far, else nothing.
std::wstring RunOutSuffix(const Pace& pace, int64_t now) {
    return pace.runOutAt ? L", out at " + FormatRunOutTime(pace.runOutAt, now) : std::wstring();
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

std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now) {
    if (!snapshot.hasUpdate) return kReadingTooltip;
    std::wstring tip = L"Tidewell";
    const PlanLimits& plan = snapshot.planLimits;
    if (plan.hasLimits && !plan.limits.empty()) {
        const LimitRow& first = plan.limits.front();
        tip += L"\nClaude 5-hour: " + std::to_wstring(RoundPercent(first.percent)) +
               L"%, resets in " + FormatDuration(SaturatingAdd(first.resetsAt, -now)) +
               RunOutSuffix(PaceOf(first.percent, first.resetsAt, LimitWindowSeconds(first.label),
                                   now),
                            now);
        for (const LimitRow& row : plan.limits) {  // the limit that binds, when another one
            if (row.binding && &row != &first) {
                tip += L"\n" + row.label + L": " + std::to_wstring(RoundPercent(row.percent)) +
                       L"%, binding" +
                       RunOutSuffix(PaceOf(row.percent, row.resetsAt, LimitWindowSeconds(row.label),
                                           now),
                                    now);
            }
        }
        if (plan.extra.enabled) tip += L"\nExtra usage: " + FormatExtraUsage(plan.extra);
    } else if (snapshot.claude.active) {
        tip += L"\nClaude Code: " + std::to_wstring(TruncatePercent(snapshot.claude.percent)) +
               L"% (estimate)" +
               RunOutSuffix(PaceOf(snapshot.claude.percent, snapshot.claude.current.end,
                                   kBlockSeconds, now),
                            now);
    }
    const CodexWindow& primary = snapshot.codex.primary;
    if (primary.present) {
        tip += L"\nCodex: " + std::to_wstring(TruncatePercent(primary.usedPercent)) +
               L"%, resets in " + FormatDuration(SaturatingAdd(primary.resetsAt, -now)) +
               RunOutSuffix(PaceOf(primary.usedPercent, primary.resetsAt,
                                   int64_t{primary.windowMinutes} * 60, now),
                            now);
    }
    if (!snapshot.claude.active && !primary.present) {
        tip += L"\nNo active session";
    }
    return tip;
}
