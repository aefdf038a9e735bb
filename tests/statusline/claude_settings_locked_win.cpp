// A settings.json that another program holds open without sharing is neither read as empty
// nor replaced.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "platform/system.h"
#include "statusline/claude_settings.h"
#include "support/temp_dir.h"

namespace {

TEST(SettingsFileWindows, ALockedFileIsLeftAlone) {
    TempDir dir;
    const std::string original = "{\"model\": \"opus\"}";
    WriteBytes(dir.path() / "settings.json", original);
    const std::wstring path = dir.File("settings.json");
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(UpdateStatusLineEntryAt(path, true, L"C:\\Tidewell\\tidewell.exe"));
    CloseHandle(lock);
    EXPECT_EQ(ReadWholeFile(path), original);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "settings.json.tidewell-backup"));
}

}  // namespace
