#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "display/commands.h"
#include "display/usage_snapshot.h"
#include "panel/canvas.h"
#include "panel/panel_theme.h"
#include "statusline/claude_settings.h"

// What a target is to the keyboard and to assistive technology.
enum class TargetKind {
    kButton,  // runs something
    kSwitch,  // on or off
    kChoice,  // one of a group
};

struct PanelHitTarget {
    PanelRect rect;
    int32_t id = kTargetNone;
    std::wstring name;  // what a screen reader says: its text, or what its symbol means
    TargetKind kind = TargetKind::kButton;
    bool checked = false;  // a switch that is on, the chosen one of a group
    friend bool operator==(const PanelHitTarget&, const PanelHitTarget&) = default;
};

// What one painter call leaves behind for sizing and input.
struct PanelLayout {
    int32_t height = 0;                   // the content height: the window's height
    int32_t headerBottom = 0;             // the free area above this is the drag handle
    std::vector<PanelHitTarget> targets;  // in drawing order
};

// Everything the painter reads. The status line's state (from Claude Code's settings.json) and
// autostart (from the registry) are read by the panel's owner when it opens, after a command and
// with new figures, never while painting: a settings folder on a slow share must not hold up a
// repaint on every hover.
struct PanelInputs {
    const UsageSnapshot& snapshot;
    const Settings& settings;
    bool settingsPage = false;
    int32_t hoveredId = kTargetNone;
    int64_t now = 0;  // Unix seconds
    float dpiScale = 1.0f;
    StatusLineState statusLineState = kNoStatusLine;
    bool autostartOn = false;
    int32_t focusedId = kTargetNone;  // drawn with the focus ring
    std::wstring_view dataFolder{};   // the history folder unless the user chose another
    Palette palette = DarkPalette();  // the colours of the theme Windows is in
    // Each login's own status line (LoginSettingsPath), by its index in snapshot.accounts.
    std::vector<StatusLineState> loginStatusLines{};
};

// Lays out the page and, unless `measureOnly`, draws it on `canvas` (whose background is already
// filled). Both passes give the same layout.
PanelLayout PaintPanel(Canvas& canvas, const PanelInputs& inputs, int32_t clientWidth,
                       bool measureOnly);

// The target a click at (x, y) hits (the first that holds the point) and the one under the mouse
// (the last), or kTargetNone.
int32_t ClickTargetAt(const PanelLayout& layout, int32_t x, int32_t y);
int32_t HoverTargetAt(const PanelLayout& layout, int32_t x, int32_t y);

// The target the keyboard moves to from `current` by `step` (+1 onwards, -1 back) in drawing
// order, round the end; from none (or a target no longer there), the first or the last.
int32_t NextFocusTarget(const PanelLayout& layout, int32_t current, int step);

// Where the keyboard starts on a page: its first target below the header, else its first.
int32_t FirstFocusTarget(const PanelLayout& layout);

// The target with `id`, if the page has it.
const PanelHitTarget* FindTarget(const PanelLayout& layout, int32_t id);

// How the targets of two passes differ, for assistive technology, which caches them.
enum class TargetChange {
    kNone,
    kStates,  // the same targets in the same order; a switch or a choice flipped
    kSet,     // targets came, went or moved in the order (the page turned, an offer came)
};
TargetChange CompareTargets(const PanelLayout& before, const PanelLayout& after);

// Assistive technology names a target by its child id, which it may keep while the page changes
// under it: the target's own id, never its position, so that a kept id presses the button it
// was given for or nothing (CHILDID_SELF, 0, is the pane, as kTargetNone is no target).
inline long AccessibleChildId(int32_t targetId) { return targetId; }
// The target a child id names on this page, or null (the pane, or a target no longer there).
const PanelHitTarget* TargetOfChildId(const PanelLayout& layout, long childId);
// The child id `step` targets on from `childId` in drawing order (no wrap), or 0 past the ends.
long NeighbourChildId(const PanelLayout& layout, long childId, int step);
// The first or the last target's child id; 0 on a page without targets.
long EdgeChildId(const PanelLayout& layout, bool last);

// True where a press starts a drag of the panel: above the header's bottom, outside every target.
bool IsDragHandle(const PanelLayout& layout, int32_t x, int32_t y);
