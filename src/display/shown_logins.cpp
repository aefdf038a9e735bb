#include "display/shown_logins.h"

#include <algorithm>

#include "display/display_format.h"
#include "display/limit_level.h"
#include "limits/limit_rows.h"

namespace {

bool IsHidden(const std::wstring& tag, const std::vector<std::wstring>& hiddenTags) {
    return std::find(hiddenTags.begin(), hiddenTags.end(), tag) != hiddenTags.end();
}

// A login the discovery found but that holds no figures, no message and no logs (a Codex home
// without sessions, say) gets no section of its own.
bool HasAnythingToShow(const AccountUsage& account) {
    if (account.login.tool == LoginTool::kCodex)
        return account.codex.found || account.codex.primary.present;
    return account.planLimits.hasLimits || !account.planLimits.message.empty() ||
           account.claude.active || account.claude.found || account.login.credentialsPath;
}

LoginView ViewOf(const AccountUsage& account) {
    LoginView view;
    view.tool = account.login.tool;
    view.name = account.login.name;
    view.tag = LoginFileTag(account.login.key);
    view.plan = &account.planLimits;
    view.claude = &account.claude;
    view.maxblock = account.maxblock;
    view.codex = &account.codex;
    view.gone = account.gone;
    return view;
}

void AddTool(const UsageSnapshot& snapshot, LoginTool tool,
             const std::vector<std::wstring>& hiddenTags, std::vector<LoginView>& views) {
    if (CountLogins(snapshot.accounts, tool) <= 1) {
        LoginView view;
        view.tool = tool;
        for (const AccountUsage& account : snapshot.accounts) {
            if (account.login.tool == tool)
                view.tag = LoginFileTag(account.login.key);
        }
        if (!view.tag.empty() && IsHidden(view.tag, hiddenTags))
            return;
        view.plan = &snapshot.planLimits;
        view.claude = &snapshot.claude;
        view.codex = &snapshot.codex;
        views.push_back(view);
        return;
    }
    for (const AccountUsage& account : snapshot.accounts) {
        if (account.login.tool != tool || !HasAnythingToShow(account))
            continue;
        LoginView view = ViewOf(account);
        if (!IsHidden(view.tag, hiddenTags))
            views.push_back(std::move(view));
    }
}

LoginNumber WindowNumber(const CodexWindow& window, std::wstring name) {
    return {window.usedPercent, std::move(name), false, window.resetsAt,
            int64_t{window.windowMinutes} * 60};
}

// Every limit a view shows, its headline first.
std::vector<LoginNumber> NumbersOf(const LoginView& view) {
    std::vector<LoginNumber> numbers;
    if (view.tool == LoginTool::kClaude) {
        if (view.plan->hasLimits && !view.plan->limits.empty()) {
            for (const LimitRow& row : view.plan->limits) {
                numbers.push_back(
                    {row.percent, ShortLimitName(row), false, row.resetsAt, row.windowSeconds});
            }
        } else if (view.claude->active) {
            numbers.push_back(
                {view.claude->percent, L"", true, view.claude->current.end, kBlockSeconds});
        }
        return numbers;
    }
    const CodexLimits& codex = *view.codex;
    if (!codex.primary.present)
        return numbers;
    numbers.push_back(WindowNumber(codex.primary, L""));
    if (codex.secondary.present)
        numbers.push_back(
            WindowNumber(codex.secondary, FormatWindowLabel(codex.secondary.windowMinutes)));
    for (const CodexBucket& bucket : codex.buckets) {
        if (bucket.primary.present)
            numbers.push_back(WindowNumber(bucket.primary, bucket.label));
    }
    return numbers;
}

}  // namespace

std::wstring ShortLimitName(const LimitRow& row) {
    if (row.label == kFiveHourLabel)
        return L"5-hour";
    if (row.label == kWeeklyAllLabel)
        return L"Weekly";
    return row.label;
}

std::vector<LoginView> ShownLogins(const UsageSnapshot& snapshot,
                                   const std::vector<std::wstring>& hiddenTags) {
    std::vector<LoginView> views;
    AddTool(snapshot, LoginTool::kClaude, hiddenTags, views);
    AddTool(snapshot, LoginTool::kCodex, hiddenTags, views);
    return views;
}

bool ShowsSeveralLogins(const std::vector<LoginView>& views) {
    size_t claude = 0, codex = 0;
    for (const LoginView& view : views)
        ++(view.tool == LoginTool::kClaude ? claude : codex);
    return claude > 1 || codex > 1;
}

std::wstring LoginTitle(const LoginView& view) {
    std::wstring title = view.tool == LoginTool::kClaude ? L"Claude" : L"Codex";
    if (!view.name.empty())
        title += L" \u00b7 " + view.name;
    return title;
}

std::optional<LoginNumber> NumberOfLogin(const LoginView& view, bool highest) {
    std::vector<LoginNumber> numbers = NumbersOf(view);
    if (numbers.empty())
        return std::nullopt;
    size_t best = 0;
    if (highest) {
        for (size_t i = 1; i < numbers.size(); ++i) {
            if (ShownPercent(numbers[i].percent) > ShownPercent(numbers[best].percent))
                best = i;
        }
    }
    return std::move(numbers[best]);
}

std::optional<size_t> HighestLogin(const std::vector<LoginView>& views) {
    std::optional<size_t> best;
    int32_t bestShown = 0;
    for (size_t i = 0; i < views.size(); ++i) {
        // The last figures of a login whose folder went away do not drive the icon.
        const std::optional<LoginNumber> number =
            views[i].gone ? std::nullopt : NumberOfLogin(views[i], true);
        if (!number)
            continue;
        const int32_t shown = ShownPercent(number->percent);
        if (!best || shown > bestShown) {
            best = i;
            bestShown = shown;
        }
    }
    return best;
}

std::vector<NumberChoice> LoginNumberChoices(const std::vector<LoginView>& views) {
    std::vector<NumberChoice> choices;
    if (!ShowsSeveralLogins(views))
        return choices;
    for (const LoginView& view : views) {
        if (!view.tag.empty())
            choices.push_back({LoginTitle(view), kLoginShowPrefix + view.tag});
    }
    return choices;
}
