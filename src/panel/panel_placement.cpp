#include "panel/panel_placement.h"

#include <algorithm>

PanelRect PlacePanelRect(const PlacementRequest& request, const WorkAreaNear& workAreaNear) {
    const int32_t width = request.width;
    const int32_t height = request.height;
    int32_t left = 0;
    int32_t top = 0;
    if (!request.opening) {
        left = request.current.left;
        top = request.current.bottom - height;
    } else if (request.remembered) {
        left = request.remembered->x;
        top = request.remembered->y;
    } else {
        PanelPoint anchor = request.cursor;
        if (request.iconRect && request.iconRect->right > request.iconRect->left) {
            anchor = {(request.iconRect->left + request.iconRect->right) / 2,
                      request.iconRect->top};
        }
        const PanelRect work = workAreaNear(anchor);
        left = anchor.x - width / 2;
        left = std::min(work.right - width - request.margin,
                        std::max(left, work.left + request.margin));
        top = anchor.y < (work.top + work.bottom) / 2 ? work.top + request.margin
                                                      : work.bottom - height - request.margin;
    }
    const PanelRect work = workAreaNear({left + width / 2, top + height / 2});
    const int32_t x = std::max(work.left, std::min(left, work.right - width));
    const int32_t y = std::max(work.top, std::min(top, work.bottom - height));
    return {x, y, x + width, y + height};
}
