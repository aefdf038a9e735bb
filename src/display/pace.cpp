#include "display/pace.h"

#include <cmath>

#include "platform/local_time.h"

Pace PaceOf(double percent, int64_t resetsAt, int64_t windowSeconds, int64_t now) {
    Pace pace;
    if (resetsAt <= 0 || windowSeconds <= 0 || resetsAt <= now || !std::isfinite(percent)) {
        return pace;
    }
    const int64_t left = resetsAt - now;
    if (left > windowSeconds) return pace;  // a reset further off than a window: not this window
    const int64_t gone = windowSeconds - left;
    pace.known = true;
    pace.elapsed = static_cast<double>(gone) / static_cast<double>(windowSeconds);
    if (pace.elapsed < kPaceMinElapsed || percent >= 100)
        return pace;
    // At the rate so far, 100% is reached this long after the window's start; before the reset
    // only when more is used than has gone by (over 10% once the floor above is passed), so no
    // floor on the percent is needed.
    const double toFull = static_cast<double>(gone) * 100 / percent;
    const int64_t start = resetsAt - windowSeconds;
    if (toFull < static_cast<double>(windowSeconds)) {
        pace.runOutAt = start + static_cast<int64_t>(std::floor(toFull));
    }
    return pace;
}

std::wstring FormatRunOutTime(int64_t runOutAt, int64_t now) {
    if (runOutAt - now > 86400) {
        return FormatLocalDayName(runOutAt) + L" " + FormatLocalClockTime(runOutAt);
    }
    return FormatLocalClockTime(runOutAt);
}

std::wstring FormatRunOutLabel(int64_t runOutAt, int64_t now) {
    return L"Out at " + FormatRunOutTime(runOutAt, now);
}
