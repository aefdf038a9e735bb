#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/shown_logins.h"

// What the tray menu shows checked.
struct TrayMenuChecks {
    std::wstring show;  // "auto", "claude", "codex", "highest" or "login:<tag>"
    bool autostart = false;
    bool alerts = false;
    // The logins' number choices (LoginNumberChoices): with any, "Highest" and one item each,
    // the i-th with the id kMenuShowLoginFirst + i.
    std::vector<NumberChoice> logins;
};

// Shows the tray menu at a screen point and returns the chosen item's id (0 for none), once
// the menu is gone.
uint32_t TrackTrayMenu(HWND window, POINT at, const TrayMenuChecks& checks);
