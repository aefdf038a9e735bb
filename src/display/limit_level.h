#pragma once

#include <cstdint>

// What a limit's percentage shows and how urgent it looks, one rule for every view: the tray
// icon, the panel, the tooltip, the warnings and the report all show the same whole number, and
// the bars' colour changes exactly where a warning comes.

// The whole number a percentage shows as: rounded half away from zero (94.5 shows 95, 79.6
// shows 80); NaN shows 0; never overflows.
int32_t ShownPercent(double percent);

enum class LimitLevel {
    kNormal,   // below the first warning
    kWarning,  // the 80% warning has come: amber
    kDanger,   // the 95% warning has come: red
};

// The warning thresholds, on the shown number.
inline constexpr int32_t kWarnPercent = 80;
inline constexpr int32_t kDangerPercent = 95;

LimitLevel LevelOfShown(int32_t shown);
inline LimitLevel LevelOfPercent(double percent) { return LevelOfShown(ShownPercent(percent)); }
