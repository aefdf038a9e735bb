// The Run value and Task Manager's switch under Wine's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/autostart.h"
#include "platform/system.h"

namespace {

constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApproved[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

std::wstring RunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kRun, L"Tidewell", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return L"<none>";
    }
    return data;
}

void SetApproval(const std::string& data) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kApproved, L"Tidewell", REG_BINARY, data.data(),
                    static_cast<DWORD>(data.size()));
}

std::string Approval() {
    char data[64] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, kApproved, L"Tidewell", RRF_RT_REG_BINARY, nullptr, data,
                     &size) != ERROR_SUCCESS) {
        return "<none>";
    }
    return std::string(data, size);
}

const std::string kDisabled("\x03\0\0\0\xd4\x0d\x43\x8d\xc8\x3b\xd9\x01", 12);

TEST(AutostartWindows, TheRunValueComesAndGoes) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApproved, L"Tidewell");
    SetAutostart(true);
    EXPECT_TRUE(IsAutostartOn());
    EXPECT_EQ(RunValue(), L"\"" + ExecutablePath() + L"\" --autostart");
    EXPECT_EQ(Approval(), "<none>");  // Task Manager's key is left alone while it says nothing
    SetAutostart(false);
    EXPECT_FALSE(IsAutostartOn());
    SetAutostart(false);
    EXPECT_EQ(RunValue(), L"<none>");
}

// Disabled in Task Manager: shown as off, a start keeps it off, and switching it on here wins.
TEST(AutostartWindows, TaskManagersSwitchIsTheTruth) {
    SetAutostart(true);
    SetApproval(kDisabled);
    EXPECT_FALSE(IsAutostartOn());

    const std::wstring moved = L"\"C:\\old\\tidewell.exe\" --autostart";
    RegSetKeyValueW(HKEY_CURRENT_USER, kRun, L"Tidewell", REG_SZ, moved.c_str(),
                    static_cast<DWORD>((moved.size() + 1) * sizeof(wchar_t)));
    RefreshAutostartCommand();
    EXPECT_EQ(RunValue(), L"\"" + ExecutablePath() + L"\" --autostart");
    EXPECT_EQ(Approval(), kDisabled);
    EXPECT_FALSE(IsAutostartOn());

    SetAutostart(true, false);  // a first run after the settings were deleted: still disabled
    EXPECT_FALSE(IsAutostartOn());
    EXPECT_EQ(Approval(), kDisabled);

    SetAutostart(true);
    EXPECT_TRUE(IsAutostartOn());
    EXPECT_EQ(Approval(), std::string(StartupApprovalEnabled()));

    SetAutostart(false);
    RefreshAutostartCommand();  // no Run value: nothing comes back
    EXPECT_EQ(RunValue(), L"<none>");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApproved, L"Tidewell");
}

}  // namespace
