#pragma once

#include <cstdint>
#include <string>

// How a limit's use compares with the time gone by in its window, and when it runs out at the
// rate so far.
struct Pace {
    bool known = false;    // the window's length and reset are known and the window is running
    double elapsed = 0;    // the share of the window gone by, 0-1 (where the bar's tick goes)
    int64_t runOutAt = 0;  // when the straight line reaches 100%, if before the reset; else 0
    friend bool operator==(const Pace&, const Pace&) = default;
};

// A run-out time is given once this share of the window has gone by; earlier, a few minutes of
// work would project wildly. (A run-out needs more used than gone by, so past this floor a
// limit runs out early only above 10%: a floor on the percent would decide nothing.)
inline constexpr double kPaceMinElapsed = 0.10;

// The pace of a limit at `percent` (0-100) whose window of `windowSeconds` ends at `resetsAt`
// (Unix seconds), at `now`. Unknown (no tick, no run-out) when either is 0 or the window is not
// running at `now`; no run-out for a limit already used up.
Pace PaceOf(double percent, int64_t resetsAt, int64_t windowSeconds, int64_t now);

// "15:40" (the local clock time), with the day name when it is more than 24 hours after `now`
// ("Tue 09:15").
std::wstring FormatRunOutTime(int64_t runOutAt, int64_t now);

// "Out at " and that time: the row's text in place of its reset.
std::wstring FormatRunOutLabel(int64_t runOutAt, int64_t now);
