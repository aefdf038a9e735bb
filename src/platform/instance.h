#pragma once

#include <cstdint>

// The hidden main window of the running desktop instance is the program's message hub.
inline constexpr wchar_t kMainWindowClass[] = L"TidewellWnd";

// Posts a message to the running desktop instance's main window. Returns false when there is
// none (and always on systems without the desktop instance).
bool PostToRunningInstance(uint32_t message, uintptr_t wParam, intptr_t lParam);
