// A helper for end-to-end tests under Wine: stands in for a running desktop instance, or finds
// and closes the real one.
//   tidewell_probe hold SECONDS   hold the single-instance mutex and a "TidewellWnd" window,
//                                 print "ready", then one line per message received
//   tidewell_probe find MS        exit 0 once a "TidewellWnd" window exists, 1 after MS ms
//   tidewell_probe close          post WM_CLOSE to the "TidewellWnd" window
//   tidewell_probe answer ID MS   wait up to MS ms for a "Tidewell" message box, print its text
//                                 and press its button ID (1 OK, 6 Yes, 7 No)
//   tidewell_probe quit           post "Quit Tidewell" and print when, in Unix milliseconds
//   tidewell_probe balloons       print how many notification balloons are on the screen
//   tidewell_probe tooltip        print the text of the tooltip on the screen (not a balloon)
//   tidewell_probe send ID MS     send menu command ID to the "TidewellWnd" window and wait up to
//                                 MS ms for it to be handled; print the milliseconds it took,
//                                 exit 1 when it was not handled in time
//   tidewell_probe accessible     the panel as a screen reader sees it: one line per element,
//                                 "role state name" (the pane first), then "focus CHILD"
//   tidewell_probe locate NAME   the panel's target NAME as a screen reader finds it: its screen
//                                 rectangle "l t r b", then "shown" or "offscreen"
//   tidewell_probe press NAME    press the panel's target NAME as a screen reader does
//   tidewell_probe workarea      the work area of the panel's monitor, then the monitor: "l t r b"
//   tidewell_probe keyselect      tell the program its icon was chosen from the keyboard
//   tidewell_probe theme          print whether high contrast is on and the window's colours
//   tidewell_probe colours-changed  broadcast that the light or dark mode and the system colours
//                                 changed, as Windows' Settings does
//   tidewell_probe endsession     ask the "TidewellWnd" window as a log-off does, then tell it the
//                                 session ends; print its answer and whether it returned in time
#include <windows.h>

#include <oleacc.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const wchar_t kClass[] = L"TidewellWnd";

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message >= WM_APP) {
        std::printf("message 0x%X %llu %lld\n", message, static_cast<unsigned long long>(wParam),
                    static_cast<long long>(lParam));
        std::fflush(stdout);
        return 0;
    }
    if (message == WM_TIMER || message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Hold(int seconds) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Local\\TidewellSingleInstance");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, kClass, L"probe", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window) {
        std::printf("no window\n");
        return 1;
    }
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    if (mutex) CloseHandle(mutex);
    return 0;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    wchar_t text[1024] = {};
    if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(child, text, 1024) > 0) {
        char utf8[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%s\n", utf8);
    }
    return TRUE;
}

BOOL CALLBACK CountBalloon(HWND window, LPARAM count) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    constexpr LONG kBalloonStyle = 0x40;  // TTS_BALLOON
    if (lstrcmpiW(name, L"tooltips_class32") == 0 && IsWindowVisible(window) &&
        (GetWindowLongW(window, GWL_STYLE) & kBalloonStyle)) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

// The text of each shown tooltip that is not a balloon (the tray icon's, while the mouse rests on it).
BOOL CALLBACK PrintTooltip(HWND window, LPARAM) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    constexpr LONG kBalloonStyle = 0x40;  // TTS_BALLOON
    if (lstrcmpiW(name, L"tooltips_class32") != 0 || !IsWindowVisible(window) ||
        (GetWindowLongW(window, GWL_STYLE) & kBalloonStyle)) {
        return TRUE;
    }
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    return TRUE;
}

int Answer(int button, int waitMs) {
    for (int waited = 0; waited <= waitMs; waited += 50) {
        if (HWND box = FindWindowW(L"#32770", L"Tidewell")) {
            EnumChildWindows(box, PrintStatic, 0);
            std::fflush(stdout);
            HWND control = GetDlgItem(box, button);
            return control && PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
        }
        Sleep(50);
    }
    return 1;
}

// Roles and states as short words, so that the e2e scripts can grep them.
const char* RoleWord(long role) {
    switch (role) {
        case ROLE_SYSTEM_PANE:
            return "pane";
        case ROLE_SYSTEM_PUSHBUTTON:
            return "button";
        case ROLE_SYSTEM_CHECKBUTTON:
            return "checkbox";
        case ROLE_SYSTEM_RADIOBUTTON:
            return "radio";
        default:
            return "other";
    }
}

