#include "panel/panel_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "core/autostart.h"
#include "panel/gdi_canvas_win.h"
#include "panel/panel_accessible_win.h"
#include "platform/gdi_objects_win.h"
#include "platform/window_link_win.h"
#include "statusline/claude_settings.h"

namespace {

constexpr wchar_t kPanelClass[] = L"TidewellPanel";
constexpr DWORD kReopenGuardMs = 400;  // a tray click this soon after the panel hid keeps it hidden
constexpr UINT kMsgActivateTarget = WM_APP + 20;  // wParam: the target's id

// A page taller than the window scrolls.
constexpr int32_t kWheelLine = 20;   // design pixels the wheel moves a line
constexpr int32_t kFocusMargin = 8;  // room for the focus ring when a target scrolls into view
constexpr int32_t kThumbWidth = 3;   // the scroll indicator, at the right edge
constexpr int32_t kThumbInset = 2;
constexpr int32_t kThumbMinLength = 24;

float WindowDpiScale(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi ? static_cast<float>(dpi) / 96.0f : 1.0f;
}

PanelRect MonitorWorkArea(PanelPoint point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace

PanelWindow::~PanelWindow() {
    if (window_)
        DestroyWindow(window_);
}

bool PanelWindow::Create(HINSTANCE instance, HWND owner, bool fontsAvailable) {
    fontsAvailable_ = fontsAvailable;
    dataFolder_ = DataDirectory();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DROPSHADOW;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPanelClass;
    if (!RegisterClassExW(&windowClass))
        return false;
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPanelClass, L"Tidewell", WS_POPUP,
                              0, 0, 330, 338, owner, nullptr, instance, this);
    return window_ != nullptr;
}

LRESULT CALLBACK PanelWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PanelWindow* self = LinkedObject<PanelWindow>(window, message, lParam);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        self->window_ = window;
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        // A screen reader may still hold the accessible object: from now it answers
        // "disconnected" rather than reach a panel that has no window.
        if (self->accessible_) {
            self->accessible_->Disconnect();
            self->accessible_->Release();
            self->accessible_ = nullptr;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

bool PanelWindow::Visible() const {
    return window_ && IsWindowVisible(window_);
}

PanelScale PanelWindow::Scale() const {
    return PanelScale{dpiScale_, context_.settings.values().size};
}

PanelLayout PanelWindow::RunPainter(Canvas& canvas, int32_t width, bool measureOnly) {
    const PanelInputs inputs{context_.snapshot,
                             context_.settings.values(),
                             settingsPage_,
                             hovered_,
                             std::time(nullptr),
                             dpiScale_,
                             statusLine_,
                             autostartOn_,
                             focusShown_ ? focused_ : kTargetNone,
                             dataFolder_,
                             palette_,
                             loginStatusLines_};
    return PaintPanel(canvas, inputs, width, measureOnly);
}

// Sizes the panel to its content at the window's DPI and moves it: beside the tray (or to the
// remembered place) when `opening`, else keeping its left edge and its top or bottom edge.
void PanelWindow::Place(bool opening) {
    if (!window_)
        return;
    dpiScale_ = WindowDpiScale(window_);
    const int32_t width = Scale()(330);
    const PanelLayout before = layout_;
    {
        WindowDC dc(window_);
        GdiCanvas canvas(dc.get(), Scale(), fontsAvailable_);
        layout_ = RunPainter(canvas, width, true);
    }
    NoteTargetsChanged(before);
    RECT current{};
    GetWindowRect(window_, &current);
    const Settings& settings = context_.settings.values();
    PlacementRequest request;
    request.opening = opening;
    request.keepTop = keepTop_;
    request.current = {current.left, current.top, current.right, current.bottom};
    request.width = width;
    request.height = layout_.height;
    if (settings.px != kPanelNeverMoved)
        request.remembered = PanelPoint{settings.px, settings.py};
    if (opening && !request.remembered) {
        request.iconRect = context_.iconRect ? context_.iconRect() : std::nullopt;
        POINT cursor{};
        GetCursorPos(&cursor);
        request.cursor = notedAnchor_.value_or(PanelPoint{cursor.x, cursor.y});
    }
    if (opening) {
        notedAnchor_.reset();
        keepTop_ = OpensHangingFromTop(request, MonitorWorkArea);
    }
    request.margin = Scale()(12);
    const PanelRect place = PlacePanelRect(request, MonitorWorkArea);
    SetWindowPos(window_, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE);
    placedHeight_ = layout_.height;
    scroll_ = ClampScrollOffset(Viewport(), scroll_);  // a shorter page or a taller window
    // The keyboard's target stays in view when the page around it changes (another size, say).
    if (const PanelHitTarget* target = FindTarget(layout_, focused_); target && focusShown_)
        scroll_ = OffsetShowing(Viewport(), scroll_, target->rect, Scale()(kFocusMargin));
}

void PanelWindow::Show(bool fromKeyboard) {
    if (!window_)
        return;
    settingsPage_ = false;
    scroll_ = 0;
    hovered_ = kTargetNone;  // no button lit from before it hid, until the mouse moves
    focusShown_ = fromKeyboard;
    ReadOutsideState();
    Place(true);
    focused_ = fromKeyboard ? FirstFocusTarget(layout_) : kTargetNone;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
    InvalidateRect(window_, nullptr, TRUE);
    if (fromKeyboard)
        AnnounceFocus();
}

void PanelWindow::Hide() {
    if (window_)
        ShowWindow(window_, SW_HIDE);
}

void PanelWindow::HideUnlessPinned() {
    if (!context_.settings.values().pinned)
        Hide();
}

bool PanelWindow::JustHid() const {
    return GetTickCount() - hiddenAt_ < kReopenGuardMs;
}

void PanelWindow::ShowPage(bool settingsPage) {
    if (settingsPage != settingsPage_)
        scroll_ = 0;  // another page starts at its top
    settingsPage_ = settingsPage;
    Refit();
}

void PanelWindow::ResetPosition() {
    Settings& settings = context_.settings.values();
    settings.px = kPanelNeverMoved;
    settings.py = kPanelNeverMoved;
    context_.settings.Save();
    keepTop_ = false;
    if (Visible()) {
        Place(true);
        InvalidateRect(window_, nullptr, FALSE);
    }
}

// Claude Code's settings.json and the registry, read at the moments the panel may show them
// changed: when it opens, after a command, and with new figures.
void PanelWindow::ReadOutsideState() {
    statusLine_ = GetStatusLineState();
    autostartOn_ = IsAutostartOn();
    // Each Claude login's own settings.json, once there is more than one to connect.
    const std::vector<AccountUsage>& accounts = context_.snapshot.accounts;
    loginStatusLines_.clear();
    if (CountLogins(accounts, LoginTool::kClaude) > 1) {
        for (const AccountUsage& account : accounts)
            loginStatusLines_.push_back(StatusLineStateAt(LoginSettingsPath(account.login)));
    }
}

// Assistive technology caches the pane's children: it hears when the set of targets changes
// (the Connect offer comes or goes, the page turns) and when a switch or a choice flips.
void PanelWindow::NoteTargetsChanged(const PanelLayout& before) {
    if (!window_ || !IsWindowVisible(window_))
        return;
    switch (CompareTargets(before, layout_)) {
        case TargetChange::kNone:
            return;
        case TargetChange::kStates:
            for (const PanelHitTarget& target : layout_.targets) {
                const PanelHitTarget* old = FindTarget(before, target.id);
                if (old && old->checked != target.checked)
                    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT,
                                   AccessibleChildId(target.id));
            }
            return;
        case TargetChange::kSet:
            NotifyWinEvent(EVENT_OBJECT_REORDER, window_, OBJID_CLIENT, CHILDID_SELF);
            return;
    }
}

void PanelWindow::Refit() {
    if (!Visible())
        return;  // it is laid out afresh when it opens
    ReadOutsideState();  // a change may have been to autostart or to the connection
    Place(false);
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::Repaint() {
    if (!Visible())
        return;
    ReadOutsideState();
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::SetPalette(const Palette& palette) {
    palette_ = palette;
    if (Visible())
        InvalidateRect(window_, nullptr, FALSE);
}

// The double-buffered paint: the whole page composed off screen, then copied in one go. A page
// taller than the window is drawn whole, and the window's picture put together from its header,
// the scrolled rest and the scroll indicator before that one copy.
void PanelWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    int32_t height = placedHeight_;
    const PanelLayout before = layout_;
    {
        const int32_t pageHeight = std::max<int32_t>(client.bottom, layout_.height);
        MemoryDC memory(dc);
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, pageHeight));
        if (memory.get() && bitmap) {
            Selection useBitmap(memory.get(), bitmap.get());
            GdiCanvas canvas(memory.get(), Scale(), fontsAvailable_);
            canvas.FillRect({0, 0, client.right, pageHeight}, palette_.background);
            layout_ = RunPainter(canvas, client.right, false);
            height = layout_.height;
            const PanelViewport view{layout_.height, client.bottom, layout_.headerBottom};
            scroll_ = ClampScrollOffset(view, scroll_);
            const std::optional<PanelRect> thumb =
                ScrollThumb(view, scroll_, client.right, Scale()(kThumbWidth), Scale()(kThumbInset),
                            Scale()(kThumbMinLength));
            MemoryDC frame(dc);
            GdiObject<HBITMAP> frameBitmap(
                thumb ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr);
            if (thumb && frame.get() && frameBitmap) {
                Selection useFrame(frame.get(), frameBitmap.get());
                const int32_t header = std::min<int32_t>(view.headerBottom, client.bottom);
                BitBlt(frame.get(), 0, 0, client.right, header, memory.get(), 0, 0, SRCCOPY);
                BitBlt(frame.get(), 0, header, client.right, client.bottom - header, memory.get(),
                       0, header + scroll_, SRCCOPY);
                GdiCanvas(frame.get(), Scale(), fontsAvailable_)
                    .FillRoundRect(*thumb, palette_.dim, Scale()(kThumbWidth));
                BitBlt(dc, 0, 0, client.right, client.bottom, frame.get(), 0, 0, SRCCOPY);
            } else if (scroll_ == 0) {
                BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
            } else {  // no memory for the frame: the same picture, without the indicator
                const int32_t header = std::min<int32_t>(view.headerBottom, client.bottom);
                BitBlt(dc, 0, 0, client.right, header, memory.get(), 0, 0, SRCCOPY);
                BitBlt(dc, 0, header, client.right, client.bottom - header, memory.get(), 0,
                       header + scroll_, SRCCOPY);
            }
        }
    }
    EndPaint(window_, &paint);
    // Told after the paint: a screen reader's hook may call back into the panel.
    NoteTargetsChanged(before);
    // A page that grew or shrank since it was placed: the window takes its new height and is
    // painted whole again, since this paint fitted the old one (an indicator it no longer needs).
    if (height != placedHeight_) {
        Place(false);
        InvalidateRect(window_, nullptr, FALSE);
    }
}

