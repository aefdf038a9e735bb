#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "display/usage_snapshot.h"

// The tooltip before the first figures arrive.
inline constexpr wchar_t kReadingTooltip[] = L"Tidewell \u00b7 reading logs\u2026";

// The percent the tray icon shows under the `show` setting ("auto", "claude" or "codex"; any
// other value acts as "auto"), or nothing.
std::optional<double> ChooseTrayPercent(const UsageSnapshot& snapshot, const std::wstring& show);

// The tray tooltip: "Tidewell", then the Claude, Codex and no-session lines as they apply; the
// reading text until the first figures arrive.
std::wstring BuildTrayTooltip(const UsageSnapshot& snapshot, int64_t now);
