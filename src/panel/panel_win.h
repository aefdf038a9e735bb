#pragma once

#include <windows.h>

// The popup panel of class "TidewellPanel": its window, placement and input. The tray creates,
// shows, hides and repaints it through these calls.

// True when the embedded Geist fonts were registered; the panel then draws with them.
extern bool gFontsAvailable;

// When the panel last hid itself (GetTickCount): a tray click right after it does not reopen it.
extern DWORD LastPanelHideTick;

// Registers the class and creates the hidden panel window, owned by the hidden main window so
// that no taskbar shows a button for it; null on failure.
HWND CreatePanelWindow(HINSTANCE instance, HWND owner);

// The panel window, or null before it exists.
HWND PanelWindow();

// Shows the panel on its main page beside the tray icon (or where the user dragged it) and asks
// the worker for a refresh; with `toggle`, hides a shown panel instead.
void ShowPanel(bool toggle);

// Where the user selected the tray icon: the next opening's anchor when the shell cannot say
// where the icon is (Wine cannot).
void NotePanelAnchor(int x, int y);

// Repaints a visible panel from the current snapshot, without erasing first.
void InvalidateVisiblePanel();

// Hides the panel unless it is pinned (before the tray menu opens).
void HidePanelUnlessPinned();

// Switches a shown panel to its settings page.
void ShowPanelSettingsPage();
