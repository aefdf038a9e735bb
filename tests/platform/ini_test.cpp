#include "platform/ini.h"

#include <gtest/gtest.h>

#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

// The observable behaviour of INI files that the program relies on, the same with the Windows
// profile functions (under Wine) and with the POSIX reader and writer.
class IniFile : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File("test.ini");
};

TEST_F(IniFile, MissingFileAndKeysReadAsDefaults) {
    EXPECT_EQ(IniReadString(path, L"q", L"show", L"auto", 512), L"auto");
    EXPECT_EQ(IniReadInt(path, L"q", L"size", 1), 1);
    EXPECT_EQ(IniReadInt(path, L"q", L"px", INT32_MIN), INT32_MIN);
    ASSERT_TRUE(IniWriteString(path, L"q", L"show", L"claude"));
    EXPECT_EQ(IniReadString(path, L"q", L"other", L"dflt", 512), L"dflt");
    EXPECT_EQ(IniReadString(path, L"l", L"show", L"dflt", 512), L"dflt");
}

TEST_F(IniFile, EveryCharacterRoundTrips) {
    const std::wstring labels[] = {
        L"Weekly \u00b7 All models",  // the middle dot of the limit labels
        L"\u9031\u9593\u306e\u4e0a\u9650",  // CJK
        L"Max \U0001F30A plan",             // an emoji outside the BMP
        L"5-hour limit",
        L"",
    };
    int i = 0;
    for (const std::wstring& label : labels) {
        ASSERT_TRUE(IniWriteString(path, L"l", L"name" + std::to_wstring(i++), label));
    }
    i = 0;
    for (const std::wstring& label : labels) {
        EXPECT_EQ(IniReadString(path, L"l", L"name" + std::to_wstring(i++), L"x", 256), label);
    }
}

TEST_F(IniFile, WritesReplaceValuesAndKeepOtherSectionsAndKeys) {
    IniWriteString(path, L"q", L"a", L"1");
    IniWriteString(path, L"l", L"a", L"other");
    IniWriteString(path, L"q", L"b", L"2");
    IniWriteString(path, L"q", L"a", L"3");
    EXPECT_EQ(IniReadString(path, L"q", L"a", L"", 512), L"3");
    EXPECT_EQ(IniReadString(path, L"q", L"b", L"", 512), L"2");
    EXPECT_EQ(IniReadString(path, L"l", L"a", L"", 512), L"other");
}

TEST_F(IniFile, NamesMatchWithoutCase) {
    IniWriteString(path, L"Q", L"Show", L"codex");
    EXPECT_EQ(IniReadString(path, L"q", L"show", L"", 512), L"codex");
}

TEST_F(IniFile, DeletingASectionRemovesAllItsKeysOnly) {
    IniWriteString(path, L"l", L"n", L"2");
    IniWriteString(path, L"l", L"name0", L"x");
    IniWriteString(path, L"q", L"size", L"2");
    ASSERT_TRUE(IniDeleteSection(path, L"l"));
    EXPECT_EQ(IniReadInt(path, L"l", L"n", 0), 0);
    EXPECT_EQ(IniReadString(path, L"l", L"name0", L"gone", 256), L"gone");
    EXPECT_EQ(IniReadInt(path, L"q", L"size", 1), 2);
}

TEST_F(IniFile, DeletingASectionCreatesAMissingFile) {
    ASSERT_TRUE(IniDeleteSection(path, L"l"));
    IniWriteString(path, L"l", L"at", L"5");
    EXPECT_EQ(IniReadInt(path, L"l", L"at", 0), 5);
}

TEST_F(IniFile, IntegersReadLikeTheProfileFunctions) {
    struct Case {
        const wchar_t* stored;
        int32_t expected;
    };
    const Case cases[] = {
        {L"2", 2},       {L"-2147483648", INT32_MIN}, {L"yes", 0}, {L"12abc", 12},
        {L"0x10", 16},   {L" 7", 7},                  {L"-5", -5}, {L"4294967297", 1},
    };
    for (const Case& c : cases) {
        IniWriteString(path, L"q", L"k", c.stored);
        EXPECT_EQ(IniReadInt(path, L"q", L"k", 99), c.expected) << c.stored;
    }
}

TEST_F(IniFile, LongValuesAreCutToTheBuffer) {
    const std::wstring longValue(300, L'a');
    IniWriteString(path, L"l", L"plan", longValue);
    EXPECT_EQ(IniReadString(path, L"l", L"plan", L"", 256), std::wstring(255, L'a'));
    EXPECT_EQ(IniReadString(path, L"l", L"plan", L"", 512), longValue);
}

TEST_F(IniFile, EmptyPathReadsDefaultsAndWritesNothing) {
    EXPECT_EQ(IniReadString(L"", L"q", L"show", L"auto", 512), L"auto");
    EXPECT_EQ(IniReadInt(L"", L"q", L"size", 1), 1);
    EXPECT_FALSE(IniWriteString(L"", L"q", L"size", L"2"));
    EXPECT_FALSE(IniDeleteSection(L"", L"q"));
}

TEST_F(IniFile, WritesIntoAMissingFolderFail) {
    EXPECT_FALSE(IniWriteString(dir.File("no/such/folder/x.ini"), L"q", L"a", L"1"));
}

}  // namespace

namespace {

TEST(IniReplaceSection, LeavesExactlyTheGivenKeysAndOtherSectionsAlone) {
    TempDir dir;
    const std::wstring path = dir.File("live.ini");
    IniWriteString(path, L"q", L"size", L"2");
    IniWriteString(path, L"l", L"stale", L"1");
    ASSERT_TRUE(IniReplaceSection(path, L"l", {{L"at", L"5"}, {L"name0", L"Weekly \u00b7 Opus"}}));
    EXPECT_EQ(IniReadString(path, L"l", L"stale", L"<gone>", 256), L"<gone>");
    EXPECT_EQ(IniReadString(path, L"l", L"name0", L"", 256), L"Weekly \u00b7 Opus");
    EXPECT_EQ(IniReadInt(path, L"l", L"at", 0), 5);
    EXPECT_EQ(IniReadInt(path, L"q", L"size", 1), 2);
    EXPECT_FALSE(IniReplaceSection(L"", L"l", {{L"at", L"5"}}));
}

}  // namespace