void PrintElement(IAccessible* object, long child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    BSTR name = nullptr;
    object->get_accRole(id, &role);
    object->get_accState(id, &state);
    object->get_accName(id, &name);
    const long flags = state.vt == VT_I4 ? state.lVal : 0;
    char text[256] = {};
    if (name)
        WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
    std::printf("%s %s%s %s\n", RoleWord(role.vt == VT_I4 ? role.lVal : 0),
                flags & STATE_SYSTEM_FOCUSED ? "focused" : "-",
                flags & STATE_SYSTEM_CHECKED ? ",checked" : "", text);
    SysFreeString(name);
}

int PrintAccessible() {
    HWND panel = FindWindowW(L"TidewellPanel", nullptr);
    if (!panel)
        return 1;
    CoInitialize(nullptr);
    IAccessible* object = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(panel, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        std::fprintf(stderr, "no accessible object: 0x%08lX\n", static_cast<unsigned long>(found));
        return 1;
    }
    // The children as a screen reader asks for them: by the ids the pane hands out, which need
    // not run from 1 to the count.
    long count = 0;
    object->get_accChildCount(&count);
    PrintElement(object, CHILDID_SELF);
    VARIANT children[64];
    LONG got = 0;
    if (count > 64)
        count = 64;
    if (SUCCEEDED(AccessibleChildren(object, 0, count, children, &got))) {
        for (LONG i = 0; i < got; ++i) {
            if (children[i].vt == VT_I4)
                PrintElement(object, children[i].lVal);
            VariantClear(&children[i]);
        }
    }
    VARIANT focus;
    VariantInit(&focus);
    object->get_accFocus(&focus);
    std::printf("focus %ld\n", focus.vt == VT_I4 ? focus.lVal : -1);
    object->Release();
    CoUninitialize();
    return 0;
}

// Runs `use` on the panel's child whose name is `wanted` (UTF-8); 1 when there is none.
template <typename Use>
int OnNamedChild(const char* wanted, Use use) {
    HWND panel = FindWindowW(L"TidewellPanel", nullptr);
    if (!panel)
        return 1;
    CoInitialize(nullptr);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(panel, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        return 1;
    }
    long count = 0;
    object->get_accChildCount(&count);
    VARIANT children[64];
    LONG got = 0;
    int result = 1;
    if (SUCCEEDED(AccessibleChildren(object, 0, count > 64 ? 64 : count, children, &got))) {
        for (LONG i = 0; i < got; ++i) {
            BSTR name = nullptr;
            char text[256] = {};
            if (children[i].vt == VT_I4 && result != 0 &&
                SUCCEEDED(object->get_accName(children[i], &name)) && name) {
                WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
                if (std::strcmp(text, wanted) == 0)
                    result = use(object, children[i]);
            }
            SysFreeString(name);
            VariantClear(&children[i]);
        }
    }
    object->Release();
    CoUninitialize();
    return result;
}

