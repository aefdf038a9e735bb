#include "tray/tray_notify_win.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/messages.h"
#include "tray/tray_icon_win.h"
#include "tray/tray_text.h"

namespace {

constexpr UINT kStartFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;  // 0x87

// The tooltip is made to fit the field; the cut below is only a guard.
static_assert(sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) == kTooltipMaxChars + 1);

template <size_t N>
void CopyCut(wchar_t (&field)[N], const std::wstring& text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    field[length] = L'\0';
}

}  // namespace

void TrayNotifyIcon::Add(HWND window) {
    record_.cbSize = sizeof record_;
    record_.hWnd = window;
    record_.uID = 1;
    record_.uCallbackMessage = MSG_TRAY_CALLBACK;
    iconSize_ = TaskbarIconSize();
    image_.reset(RenderTrayIcon(0, false, iconSize_, lightTaskbar_));
    shown_ = Shown{std::nullopt, iconSize_, lightTaskbar_};
    record_.hIcon = image_.get();
    CopyCut(record_.szTip, kReadingTooltip);
    AddToShell();
}

void TrayNotifyIcon::AddAgain() {
    if (record_.hWnd)
        AddToShell();
}

void TrayNotifyIcon::AddToShell() {
    record_.uFlags = kStartFlags;
    Shell_NotifyIconW(NIM_ADD, &record_);
    record_.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &record_);
    added_ = true;
}

void TrayNotifyIcon::Show(std::optional<int32_t> percent, const std::wstring& tooltip) {
    // Most cycles change nothing the shell shows: then neither an image nor a call is made.
    const Shown shown{percent, iconSize_, lightTaskbar_};
    const bool newImage = !image_ || shown != shown_;
    decltype(record_.szTip) tip = {};
    CopyCut(tip, tooltip);
    if (!newImage && std::wcscmp(tip, record_.szTip) == 0)
        return;
    IconHandle image;
    if (newImage) {
        image.reset(
            RenderTrayIcon(percent.value_or(0), percent.has_value(), iconSize_, lightTaskbar_));
        record_.hIcon = image.get();
    }
    std::copy(std::begin(tip), std::end(tip), record_.szTip);
    // Version 4 icons show the standard tooltip only when every call that sets it says so. The
    // image goes to the shell only when it is new: handing it over copies its bits.
    record_.uFlags = (newImage ? NIF_ICON : 0) | NIF_TIP | NIF_SHOWTIP;
    Shell_NotifyIconW(NIM_MODIFY, &record_);
    if (newImage) {
        image_ = std::move(image);  // the shell has copied it; the old one goes now
        shown_ = shown;
    }
}

bool TrayNotifyIcon::FitToTaskbar() {
    const int size = TaskbarIconSize();
    if (size == iconSize_)
        return false;
    iconSize_ = size;
    return true;
}

bool TrayNotifyIcon::SetLightTaskbar(bool light) {
    if (light == lightTaskbar_)
        return false;
    lightTaskbar_ = light;
    return true;
}

void TrayNotifyIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    if (!added_)
        return;
    NOTIFYICONDATAW balloon = record_;  // the shared record stays as it is
    balloon.uFlags = NIF_INFO;
    CopyCut(balloon.szInfoTitle, title);
    CopyCut(balloon.szInfo, text);
    balloon.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void TrayNotifyIcon::Remove() {
    if (!added_)
        return;
    Shell_NotifyIconW(NIM_DELETE, &record_);
    added_ = false;
}

std::optional<RECT> TrayNotifyIcon::ScreenRect() const {
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = record_.hWnd;
    icon.uID = 1;
    RECT rect{};
    if (!record_.hWnd || FAILED(Shell_NotifyIconGetRect(&icon, &rect)))
        return std::nullopt;
    return rect;
}
