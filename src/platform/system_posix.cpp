#include "platform/system.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/path_bytes_posix.h"

std::wstring ReadEnvironment(const std::wstring& name) {
    const char* value = std::getenv(BytesFromWide(name).c_str());
    if (value == nullptr) {
        return {};
    }
    std::wstring wide = WideFromBytes(value);
    // The same bound as the Windows build's buffer of 2048 characters.
    if (wide.size() >= 2048) {
        return {};
    }
    return wide;
}

std::wstring ReadUserProfile() { return ReadEnvironment(L"HOME"); }

std::wstring ProgramDataFolder() {
    std::wstring base = ReadEnvironment(L"XDG_CONFIG_HOME");
    if (base.empty() || base[0] != L'/') {
        const std::wstring home = ReadEnvironment(L"HOME");
        if (home.empty()) {
            return {};
        }
        base = WideFromPath(PathFromWide(home) / ".config");
    }
    return WideFromPath(PathFromWide(base) / "tidewell");
}

// One folder for everything here, as before there was a second one on Windows.
std::wstring ProgramLocalDataFolder() { return ProgramDataFolder(); }

std::wstring ComputerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
    return WideFromBytes(buffer);
}

std::wstring TempFolder() {
    const std::wstring tmp = ReadEnvironment(L"TMPDIR");
    return tmp.empty() ? L"/tmp" : tmp;
}

std::wstring ExecutablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::wstring() : WideFromPath(path);
}

std::filesystem::path PathFromWide(const std::wstring& path) {
    return std::filesystem::path(BytesFromWide(path));
}

std::wstring WideFromPath(const std::filesystem::path& path) { return WideFromBytes(path.native()); }
