#include "tray/tray_click.h"

bool IsTrayClick(uint32_t event) {
    return event == kTraySelect || event == kTrayKeySelect || event == kTrayDoubleClick;
}

TrayClickAction TrayClickRule::Decide(uint32_t event, const TrayClickPanel& panel, uint32_t now,
                                      uint32_t doubleClickMs) {
    if (panel.inDialog || !IsTrayClick(event))
        return TrayClickAction::kNothing;
    switch (event) {
        case kTrayKeySelect:
            // The shell may send this twice for one key, so it never closes the panel.
            return panel.visible ? TrayClickAction::kNothing : TrayClickAction::kShowFromKeyboard;
        case kTrayDoubleClick:
            afterDoubleClick_ = true;
            doubleClickAt_ = now;
            // The first click opened the panel and the second press may have taken its focus,
            // so it hid a moment ago: that is no reason to keep it shut here.
            return panel.visible ? TrayClickAction::kNothing : TrayClickAction::kShow;
        default:
            break;
    }
    if (afterDoubleClick_) {
        afterDoubleClick_ = false;
        // The release that ends a double click: toggling would close what it opened.
        if (now - doubleClickAt_ <= doubleClickMs)
            return TrayClickAction::kNothing;
    }
    if (panel.justHid)
        return TrayClickAction::kNothing;  // the click that took the focus from the panel
    return panel.visible ? TrayClickAction::kHide : TrayClickAction::kShow;
}
