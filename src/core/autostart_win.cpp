#include <windows.h>

#include "core/autostart.h"
#include "platform/handles_win.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Tidewell";

RegistryKey OpenRunKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, access, &key) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

}  // namespace

bool IsAutostartOn() {
    const RegistryKey key = OpenRunKey(KEY_READ);
    return key &&
           RegQueryValueExW(key.get(), kValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetAutostart(bool on) {
    const RegistryKey key = OpenRunKey(KEY_SET_VALUE);
    if (!key) {
        return;
    }
    if (on) {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::wstring data = AutostartCommand(std::wstring(path, length));
            RegSetValueExW(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
    } else {
        RegDeleteValueW(key.get(), kValueName);
    }
}
