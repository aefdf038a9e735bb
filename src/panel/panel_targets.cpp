#include <algorithm>

#include "panel/panel_layout.h"

TargetChange CompareTargets(const PanelLayout& before, const PanelLayout& after) {
    const auto& a = before.targets;
    const auto& b = after.targets;
    if (a.size() != b.size() || !std::equal(a.begin(), a.end(), b.begin(),
                                            [](const PanelHitTarget& x, const PanelHitTarget& y) {
                                                return x.id == y.id;
                                            })) {
        return TargetChange::kSet;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].checked != b[i].checked)
            return TargetChange::kStates;
    }
    return TargetChange::kNone;
}

const PanelHitTarget* TargetOfChildId(const PanelLayout& layout, long childId) {
    if (childId <= 0 || childId > INT32_MAX)
        return nullptr;
    return FindTarget(layout, static_cast<int32_t>(childId));
}

long NeighbourChildId(const PanelLayout& layout, long childId, int step) {
    const auto& targets = layout.targets;
    const PanelHitTarget* from = TargetOfChildId(layout, childId);
    if (!from)
        return 0;
    const long at = from - targets.data() + step;
    if (at < 0 || at >= static_cast<long>(targets.size()))
        return 0;
    return AccessibleChildId(targets[static_cast<size_t>(at)].id);
}

long EdgeChildId(const PanelLayout& layout, bool last) {
    if (layout.targets.empty())
        return 0;
    return AccessibleChildId(last ? layout.targets.back().id : layout.targets.front().id);
}
