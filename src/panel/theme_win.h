#pragma once

#include <windows.h>

#include <optional>

#include "panel/panel_theme.h"

// What Windows' theme is now, read from the system.
struct WindowsTheme {
    ThemeKind kind = ThemeKind::kDark;
    Palette palette = DarkPalette();
    bool lightTaskbar = false;  // the taskbar's own mode, which the tray icon follows
};
WindowsTheme ReadWindowsTheme();
// The system's colours now (GetSysColor), which high contrast draws with.
SystemColours CurrentSystemColours();

// True for a message to a top-level window after which the theme is to be read again.
bool IsThemeMessage(UINT message, WPARAM wParam, LPARAM lParam);
