#include "platform/ini_encoding.h"

#include <gtest/gtest.h>

#include "platform/ini.h"
#include "support/temp_dir.h"

namespace {

std::string Utf16Le(std::u16string_view text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(IniTextFromBytes, ReadsEveryEncodingAFileMayHave) {
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-16LE with its mark", Utf16Le(u"[l]\r\nname0=Weekly \u00b7 \u9031\r\n"),
         "[l]\r\nname0=Weekly \xC2\xB7 \xE9\x80\xB1\r\n"},
        {"a surrogate pair", Utf16Le(u"a=\U0001F30A"), "a=\xF0\x9F\x8C\x8A"},
        {"a lone surrogate", Utf16Le(u"a=\xD800z"), "a=\xEF\xBF\xBDz"},
        {"cut inside a character: the odd byte is dropped", Utf16Le(u"n=12").substr(0, 9), "n=1"},
        {"only the mark", "\xFF\xFE", ""},
        {"half the mark is not UTF-16", "\xFF", "\xC3\xBF"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[q]\nshow=caf\xC3\xA9\n", "[q]\nshow=caf\xC3\xA9\n"},
        {"plain UTF-8", "name0=Weekly \xC2\xB7 Opus", "name0=Weekly \xC2\xB7 Opus"},
        {"ANSI middle dot", "name0=Weekly \xB7 Opus", "name0=Weekly \xC2\xB7 Opus"},
        {"ANSI euro sign (Windows-1252, not Latin-1)", "x=\x80", "x=\xE2\x82\xAC"},
        {"ANSI byte 0x81, undefined in Windows-1252", "x=\x81", "x=\xC2\x81"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniTextFromBytes(c.bytes), c.text) << c.name;
    }
}

TEST(IniBytesFromText, WindowsFilesAreUtf16WithTheirMarkAndCrlf) {
    EXPECT_EQ(IniBytesFromText("[l]\nn=1\r\nx=\xC2\xB7\n", IniEncoding::Utf16LeCrlf),
              Utf16Le(u"[l]\r\nn=1\r\nx=\u00b7\r\n"));
    EXPECT_EQ(IniBytesFromText("a=\xF0\x9F\x8C\x8A", IniEncoding::Utf16LeCrlf),
              Utf16Le(u"a=\U0001F30A"));
    EXPECT_EQ(IniBytesFromText("a=\xB7", IniEncoding::Utf16LeCrlf), Utf16Le(u"a=\xFFFD"));
    EXPECT_EQ(IniBytesFromText("", IniEncoding::Utf16LeCrlf), "\xFF\xFE");
    EXPECT_EQ(IniBytesFromText("[l]\nx=\xC2\xB7\n", IniEncoding::Utf8), "[l]\nx=\xC2\xB7\n");
}

// A file an older build left in the ANSI code page (after it once found a 0-byte file) is read,
// and the next write stores it in this build's encoding, the middle dot intact.
TEST(IniFileRead, AnAnsiFileIsReadAndWrittenBackWhole) {
    TempDir dir;
    const std::wstring path = dir.File("live.ini");
    WriteBytes(dir.path() / "live.ini", "[l]\r\nn=1\r\nname0=Weekly \xB7 All models\r\n");
    const IniFile file = IniFile::Read(path);
    EXPECT_EQ(file.String(L"l", L"name0", L"", 256), L"Weekly \u00b7 All models");
    EXPECT_EQ(file.Int(L"l", L"n", 0), 1);
    ASSERT_TRUE(IniWriteString(path, L"l", L"at", L"5"));
    EXPECT_EQ(IniReadString(path, L"l", L"name0", L"", 256), L"Weekly \u00b7 All models");
    EXPECT_EQ(IniTextFromBytes(IniBytesFromText("x", IniFileEncoding())), "x");
}

TEST(IniWriteKeys, SetsSeveralKeysInOneWriteAndKeepsTheRest) {
    TempDir dir;
    const std::wstring path = dir.File("config.ini");
    IniWriteString(path, L"q", L"welcomed", L"1");
    IniWriteString(path, L"l", L"n", L"2");
    ASSERT_TRUE(
        IniWriteKeys(path, L"q", {{L"size", L"2"}, {L"show", L"codex"}, {L"Welcomed", L"1"}}));
    const IniFile file = IniFile::Read(path);
    EXPECT_EQ(file.Int(L"q", L"size", 1), 2);
    EXPECT_EQ(file.String(L"q", L"show", L"", 512), L"codex");
    EXPECT_EQ(file.Int(L"q", L"welcomed", 0), 1);
    EXPECT_EQ(file.Int(L"l", L"n", 0), 2);
    EXPECT_FALSE(IniWriteKeys(L"", L"q", {{L"size", L"2"}}));
}

}  // namespace
