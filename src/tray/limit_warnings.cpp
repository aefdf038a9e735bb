#include "tray/limit_warnings.h"

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/pace.h"

int64_t ResetBucket(int64_t resetsAt) {
    const int64_t shifted = SaturatingAdd(resetsAt, 300);
    return shifted >= 0 ? shifted / 600 : -((599 - shifted) / 600);  // rounds down
}

std::optional<Balloon> WarningTracker::WarnIfNeeded(int64_t now, const std::wstring& keyPrefix,
                                                    double percent, const std::wstring& titleLabel,
                                                    int64_t resetsAt, int64_t windowSeconds) {
    const int level = percent >= 95 ? 95 : percent >= 80 ? 80 : 0;
    if (level == 0) {
        return std::nullopt;
    }
    const std::wstring key = keyPrefix + L":" + std::to_wstring(level) + L":" +
                             std::to_wstring(ResetBucket(resetsAt));
    if (!shown_.insert(key).second) {
        return std::nullopt;
    }
    std::wstring text = L"Resets in " + FormatDuration(SaturatingAdd(resetsAt, -now)) + L".";
    const Pace pace = PaceOf(percent, resetsAt, windowSeconds, now);
    if (pace.runOutAt) text += L" At this pace: out at " + FormatRunOutTime(pace.runOutAt, now) + L".";
    return Balloon{titleLabel + L" at " + std::to_wstring(TruncatePercent(percent)) + L"%",
                   std::move(text)};
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
