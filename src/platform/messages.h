#pragma once

#include <cstdint>

// Window messages between the program's threads and processes (posted to the hidden main
// window of class "TidewellWnd").
inline constexpr uint32_t MSG_TRAY_CALLBACK = 0x8001;  // WM_APP + 1, from the shell
inline constexpr uint32_t MSG_DATA_READY = 0x8002;     // WM_APP + 2, from the refresh worker
inline constexpr uint32_t MSG_REFRESH_NOW = 0x8003;    // WM_APP + 3, from --statusline
inline constexpr uint32_t MSG_REPORT_DONE = 0x8004;    // WM_APP + 4, the report is written
inline constexpr uint32_t MSG_EXPORT_DONE = 0x8005;    // WM_APP + 5, the history is exported
inline constexpr uint32_t kWmCommand = 0x0111;         // WM_COMMAND
inline constexpr uintptr_t ID_OPEN_PANEL = 111;        // WM_COMMAND id: show the panel
