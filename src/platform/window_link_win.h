#pragma once

#include <windows.h>

// A window procedure's way back to the object that serves its window: the object is passed as
// the creation parameter and kept with the window until WM_NCDESTROY. Null before WM_NCCREATE
// and after WM_NCDESTROY (and for messages of windows created without an object).
template <typename Object>
Object* LinkedObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object =
            static_cast<Object*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    auto* object = reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return object;
}
