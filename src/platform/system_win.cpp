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

namespace {

std::wstring TidewellIn(int folderId) {
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, folderId, nullptr, 0, base)) || !base[0]) {
        return {};
    }
    return (std::filesystem::path(base) / L"Tidewell").wstring();
}

}  // namespace

std::wstring ProgramDataFolder() { return TidewellIn(CSIDL_APPDATA); }

std::wstring ProgramLocalDataFolder() { return TidewellIn(CSIDL_LOCAL_APPDATA); }

std::wstring ComputerName() {
    wchar_t buffer[256];
    DWORD length = 256;
    if (!GetComputerNameExW(ComputerNameDnsHostname, buffer, &length)) return {};
    return std::wstring(buffer, length);
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
