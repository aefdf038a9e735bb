#pragma once

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <optional>
#include <string>

#include "platform/handles_win.h"

// The program's one notification-area icon (id 1 of the hidden main window): its record, the
// icon image the shell shows, the tooltip and the balloons.
class TrayNotifyIcon {
public:
    TrayNotifyIcon() = default;
    ~TrayNotifyIcon() { Remove(); }
    TrayNotifyIcon(const TrayNotifyIcon&) = delete;
    TrayNotifyIcon& operator=(const TrayNotifyIcon&) = delete;

    // Adds the icon for `window`, in its no-data form with the reading tooltip.
    void Add(HWND window);
    // Adds it again with what it shows now (Explorer restarted).
    void AddAgain();
    // Shows a whole percent (or the no-data form) and a tooltip.
    void Show(std::optional<int32_t> percent, const std::wstring& tooltip);
    void ShowBalloon(const std::wstring& title, const std::wstring& text);
    // Removes the icon from the notification area; the image goes with this object.
    void Remove();
    // Takes the size the taskbar's monitor shows icons at; true when it changed, and the image
    // is to be drawn again.
    bool FitToTaskbar();
    // Takes the taskbar's light or dark mode; true when it changed, and the image is to be
    // drawn again.
    bool SetLightTaskbar(bool light);

    // Where the shell shows the icon, when it can say (Wine cannot).
    std::optional<RECT> ScreenRect() const;

private:
    void AddToShell();

    NOTIFYICONDATAW record_{};
    struct Shown {
        std::optional<int32_t> percent;
        int size = 0;
        bool light = false;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    IconHandle image_;  // the image the shell was last given
    Shown shown_;       // what it shows
    int iconSize_ = 0;  // pixels, as the shell shows it: no scaling, so no blur
    bool lightTaskbar_ = false;
    bool added_ = false;
};
