#pragma once

#include <windows.h>

#include <string>

// Connects Claude Code's status line to this program, or disconnects it when it is already
// connected, with message boxes owned by `owner`. Returns false when the user declined to
// replace another program's status line (nothing changed).
bool ToggleClaudeConnection(HWND owner);

// The same for one login's settings.json (LoginSettingsPath), its messages naming the login.
bool ToggleLoginConnection(HWND owner, const std::wstring& settingsPath,
                           const std::wstring& loginName);
