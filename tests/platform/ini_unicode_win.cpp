// INI files on Windows are written as UTF-16 with a byte-order mark; check the bytes on disk.
#include <gtest/gtest.h>

#include <cstring>

#include "core/settings.h"
#include "platform/ini.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

std::wstring DecodeUtf16(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    return text;
}

TEST(IniFileWindows, IsCreatedAsUtf16WithByteOrderMark) {
    TempDir dir;
    const std::wstring path = dir.File("live.ini");
    IniWriteString(path, L"l", L"name0", L"Weekly \u00b7 \u9031 \U0001F30A");
    const std::string bytes = ReadWholeFile(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(DecodeUtf16(bytes.substr(2)).find(L"name0=Weekly \u00b7 \u9031 \U0001F30A"),
              std::wstring::npos);
}

TEST(IniFileWindows, AnExistingAnsiFileIsLeftAsItIs) {
    TempDir dir;
    WriteBytes(dir.path() / "config.ini", "[q]\r\nsize=2\r\n");
    const std::wstring path = dir.File("config.ini");
    EXPECT_EQ(IniReadInt(path, L"q", L"size", 1), 2);
    IniWriteString(path, L"q", L"alerts", L"0");
    EXPECT_EQ(IniReadInt(path, L"q", L"size", 1), 2);
    EXPECT_EQ(IniReadInt(path, L"q", L"alerts", 1), 0);
}

// An empty file (left by a writer killed while rewriting it in place) or an ANSI one does not
// keep later writes in the ANSI code page: the next write is UTF-16, the middle dot intact.
TEST(IniFileWindows, AnEmptyOrAnsiFileBecomesUtf16AtTheNextWrite) {
    TempDir dir;
    for (const std::string& before :
         {std::string(), std::string("[l]\r\nname0=Weekly \xB7 Opus\r\n")}) {
        WriteBytes(dir.path() / "live.ini", before);
        const std::wstring path = dir.File("live.ini");
        ASSERT_TRUE(IniWriteString(path, L"l", L"name1", L"Weekly \u00b7 \u9031"));
        const std::string bytes = ReadWholeFile(path);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << before.size();
        EXPECT_EQ(IniReadString(path, L"l", L"name1", L"", 256), L"Weekly \u00b7 \u9031");
        if (!before.empty()) {
            EXPECT_EQ(IniReadString(path, L"l", L"name0", L"", 256), L"Weekly \u00b7 Opus");
        }
    }
}

TEST(SettingsFileWindows, KeysAreWrittenInOrder) {
    TempDir dir;
    Settings s = ReadSettings(dir.File("config.ini"));
    s.maxblock = 1234.9;
    s.px = 5;
    s.py = 6;
    WriteSettings(s);
    const std::string bytes = ReadWholeFile(s.configPath);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(
        DecodeUtf16(bytes.substr(2)),
        L"[q]\r\nwelcomed=1\r\nmaxblock=1234\r\nalerts=1\r\nshow=auto\r\npinned=0\r\nsize=1\r\n"
        L"secclaude=1\r\nseccodex=1\r\npx=5\r\npy=6\r\n");
}

}  // namespace
