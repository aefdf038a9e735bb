#pragma once

#include <windows.h>

// The popup panel of class "TidewellPanel". Its painting, placement and input fill this seam;
// the tray only creates, shows, hides and repaints it.

// True when the embedded Geist fonts were registered; the panel then draws with them.
extern bool gFontsAvailable;

// When the panel last hid itself (GetTickCount): a tray click right after it does not reopen it.
extern DWORD LastPanelHideTick;

// Registers the class and creates the hidden panel window; null on failure.
HWND CreatePanelWindow(HINSTANCE instance);

// The panel window, or null before it exists.
HWND PanelWindow();

// Shows the panel on its main page (or, with `toggle`, hides it when it is shown) and asks the
// worker for a refresh.
void ShowPanel(bool toggle);

// Repaints a visible panel from the current snapshot, without erasing first.
void InvalidateVisiblePanel();

// Hides the panel unless it is pinned (before the tray menu opens).
void HidePanelUnlessPinned();

// Shows the settings page of a shown panel.
void ShowPanelSettingsPage();