PanelViewport PanelWindow::Viewport() const {
    RECT client{};
    if (window_)
        GetClientRect(window_, &client);
    return {layout_.height, client.bottom, layout_.headerBottom};
}

void PanelWindow::ScrollTo(int32_t offset) {
    offset = ClampScrollOffset(Viewport(), offset);
    if (offset == scroll_)
        return;
    scroll_ = offset;
    InvalidateRect(window_, nullptr, FALSE);
}

PanelRect PanelWindow::WindowRect(const PanelRect& pageRect) const {
    return ViewRect(Viewport(), scroll_, pageRect);
}

bool PanelWindow::ShowsAny(const PanelRect& pageRect) const {
    return PartlyInView(Viewport(), scroll_, pageRect);
}

int32_t PanelWindow::TargetAt(int32_t x, int32_t y) const {
    return ClickTargetAt(layout_, x, PageY(Viewport(), scroll_, y));
}

// The wheel scrolls as many lines a notch as the system says (or a screen), then the button
// under the mouse is another one.
void PanelWindow::OnWheel(int32_t delta, int32_t screenX, int32_t screenY) {
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    // Touchpads turn in small parts of a notch: they add up until they move a pixel.
    wheelRest_ += delta;
    const int32_t next =
        WheelScrollOffset(Viewport(), scroll_, wheelRest_, lines, Scale()(kWheelLine));
    if (next != scroll_ || std::abs(wheelRest_) >= WHEEL_DELTA)
        wheelRest_ = 0;
    ScrollTo(next);
    POINT point{screenX, screenY};
    ScreenToClient(window_, &point);
    RECT client{};
    GetClientRect(window_, &client);
    if (PtInRect(&client, point))
        OnMouseMove(point.x, point.y);
}

