#include "panel/panel_placement.h"

#include <algorithm>

#include "panel/panel_scroll.h"

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
    // The work area the panel goes to decides how tall it may be: a longer page scrolls.
    PanelPoint near{};
    if (!request.opening) {
        near = {request.current.left + width / 2,
                (request.current.top + request.current.bottom) / 2};
    } else if (request.remembered) {
        // Its top edge: half of a tall page's height could reach a monitor below.
        near = {request.remembered->x + width / 2, request.remembered->y};
    } else {
        near = OpeningAnchor(request);
    }
    const PanelRect firstWork = workAreaNear(near);
    int32_t height = FitHeight(request.height, firstWork.bottom - firstWork.top, request.margin);
    int32_t left = 0;
    int32_t top = 0;
    if (!request.opening) {
        left = request.current.left;
        top = request.keepTop ? request.current.top : request.current.bottom - height;
    } else if (request.remembered) {
        left = request.remembered->x;
        top = request.remembered->y;
    } else {
        left = near.x - width / 2;
        left = std::min(firstWork.right - width - request.margin,
                        std::max(left, firstWork.left + request.margin));
        top = InUpperHalf(near, firstWork) ? firstWork.top + request.margin
                                           : firstWork.bottom - height - request.margin;
    }
    const PanelRect work = workAreaNear({left + width / 2, top + height / 2});
    height = std::min(height, FitHeight(request.height, work.bottom - work.top, request.margin));
    // A capped panel keeps the margin at both ends; one that fits only has to stay inside.
    const int32_t edge = height < request.height ? request.margin : 0;
    const int32_t x = std::max(work.left, std::min(left, work.right - width));
    const int32_t y = std::max(work.top + edge, std::min(top, work.bottom - edge - height));
    return {x, y, x + width, y + height};
}

std::optional<PanelPoint> MovedTo(const PanelRect& before, const PanelRect& after) {
    if (after.left == before.left && after.top == before.top)
        return std::nullopt;
    return PanelPoint{after.left, after.top};
}
