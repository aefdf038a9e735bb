#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/usage_snapshot.h"

// One group of figures the views show: a login's own, or, where a tool has at most one login,
// the snapshot's one-login picture, which the views show exactly as they always have.
struct LoginView {
    LoginTool tool = LoginTool::kClaude;
    // Empty for the one-login picture (its section reads "CLAUDE" as ever), else the login's name.
    std::wstring name;
    // LoginFileTag of the login's key; empty for a tool that has no login at all.
    std::wstring tag;
    const PlanLimits* plan = nullptr;          // Claude
    const ClaudeLogSummary* claude = nullptr;  // Claude
    // Claude: the estimate's 100%; below 0 for the one-login picture, which keeps the setting's.
    double maxblock = -1;
    const CodexLimits* codex = nullptr;  // Codex
    bool gone = false;                   // its last figures, shown greyed
};

// The views in the settings page's order, Claude's first: per tool, the one-login picture when
// the tool has at most one login (none when that login is hidden), else each login whose tag is
// not in `hiddenTags` and that has anything to show. The views point into `snapshot`.
std::vector<LoginView> ShownLogins(const UsageSnapshot& snapshot,
                                   const std::vector<std::wstring>& hiddenTags);

// True when some tool shows more than one login: the tray's number, tooltip and menu then speak
// of accounts.
bool ShowsSeveralLogins(const std::vector<LoginView>& views);

// "Claude · work", "Codex · personal"; "Claude" or "Codex" for the one-login picture.
std::wstring LoginTitle(const LoginView& view);

// A plan row's name on a line of the tooltip: its window, or its label when that is all there is.
std::wstring ShortLimitName(const LimitRow& row);

// A login's number for the tray: what it counts with and what the tooltip says of it.
struct LoginNumber {
    double percent = 0;
    std::wstring limitName;  // "5-hour", "Weekly", a row's label; empty for Codex and the estimate
    bool estimate = false;   // Claude's estimate from its logs
    int64_t resetsAt = 0;    // 0: not known
    int64_t windowSeconds = 0;
};

// The view's number: its first limit (Claude's first plan row, else its running estimate;
// Codex's primary window) or, with `highest`, the highest of every limit it shows (ties to the
// first). Nothing for a view with no figures.
std::optional<LoginNumber> NumberOfLogin(const LoginView& view, bool highest);

// The index among `views` of the one with the highest number (compared as shown, whole
// percents; ties to the first), or nothing when none has a number. A gone login does not count.
std::optional<size_t> HighestLogin(const std::vector<LoginView>& views);

// One login's item in the tray menu's number choice.
struct NumberChoice {
    std::wstring label;  // "Claude · work"
    std::wstring show;   // the `show` setting it stores: "login:<tag>"
    friend bool operator==(const NumberChoice&, const NumberChoice&) = default;
};

// One choice per shown login while some tool shows more than one (the menu then offers
// "Highest" too); else none, and the menu is as it always was.
std::vector<NumberChoice> LoginNumberChoices(const std::vector<LoginView>& views);

// The `show` value that names one login.
inline constexpr wchar_t kLoginShowPrefix[] = L"login:";
inline constexpr wchar_t kHighestShow[] = L"highest";
