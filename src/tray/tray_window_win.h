#pragma once

#include <windows.h>

#include <string>

#include "tray/usage_snapshot.h"

// The hidden main window's side of the tray: the icon record, the snapshot every display reads,
// the menu and its commands.

// The main thread's copy of the published state.
extern UsageSnapshot gUsageSnapshot;

// The hidden main window that owns the tray icon (id 1), or null before it exists.
HWND TrayWindow();

// The window procedure of "TidewellWnd".
LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Adds the icon for `window` in its no-data form with the start-up tooltip.
void AddTrayIcon(HWND window);

// Copies the published state, saves a changed setting, redraws icon and tooltip, warns and
// repaints a visible panel.
void RefreshTray();

// One warning balloon from the tray icon.
void ShowBalloon(const std::wstring& title, const std::wstring& text);

// Runs a tray menu command (also the panel's equivalents).
void RunTrayCommand(UINT id);

// Sets the `show` setting, saves it and refreshes the tray.
void SetTrayNumberChoice(const std::wstring& value);
