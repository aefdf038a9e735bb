#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's folder picker, modal to `owner`, opened in `startFolder` when it names one. The
// chosen folder's file-system path, or nothing when the user cancelled, picked something that
// is not a folder on disk, or the dialog could not be shown.
std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& title,
                                       const std::wstring& startFolder);
