#pragma once

#include <windows.h>

#include <string>

// What the save dialog offers: the file name, and the one file type (its description, its
// pattern, and the extension added to a name typed without one, without the dot).
struct SaveDialogChoice {
    const wchar_t* fileName;
    const wchar_t* typeName;
    const wchar_t* pattern;
    const wchar_t* extension;
};

// Asks where to save with the system's save dialog, modal to `owner` (the window thread must
// have COM). The chosen file's path; empty when the user cancelled, or the dialog could not be
// shown or gave no path on disk.
std::wstring AskSavePath(HWND owner, const SaveDialogChoice& choice);
