#include "display/limit_level.h"

#include "display/display_format.h"

int32_t ShownPercent(double percent) { return RoundPercent(percent); }

LimitLevel LevelOfShown(int32_t shown) {
    if (shown >= kDangerPercent) return LimitLevel::kDanger;
    if (shown >= kWarnPercent) return LimitLevel::kWarning;
    return LimitLevel::kNormal;
}
