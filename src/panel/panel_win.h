#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/settings.h"
#include "display/commands.h"
#include "display/usage_snapshot.h"
#include "panel/panel_layout.h"
#include "panel/panel_placement.h"
#include "panel/panel_scroll.h"

// The popup panel of class "TidewellPanel": its window and view state (page, hover, layout,
// anchor, scale), its painting, placement and input. It reads what it shows by reference and
// hands every click on a target to the program as a command.
class PanelWindow {
public:
    struct Context {
        const UsageSnapshot& snapshot;
        SettingsStore& settings;
        std::function<void(Command, int32_t)> run;           // a target was clicked, and its id
        std::function<std::optional<PanelRect>()> iconRect;  // the tray icon, when known
    };

    explicit PanelWindow(Context context) : context_(std::move(context)) {}
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Registers the class and creates the hidden window, owned by `owner` so that no taskbar
    // shows a button for it; it draws with the embedded fonts when they are available. False on
    // failure.
    bool Create(HINSTANCE instance, HWND owner, bool fontsAvailable);
    HWND window() const { return window_; }
    bool Visible() const;

    // Shows it on its main page beside the tray icon (or where the user dragged it). Opened from
    // the keyboard, it takes the focus with its first target's ring showing.
    void Show(bool fromKeyboard = false);
    void Hide();
    void HideUnlessPinned();
    // True for a short while after the panel hid because the user clicked elsewhere: the click
    // on the tray icon that took its focus must not reopen it.
    bool JustHid() const;

    void ShowPage(bool settingsPage);
    // Forgets where the user dragged it: it goes back beside the tray.
    void ResetPosition();
    // Lays the page out again after a change of what it shows.
    void Refit();
    // Repaints a visible panel from the current snapshot (and what it shows of Claude Code's
    // settings and of autostart, read again), without erasing first.
    void Repaint();
    // Draws in these colours from now on.
    void SetPalette(const Palette& palette);

    // Where the user selected the tray icon: the next opening's anchor when the shell cannot say
    // where the icon is.
    void NoteAnchor(int x, int y) { notedAnchor_ = PanelPoint{x, y}; }
    // While the program's own dialog is up, the panel stays although it loses the activation.
    void HoldOpen(bool hold) { heldOpen_ = hold; }

    // The targets of the page shown, and the one the keyboard is on (kTargetNone when none).
    const PanelLayout& layout() const { return layout_; }
    int32_t focusedTarget() const { return focused_; }
    // A page rectangle where it shows in the window (the page below the header scrolls), whether
    // it shows wholly, and the target at a point of the window.
    PanelRect WindowRect(const PanelRect& pageRect) const;
    bool ShowsAny(const PanelRect& pageRect) const;
    int32_t TargetAt(int32_t x, int32_t y) const;
    // Moves the keyboard's focus to a target, ring showing, and scrolls it into view.
    void FocusTarget(int32_t id);
    // Activates a target as a click would, from the message loop (for assistive technology).
    void ActivateLater(int32_t id);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    PanelScale Scale() const;
    PanelLayout RunPainter(class Canvas& canvas, int32_t width, bool measureOnly);
    void Place(bool opening);
    void Paint();
    void OnMouseMove(int32_t x, int32_t y);
    void OnWheel(int32_t delta, int32_t screenX, int32_t screenY);
    PanelViewport Viewport() const;
    void ScrollTo(int32_t offset);
    void OnKey(WPARAM key);
    void Activate(int32_t id);
    void AnnounceFocus();
    void ReadOutsideState();
    void NoteTargetsChanged(const PanelLayout& before);

    Context context_;
    HWND window_ = nullptr;
    bool fontsAvailable_ = false;
    std::wstring dataFolder_;  // where the usage history goes unless another folder is chosen
    float dpiScale_ = 1.0f;
    bool settingsPage_ = false;
    int32_t hovered_ = kTargetNone;
    int32_t focused_ = kTargetNone;                // the keyboard's target
    bool focusShown_ = false;                      // its ring shows once the keyboard is used
    class PanelAccessible* accessible_ = nullptr;  // one reference, for the window's life
    PanelLayout layout_;                           // the targets and header of the latest pass
    int32_t placedHeight_ = 0;                     // the page's height when last placed
    int32_t scroll_ = 0;                           // the page below the header moved up by this
    int32_t wheelRest_ = 0;                        // wheel turns that moved no pixel yet
    std::optional<PanelPoint> notedAnchor_;        // the last tray selection, used by one opening
    bool keepTop_ = false;                         // refits keep the top edge (else the bottom)
    DWORD hiddenAt_ = 0;                           // GetTickCount when it last hid on deactivation
    bool heldOpen_ = false;
    // What the settings page shows of other programs' state, read outside painting.
    StatusLineState statusLine_ = kNoStatusLine;
    std::vector<StatusLineState> loginStatusLines_;  // by index of the snapshot's accounts
    bool autostartOn_ = false;
    PanelRect movingFrom_;  // the window's rectangle when a move-or-size loop began
    Palette palette_ = DarkPalette();  // the colours of the theme Windows is in
};
