#include "tray/limit_warnings.h"

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/limit_level.h"
#include "display/pace.h"

int64_t ResetBucket(int64_t resetsAt) {
    const int64_t shifted = SaturatingAdd(resetsAt, 300);
    return shifted >= 0 ? shifted / 600 : -((599 - shifted) / 600);  // rounds down
}

namespace {

// "Resets in 1h 12m." and, on course to run out first, when. With no known reset time (0) the
// balloon says nothing of a reset; since the shell drops a balloon without text, it then names
// the warning that came ("Warning at 80%.").
std::wstring WarningText(int64_t now, int32_t level, int64_t resetsAt, const Pace& pace) {
    if (resetsAt == 0)
        return L"Warning at " + std::to_wstring(level) + L"%.";
    std::wstring text = L"Resets in " + FormatDuration(SaturatingAdd(resetsAt, -now)) + L".";
    if (pace.runOutAt)
        text += L" At this pace: out at " + FormatRunOutTime(pace.runOutAt, now) + L".";
    return text;
}

}  // namespace

std::optional<Balloon> WarningTracker::WarnIfNeeded(int64_t now, const std::wstring& keyPrefix,
                                                    double percent, const std::wstring& titleLabel,
                                                    int64_t resetsAt, int64_t windowSeconds) {
    // Due on the number the icon, the panel and the tooltip show, so that 79.5 (shown as 80)
    // warns and the bars turn amber and red at the same moments.
    const int32_t shown = ShownPercent(percent);
    const LimitLevel limitLevel = LevelOfShown(shown);
    if (limitLevel == LimitLevel::kNormal) {
        return std::nullopt;
    }
    const int32_t level = limitLevel == LimitLevel::kDanger ? kDangerPercent : kWarnPercent;
    const std::wstring key = keyPrefix + L":" + std::to_wstring(level) + L":" +
                             std::to_wstring(ResetBucket(resetsAt));
    if (!shown_.insert(key).second) {
        return std::nullopt;
    }
    return Balloon{
        titleLabel + L" at " + std::to_wstring(shown) + L"%",
        WarningText(now, level, resetsAt, PaceOf(percent, resetsAt, windowSeconds, now))};
}

std::vector<Balloon> WarningTracker::CheckLimitWarnings(const UsageSnapshot& snapshot,
                                                        double maxblock, int64_t now) {
    std::vector<Balloon> balloons;
    const auto warn = [&](const std::wstring& prefix, double percent, const std::wstring& title,
                          int64_t resetsAt, int64_t windowSeconds) {
        if (auto balloon = WarnIfNeeded(now, prefix, percent, title, resetsAt, windowSeconds)) {
            balloons.push_back(std::move(*balloon));
        }
    };
    const CodexLimits& codex = snapshot.codex;
    if (codex.primary.present) {
        warn(L"cx1", codex.primary.usedPercent, L"Codex " + FormatWindowLabel(codex.primary.windowMinutes),
             codex.primary.resetsAt, int64_t{codex.primary.windowMinutes} * 60);
    }
    if (codex.secondary.present) {
        warn(L"cx2", codex.secondary.usedPercent,
             L"Codex " + FormatWindowLabel(codex.secondary.windowMinutes), codex.secondary.resetsAt,
             int64_t{codex.secondary.windowMinutes} * 60);
    }
    if (snapshot.planLimits.hasLimits) {
        for (const LimitRow& row : snapshot.planLimits.limits) {
            warn(L"cl" + row.label, row.percent, L"Claude " + row.label, row.resetsAt,
                 row.windowSeconds);
        }
    } else if (snapshot.claude.active && maxblock > 0) {
        warn(L"cc", snapshot.claude.percent, L"Claude Code session", snapshot.claude.current.end,
             kBlockSeconds);
    }
    return balloons;
}
