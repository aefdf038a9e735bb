#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "display/usage_snapshot.h"

// The tooltip before the first figures arrive.
inline constexpr wchar_t kReadingTooltip[] = L"Tidewell \u00b7 reading logs\u2026";

// The percent the tray icon shows under the `show` setting ("auto", "claude" or "codex"; any
// other value acts as "auto"), or nothing.
std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show);

// The characters of tooltip text the shell keeps (its field holds 128 with the terminating zero).
inline constexpr size_t kTooltipMaxChars = 127;

// The tray tooltip: "Tidewell", then the Claude, Codex and no-session lines as they apply, in at
// most kTooltipMaxChars (the less important parts give way, whole); the reading text until the
// first figures arrive. Percentages are the shown whole numbers (ShownPercent); a limit whose
// reset time is not known says nothing of its reset.
std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now);
