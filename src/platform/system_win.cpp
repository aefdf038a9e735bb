#include "platform/system.h"

#include <windows.h>
#include <shlobj.h>

std::wstring ReadEnvironment(const std::wstring& name) {
    constexpr DWORD kBufferChars = 2048;
    wchar_t buffer[kBufferChars];
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, kBufferChars);
    if (length == 0 || length >= kBufferChars) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::wstring ReadUserProfile() { return ReadEnvironment(L"USERPROFILE"); }

std::wstring ProgramDataFolder() {
    wchar_t appData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData)) || !appData[0]) {
        return {};
    }
    return (std::filesystem::path(appData) / L"Tidewell").wstring();
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::wstring ExecutablePath() {
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, 32768);
    if (length == 0 || length >= 32768) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::filesystem::path PathFromWide(const std::wstring& path) { return std::filesystem::path(path); }

std::wstring WideFromPath(const std::filesystem::path& path) { return path.wstring(); }
