#pragma once

#include <windows.h>

#include <cstdint>

#include "tray/tray_icon.h"

// Draws the tray icon, `size` pixels square (in its light variant for a light taskbar), for a whole
// percentage (or its no-data form). The caller owns the icon and destroys it with DestroyIcon;
// every other object is released here. May be null when GDI fails.
HICON RenderTrayIcon(int32_t value, bool hasValue, int size = kTrayIconDesignSize,
                     bool lightTaskbar = false);

// The size of the notification area's icons on the taskbar's monitor, in pixels.
int TaskbarIconSize();
