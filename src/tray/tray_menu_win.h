#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// What the tray menu shows checked.
struct TrayMenuChecks {
    std::wstring show;  // "auto", "claude" or "codex"
    bool autostart = false;
    bool alerts = false;
};

// Shows the tray menu at a screen point and returns the chosen item's id (0 for none), once
// the menu is gone.
uint32_t TrackTrayMenu(HWND window, POINT at, const TrayMenuChecks& checks);