int Locate(IAccessible* object, VARIANT child) {
    long left = 0, top = 0, width = 0, height = 0;
    if (FAILED(object->accLocation(&left, &top, &width, &height, child)))
        return 1;
    VARIANT state;
    VariantInit(&state);
    object->get_accState(child, &state);
    const bool offscreen = state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_OFFSCREEN);
    std::printf("%ld %ld %ld %ld %s\n", left, top, left + width, top + height,
                offscreen ? "offscreen" : "shown");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "hold") == 0) {
        return Hold(std::atoi(argv[2]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "find") == 0) {
        for (int waited = 0; waited <= std::atoi(argv[2]); waited += 50) {
            if (FindWindowW(kClass, nullptr)) return 0;
            Sleep(50);
        }
        return 1;
    }
    if (argc >= 4 && std::strcmp(argv[1], "answer") == 0) {
        return Answer(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "close") == 0) {
        HWND window = FindWindowW(kClass, nullptr);
        return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "command") == 0) {  // a menu command, as the menu posts it
        HWND window = FindWindowW(kClass, nullptr);
        return window && PostMessageW(window, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "quit") == 0) {
        HWND window = FindWindowW(kClass, nullptr);
        if (!window || !PostMessageW(window, WM_COMMAND, 107, 0)) return 1;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const unsigned long long ticks =
            (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        std::printf("%llu\n", ticks / 10000 - 11644473600000ULL);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "tooltip") == 0) {
        EnumWindows(PrintTooltip, 0);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "balloons") == 0) {
        int count = 0;
        EnumWindows(CountBalloon, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return 0;
    }
    if (argc >= 4 && std::strcmp(argv[1], "send") == 0) {  // a command, waiting for its handling
        HWND window = FindWindowW(kClass, nullptr);
        if (!window) return 2;
        LARGE_INTEGER frequency, before, after;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&before);
        DWORD_PTR result = 0;
        const bool handled = SendMessageTimeoutW(window, WM_COMMAND, std::atoi(argv[2]), 0,
                                                 SMTO_NORMAL, std::atoi(argv[3]), &result) != 0;
        QueryPerformanceCounter(&after);
        std::printf("%.1f\n", (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart);
        return handled ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "accessible") == 0) {
        return PrintAccessible();
    }
    if (argc >= 3 && std::strcmp(argv[1], "locate") == 0) {
        return OnNamedChild(argv[2], Locate);
    }
    if (argc >= 3 && std::strcmp(argv[1], "press") == 0) {
        return OnNamedChild(argv[2], [](IAccessible* object, VARIANT child) {
            return SUCCEEDED(object->accDoDefaultAction(child)) ? 0 : 1;
        });
    }
    if (argc >= 2 && std::strcmp(argv[1], "workarea") == 0) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        HWND panel = FindWindowW(L"TidewellPanel", nullptr);
        if (!panel || !GetMonitorInfoW(MonitorFromWindow(panel, MONITOR_DEFAULTTONEAREST), &info)) {
            return 1;
        }
        std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", info.rcWork.left, info.rcWork.top,
                    info.rcWork.right, info.rcWork.bottom, info.rcMonitor.left, info.rcMonitor.top,
                    info.rcMonitor.right, info.rcMonitor.bottom);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "keyselect") == 0) {  // as the shell sends it
        HWND window = FindWindowW(kClass, nullptr);
        // Version 4 icons: the event and the icon's id in lParam, its place on screen in wParam.
        return window && PostMessageW(window, WM_APP + 1, MAKEWPARAM(1010, 755),
                                      MAKELPARAM(NIN_KEYSELECT, 1))
                   ? 0
                   : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "endsession") == 0) {
        HWND window = FindWindowW(kClass, nullptr);
        if (!window) return 2;
        DWORD_PTR mayEnd = 0, ignored = 0;
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &mayEnd);
        const bool returned = SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                                  SMTO_NORMAL, 5000, &ignored) != 0;
        std::printf("%d %d\n", static_cast<int>(mayEnd), returned ? 1 : 0);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "taskbar-created") == 0) {  // as Explorer broadcasts it
        HWND window = FindWindowW(kClass, nullptr);
        const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
        return window && PostMessageW(window, message, 0, 0) ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "theme") == 0) {  // what this system reports
        HIGHCONTRASTW contrast{};
        contrast.cbSize = sizeof contrast;
        const bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                        (contrast.dwFlags & HCF_HIGHCONTRASTON);
        const COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
        std::printf("highcontrast=%d window=%02X%02X%02X windowtext=%02X%02X%02X\n", on ? 1 : 0,
                    GetRValue(window), GetGValue(window), GetBValue(window), GetRValue(text),
                    GetGValue(text), GetBValue(text));
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "colours-changed") == 0) {  // as Settings broadcasts
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "window") == 0) {  // "visible l t r b" or "hidden ..."
        wchar_t name[64];
        std::mbstowcs(name, argv[2], 63);
        name[63] = 0;
        HWND window = FindWindowW(name, nullptr);
        RECT rect{};
        if (!window || !GetWindowRect(window, &rect)) return 1;
        std::printf("%s %ld %ld %ld %ld\n", IsWindowVisible(window) ? "visible" : "hidden", rect.left,
                    rect.top, rect.right, rect.bottom);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: tidewell_probe hold SECONDS | find MS | close | command ID | "
                 "taskbar-created | window CLASS | answer ID MS | send ID MS | balloons | quit | "
                 "accessible | locate NAME | press NAME | workarea | keyselect | endsession\n");
    return 2;
}
