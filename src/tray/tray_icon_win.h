#pragma once

#include <windows.h>

#include <cstdint>

// Draws the 32 x 32 tray icon for a whole percentage (or its no-data form). The caller owns the
// icon and destroys it with DestroyIcon; every other object is released here. May be null
// when GDI fails.
HICON RenderTrayIcon(int32_t value, bool hasValue);
