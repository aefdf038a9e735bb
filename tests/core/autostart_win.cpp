// The Run value under Wine's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/autostart.h"

namespace {

std::wstring RunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                     L"Tidewell", RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return L"<none>";
    }
    return data;
}

TEST(AutostartWindows, TheRunValueComesAndGoes) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    SetAutostart(true);
    EXPECT_TRUE(IsAutostartOn());
    EXPECT_EQ(RunValue(), L"\"" + std::wstring(path) + L"\" --autostart");
    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());
    SetAutostart(false);
    EXPECT_EQ(RunValue(), L"<none>");
}

}  // namespace
