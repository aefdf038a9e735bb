#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <vector>

#include "display/shown_logins.h"
#include "display/usage_snapshot.h"

// The tooltip before the first figures arrive.
inline constexpr wchar_t kReadingTooltip[] = L"Tidewell \u00b7 reading logs\u2026";

// Whose number the tray icon shows, and which of its limits.
struct TrayNumber {
    std::optional<double> percent;  // nothing: the icon shows no number
    std::optional<size_t> view;     // the index among the shown logins it comes from
    bool highest = false;           // the view's highest limit, not its first
};

// The number under the `show` setting, among the shown logins (ShownLogins):
// - "claude" / "codex": the first Claude / Codex login that has figures, its first limit
//   ("claude" falls back to Codex);
// - "login:<tag>": that login's first limit (nothing while it has no figures); a tag no longer
//   shown acts as "auto";
// - "highest", and "auto" while some tool shows more than one login: the highest limit of any
//   login (HighestLogin);
// - "auto" otherwise (any other value too): whichever tool was used last.
TrayNumber ChooseTrayNumber(const std::vector<LoginView>& views, const std::wstring& show);

// The percent the tray icon shows (ChooseTrayNumber over the logins not hidden), or nothing.
std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show,
                                        const std::vector<std::wstring>& hiddenTags = {});

// The characters of tooltip text the shell keeps (its field holds 128 with the terminating zero).
inline constexpr size_t kTooltipMaxChars = 127;

// The tray tooltip: "Tidewell", then the Claude, Codex and no-session lines as they apply, in at
// most kTooltipMaxChars (the less important parts give way, whole); the reading text until the
// first figures arrive. Percentages are the shown whole numbers (ShownPercent); a limit whose
// reset time is not known says nothing of its reset.
//
// While some tool shows more than one login, one line per shown login instead ("Claude · work
// 5-hour: 42%, resets in 2h 05m", "Codex · personal: 10%", "Claude · me: no data"), the login
// whose number the icon shows first; under "Highest" each line names the login's highest limit.
// Too long, these give way in this order until the text fits: every ", out at …" part; the
// ", resets in …" parts, from the last line up; names longer than 12 characters, cut to 11 and
// "…"; then whole lines from the end (never the first), replaced by "+N more".
std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now,
                              const std::wstring& show = L"auto",
                              const std::vector<std::wstring>& hiddenTags = {});