void PanelWindow::OnMouseMove(int32_t x, int32_t y) {
    const int32_t id = HoverTargetAt(layout_, x, PageY(Viewport(), scroll_, y));
    if (id != hovered_) {
        hovered_ = id;
        InvalidateRect(window_, nullptr, FALSE);
    }
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
    TrackMouseEvent(&track);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));  // the hand is for links; these are buttons
}

void PanelWindow::FocusTarget(int32_t id) {
    const PanelHitTarget* target = FindTarget(layout_, id);
    if (!target)
        return;
    focused_ = id;
    focusShown_ = true;
    scroll_ = OffsetShowing(Viewport(), scroll_, target->rect, Scale()(kFocusMargin));
    InvalidateRect(window_, nullptr, FALSE);
    AnnounceFocus();
}

// Tells assistive technology which target has the focus now.
void PanelWindow::AnnounceFocus() {
    if (FindTarget(layout_, focused_))
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, AccessibleChildId(focused_));
}

void PanelWindow::ActivateLater(int32_t id) {
    if (window_)
        PostMessageW(window_, kMsgActivateTarget, static_cast<WPARAM>(id), 0);
}

void PanelWindow::Activate(int32_t id) {
    const Command command = CommandForPanelTarget(id);
    if (command == Command::kNone || !context_.run)
        return;
    context_.run(command, id);
    // A page change leaves the keyboard on a target that is gone: it starts on the new page.
    if (focusShown_ && Visible() && !FindTarget(layout_, focused_))
        FocusTarget(FirstFocusTarget(layout_));
}

