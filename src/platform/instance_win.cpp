#include <windows.h>

#include "platform/instance.h"

bool PostToRunningInstance(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    return window != nullptr && PostMessageW(window, message, wParam, lParam);
}
