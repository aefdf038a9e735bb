#pragma once

#include <cstdint>

// What a selection of the tray icon does to the panel. With the icon's version 4 the shell sends
// NIN_SELECT for a click, NIN_KEYSELECT for Enter or Space, and WM_LBUTTONDBLCLK for the second
// press of a double click, after the first click's NIN_SELECT (and some shells another
// NIN_SELECT when that press is released).
// The events, as the low word of the callback's lParam carries them.
enum TrayClick : uint32_t {
    kTraySelect = 0x400,       // NIN_SELECT
    kTrayKeySelect = 0x401,    // NIN_KEYSELECT
    kTrayDoubleClick = 0x203,  // WM_LBUTTONDBLCLK
};

// True for the three events above; the rest (mouse moves, presses, releases) leave the panel be.
bool IsTrayClick(uint32_t event);

enum class TrayClickAction { kNothing, kShow, kShowFromKeyboard, kHide };

// The panel as it is when the event arrives.
struct TrayClickPanel {
    bool visible = false;
    bool justHid = false;   // it hid itself a moment ago, when the click took its focus
    bool inDialog = false;  // the program's own dialog is up: the panel stays with it
};

// A click toggles the panel; a double click, like the menu's default item "Open Tidewell",
// always leaves it open. Keeps the one thing it must remember: when the last double click came.
class TrayClickRule {
public:
    // `now` and `doubleClickMs` in milliseconds (the tick count and the system's double-click
    // time).
    // Any other event than the three above: nothing.
    TrayClickAction Decide(uint32_t event, const TrayClickPanel& panel, uint32_t now,
                           uint32_t doubleClickMs);

private:
    bool afterDoubleClick_ = false;
    uint32_t doubleClickAt_ = 0;
};
