#include "panel/panel_placement.h"

#include <algorithm>

namespace {

// The point the panel opens beside: the icon's top centre when the shell says where the icon is,
// else where the user clicked it.
PanelPoint OpeningAnchor(const PlacementRequest& request) {
    if (request.iconRect && request.iconRect->right > request.iconRect->left) {
        return {(request.iconRect->left + request.iconRect->right) / 2, request.iconRect->top};
    }
    return request.cursor;
}

bool InUpperHalf(PanelPoint point, const PanelRect& work) {
    return point.y < (work.top + work.bottom) / 2;
}

}  // namespace

bool OpensHangingFromTop(const PlacementRequest& request, const WorkAreaNear& workAreaNear) {
    if (request.remembered) return true;
    const PanelPoint anchor = OpeningAnchor(request);
    return InUpperHalf(anchor, workAreaNear(anchor));
}

PanelRect PlacePanelRect(const PlacementRequest& request, const WorkAreaNear& workAreaNear) {
    const int32_t width = request.width;
    const int32_t height = request.height;
    int32_t left = 0;
    int32_t top = 0;
    if (!request.opening) {
        left = request.current.left;
        top = request.keepTop ? request.current.top : request.current.bottom - height;
    } else if (request.remembered) {
        left = request.remembered->x;
        top = request.remembered->y;
    } else {
        const PanelPoint anchor = OpeningAnchor(request);
        const PanelRect work = workAreaNear(anchor);
        left = anchor.x - width / 2;
        left = std::min(work.right - width - request.margin,
                        std::max(left, work.left + request.margin));
        top = InUpperHalf(anchor, work) ? work.top + request.margin
                                        : work.bottom - height - request.margin;
    }
    const PanelRect work = workAreaNear({left + width / 2, top + height / 2});
    const int32_t x = std::max(work.left, std::min(left, work.right - width));
    const int32_t y = std::max(work.top, std::min(top, work.bottom - height));
    return {x, y, x + width, y + height};
}

std::optional<PanelPoint> MovedTo(const PanelRect& before, const PanelRect& after) {
    if (after.left == before.left && after.top == before.top)
        return std::nullopt;
    return PanelPoint{after.left, after.top};
}
