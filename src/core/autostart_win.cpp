#include <windows.h>

#include <string>

#include "core/autostart.h"
#include "platform/handles_win.h"
#include "platform/system.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValueName[] = L"Tidewell";

RegistryKey OpenKey(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &key) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

bool RunValueExists() {
    const RegistryKey key = OpenKey(kRunKey, KEY_QUERY_VALUE);
    return key && RegQueryValueExW(key.get(), kValueName, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
}

// The StartupApproved value's data (its first bytes are all that matter), empty when missing.
std::string ApprovalData() {
    const RegistryKey key = OpenKey(kApprovedKey, KEY_QUERY_VALUE);
    if (!key)
        return {};
    char data[64] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExW(key.get(), kValueName, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &size);
    // A larger value than this buffer still has its first byte read: ERROR_MORE_DATA fills none,
    // so it is asked for whole.
    if (status == ERROR_MORE_DATA) {
        std::string whole(size, '\0');
        if (RegQueryValueExW(key.get(), kValueName, nullptr, &type,
                             reinterpret_cast<BYTE*>(whole.data()), &size) == ERROR_SUCCESS) {
            whole.resize(size);
            return whole;
        }
        return {};
    }
    return status == ERROR_SUCCESS ? std::string(data, size) : std::string();
}

void WriteRunValue(HKEY key) {
    const std::wstring path = ExecutablePath();
    if (path.empty())
        return;
    const std::wstring data = AutostartCommand(path);
    RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

bool IsAutostartOn() {
    return RunValueExists() && !StartupApprovalDisables(ApprovalData());
}

void SetAutostart(bool on, bool overTaskManager) {
    const RegistryKey key = OpenKey(kRunKey, KEY_SET_VALUE);
    if (!key) {
        return;
    }
    if (!on) {
        RegDeleteValueW(key.get(), kValueName);
        return;
    }
    WriteRunValue(key.get());
    // Switching it on here is the user's latest word: Task Manager's "disabled" gives way.
    if (overTaskManager && StartupApprovalDisables(ApprovalData())) {
        const RegistryKey approved = OpenKey(kApprovedKey, KEY_SET_VALUE);
        const std::string_view enabled = StartupApprovalEnabled();
        if (approved)
            RegSetValueExW(approved.get(), kValueName, 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(enabled.data()),
                           static_cast<DWORD>(enabled.size()));
    }
}

void RefreshAutostartCommand() {
    if (!RunValueExists())
        return;
    const RegistryKey key = OpenKey(kRunKey, KEY_SET_VALUE);
    if (key)
        WriteRunValue(key.get());
}
