#pragma once

#include <cstdint>
#include <string>

#include "limits/limit_rows.h"

// The short English texts shown for the program's numbers, shared by the tray, the panel, the
// warnings and the report.

// "" for an unknown (0) reset time, "Resetting…" once it has passed, otherwise "Resets " and the
// local clock time (under 20 hours ahead), the day name and clock time (under 6 days), or the
// day and month. `now` is the current time in Unix seconds.
std::wstring FormatResetLabelAt(int64_t resetsAt, int64_t now);
// The same against the system clock.
std::wstring FormatResetLabel(int64_t resetsAt);

// "1.2M", "46k" or "950": thresholds on the exact value, printf rounding after (999999 -> "1000k").
std::wstring FormatTokenCount(double tokens);

// "0m" for negative spans, "59m", "47h 59m" (hours up to 47), then "2d 0h".
std::wstring FormatDuration(int64_t seconds);

// "Current window", "Weekly", "1-day window", "90-minute window" or "5-hour window", for the
// nominal length.
std::wstring FormatWindowLabel(int32_t minutes);

// 300 for 297-303 minutes, 10080 for 9980-10180 (within 1%), any other length as it is.
int32_t NominalWindowMinutes(int32_t minutes);

// The percent rounded half away from zero, as "90%".
std::wstring FormatPercent(double percent);

// A percent rounded half away from zero, and truncated toward zero, as whole numbers that never
// overflow (NaN gives 0).
int32_t RoundPercent(double percent);
int32_t TruncatePercent(double percent);

// Extra usage spent and its monthly cap in dollars, "$12.40 of $50.00", or the spending alone
// ("$12.40") when there is no cap.
std::wstring FormatExtraUsage(const ExtraUsage& extra);
