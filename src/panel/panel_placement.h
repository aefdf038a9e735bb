#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "panel/canvas.h"

struct PanelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Where the panel goes, in screen pixels.
struct PlacementRequest {
    bool opening = false;  // shown now (else re-fitted, keeping its left edge and, as keepTop
                           // says, its top or its bottom edge)
    PanelRect current;     // the window's rectangle before
    int32_t width = 0;
    int32_t height = 0;
    std::optional<PanelPoint> remembered;  // the top-left corner the user dragged it to
    std::optional<PanelRect> iconRect;     // the tray icon on the screen, when the shell says
    PanelPoint cursor;                     // the anchor when the shell cannot say
    int32_t margin = 12;                   // S(12)
    bool keepTop = false;                  // a re-fit keeps the top edge, not the bottom
};

// The work area (the monitor without the taskbar) of the monitor nearest to a point.
using WorkAreaNear = std::function<PanelRect(PanelPoint)>;

// True when a panel opened by `request` hangs from its top edge: opened where the user left it,
// or beside a tray at the top of the screen. Its re-fits then keep the top edge, so that it
// stays where it opened when its content grows; a panel standing on the taskbar keeps its bottom.
bool OpensHangingFromTop(const PlacementRequest& request, const WorkAreaNear& workAreaNear);

// Where a finished move-or-size loop left the panel: its new top-left corner, or nothing when it
// did not move (a click on the header without a drag must not pin the panel's place).
std::optional<PanelPoint> MovedTo(const PanelRect& before, const PanelRect& after);

// The panel's rectangle: beside the tray icon (centred on it, hanging from the top or standing on
// the bottom of the work area with a margin) unless remembered or re-fitted, then pulled wholly
// into the work area nearest its centre, its left edge winning when it is too wide. It is never
// taller than that work area less the margin above and below: a longer page scrolls in it.
PanelRect PlacePanelRect(const PlacementRequest& request, const WorkAreaNear& workAreaNear);
