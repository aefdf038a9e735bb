#include "tray/limit_warnings.h"

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/limit_level.h"
#include "display/pace.h"
#include "display/shown_logins.h"

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
                                                        double maxblock, int64_t now,
                                                        const std::vector<std::wstring>& hiddenTags) {
    std::vector<Balloon> balloons;
    const std::vector<LoginView> views = ShownLogins(snapshot, hiddenTags);
    // A tool's one login keeps the keys and titles it always had, so that an update warns no
    // second time in a window; a login of several has its tag before the key and its name in
    // the title.
    const auto check = [&](const LoginView& view) {
        if (view.gone)
            return;  // the last figures of a folder that went away
        const bool named = !view.name.empty();
        const std::wstring keyHead = named ? view.tag + L":" : std::wstring();
        const std::wstring titleHead = named ? LoginTitle(view) + L": " : std::wstring();
        const auto warn = [&](const std::wstring& prefix, double percent, const std::wstring& title,
                              int64_t resetsAt, int64_t windowSeconds) {
            if (auto balloon = WarnIfNeeded(now, keyHead + prefix, percent, titleHead + title,
                                            resetsAt, windowSeconds)) {
                balloons.push_back(std::move(*balloon));
            }
        };
        if (view.tool == LoginTool::kCodex) {
            const CodexLimits& codex = *view.codex;
            const std::wstring tool = named ? L"" : L"Codex ";
            if (codex.primary.present) {
                warn(L"cx1", codex.primary.usedPercent,
                     tool + FormatWindowLabel(codex.primary.windowMinutes), codex.primary.resetsAt,
                     int64_t{codex.primary.windowMinutes} * 60);
            }
            if (codex.secondary.present) {
                warn(L"cx2", codex.secondary.usedPercent,
                     tool + FormatWindowLabel(codex.secondary.windowMinutes),
                     codex.secondary.resetsAt, int64_t{codex.secondary.windowMinutes} * 60);
            }
            return;
        }
        const std::wstring tool = named ? L"" : L"Claude ";
        const double block = view.maxblock >= 0 ? view.maxblock : maxblock;
        if (view.plan->hasLimits) {
            for (const LimitRow& row : view.plan->limits) {
                warn(L"cl" + row.label, row.percent, tool + row.label, row.resetsAt,
                     row.windowSeconds);
            }
        } else if (view.claude->active && block > 0) {
            warn(L"cc", view.claude->percent, L"Claude Code session", view.claude->current.end,
                 kBlockSeconds);
        }
    };
    for (const LoginView& view : views) {
        if (view.tool == LoginTool::kCodex)
            check(view);
    }
    for (const LoginView& view : views) {
        if (view.tool == LoginTool::kClaude)
            check(view);
    }
    return balloons;
}