// Tab and Shift+Tab, and the arrow keys, move through the targets in the order they are drawn;
// Enter and Space activate the one with the focus; Escape goes back or hides.
void PanelWindow::OnKey(WPARAM key) {
    switch (key) {
        case VK_ESCAPE:
            if (settingsPage_) {
                ShowPage(false);
                if (focusShown_)
                    FocusTarget(FirstFocusTarget(layout_));
            } else {
                Hide();
            }
            return;
        case VK_TAB:
            FocusTarget(NextFocusTarget(layout_, focused_, GetKeyState(VK_SHIFT) < 0 ? -1 : +1));
            return;
        case VK_DOWN:
        case VK_RIGHT:
            FocusTarget(NextFocusTarget(layout_, focused_, +1));
            return;
        case VK_UP:
        case VK_LEFT:
            FocusTarget(NextFocusTarget(layout_, focused_, -1));
            return;
        case VK_RETURN:
        case VK_SPACE:
            if (focusShown_ && FindTarget(layout_, focused_))
                Activate(focused_);
            return;
        default:
            return;
    }
}

LRESULT PanelWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && !heldOpen_ && !context_.settings.values().pinned &&
                IsWindowVisible(window_)) {
                Hide();
                hiddenAt_ = GetTickCount();
            }
            return 0;
        case WM_NCHITTEST: {
            const LRESULT hit = DefWindowProcW(window_, message, wParam, lParam);
            if (hit != HTCLIENT)
                return hit;
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window_, &point);
            const int32_t pageY = PageY(Viewport(), scroll_, point.y);  // the header stays
            return IsDragHandle(layout_, point.x, pageY) ? HTCAPTION : HTCLIENT;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT)
                return TRUE;  // the cursor chosen on mouse move stays
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSELEAVE:
            if (hovered_ != kTargetNone) {
                hovered_ = kTargetNone;
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP: {
            const int32_t id = TargetAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (id == kTargetNone)
                return 0;
            if (focusShown_) {  // the mouse took over: the ring goes until a key is pressed
                focusShown_ = false;
                Repaint();
            }
            focused_ = id;
            Activate(id);
            return 0;
        }
        case kMsgActivateTarget:
            Activate(static_cast<int32_t>(wParam));
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT))
                return DefWindowProcW(window_, message, wParam, lParam);
            if (!accessible_)
                accessible_ = new PanelAccessible(this);
            // __uuidof, not IID_IAccessible: MinGW links that name to a jump into oleacc.dll.
            return LresultFromObject(__uuidof(IAccessible), wParam,
                                     static_cast<IAccessible*>(accessible_));
        case WM_KEYDOWN:
            OnKey(wParam);
            return 0;
        case WM_ENTERSIZEMOVE: {
            RECT rect{};
            GetWindowRect(window_, &rect);
            movingFrom_ = {rect.left, rect.top, rect.right, rect.bottom};
            return 0;
        }
        case WM_EXITSIZEMOVE: {
            RECT rect{};
            GetWindowRect(window_, &rect);
            const std::optional<PanelPoint> moved =
                MovedTo(movingFrom_, {rect.left, rect.top, rect.right, rect.bottom});
            if (!moved)
                return 0;  // a click on the header: the panel stays where it opens
            Settings& settings = context_.settings.values();
            settings.px = moved->x;
            settings.py = moved->y;
            context_.settings.Save();
            keepTop_ = true;  // it now hangs where the user left it
            return 0;
        }
        case WM_DPICHANGED: {
            // Dragged onto a monitor with another scale: take the place the system suggests and
            // lay the page out again at the new scale.
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            // The same place on the page, in the new scale's pixels.
            const float scale = HIWORD(wParam) / 96.0f;
            if (dpiScale_ > 0)
                scroll_ = static_cast<int32_t>(std::lround(scroll_ * scale / dpiScale_));
            Refit();
            return 0;
        }
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}
