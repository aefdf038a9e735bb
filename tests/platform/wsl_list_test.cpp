// What wsl.exe prints, in either of its encodings; the distribution names that may become a
// folder; the environment wsl.exe is started with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/environment_block.h"
#include "platform/wsl_system.h"

namespace {

std::string Utf16(std::u16string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

using Names = std::vector<std::wstring>;

TEST(ParseWslRunningList, ReadsUtf16AndUtf8WithOrWithoutByteOrderMark) {
    const struct {
        std::string output;
        Names names;
    } cases[] = {
        {Utf16(u"\uFEFFUbuntu-24.04\r\nDebian \r\n\r\n"), {L"Ubuntu-24.04", L"Debian"}},
        {Utf16(u"Ubuntu\r\nArch\r\n"), {L"Ubuntu", L"Arch"}},
        {Utf16(u"Arch") + "x", {L"Arch"}},  // an odd byte at the end
        // WSL_UTF8=1 in the environment wsl.exe was started with.
        {"Ubuntu-24.04\r\nDebian\r\n", {L"Ubuntu-24.04", L"Debian"}},
        {"\xEF\xBB\xBFUbuntu\nkali-linux", {L"Ubuntu", L"kali-linux"}},
        {"Ubuntu", {L"Ubuntu"}},
        {"", {}},
        {"\r\n  \r\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWslRunningList(c.output), c.names) << c.output.size();
    }
    // A name outside ASCII, in each encoding.
    EXPECT_EQ(ParseWslRunningList(Utf16(u"\uFEFFD\u00e9bian\r\n")), (Names{L"D\u00e9bian"}));
    EXPECT_EQ(ParseWslRunningList("D\xC3\xA9"
                                  "bian\r\n"),
              (Names{L"D\u00e9bian"}));
}

TEST(ParseWslRunningList, TellsTheEncodingByItsMarkOrItsNulBytes) {
    EXPECT_TRUE(IsUtf16WslOutput("\xFF\xFE"));
    EXPECT_TRUE(IsUtf16WslOutput(Utf16(u"A\n")));
    EXPECT_FALSE(IsUtf16WslOutput("A\n"));
    EXPECT_FALSE(
        IsUtf16WslOutput(std::string("\xEF\xBB\xBF"
                                     "A\0",
                                     5)));
    EXPECT_FALSE(IsUtf16WslOutput(""));
}

TEST(IsUsableWslName, WslsOwnAlphabetAndNoPathTricks) {
    const struct {
        const wchar_t* name;
        bool usable;
    } cases[] =
        {
            {L"Ubuntu", true},     {L"Ubuntu-24.04", true},
            {L"kali_linux", true}, {L"a", true},
            {L"9", true},          {L"a.b", true},
            {L"", false},          {L".", false},
            {L"..", false},        {L".hidden", false},
            {L"Ubuntu.", false},  // Windows drops the dot: another distribution's folder
            {L"a\\b", false},      {L"a/b", false},
            {L"..\\c$", false},    {L"Debian 11", false},
            {L"a:b", false},       {L"D\u00e9bian", false},
            {L"a\u2215b", false},  // a slash look-alike
            {L"a\tb", false},
        };
    for (const auto& c : cases)
        EXPECT_EQ(IsUsableWslName(c.name), c.usable) << c.name;
    EXPECT_FALSE(IsUsableWslName(std::wstring_view(L"a\0b", 3)));
}

TEST(EnvironmentBlockWithout, DropsOnlyThatVariable) {
    using namespace std::string_literals;
    const struct {
        std::wstring block;
        std::wstring kept;
    } cases[] = {
        {L"A=1\0WSL_UTF8=1\0B=2\0\0"s, L"A=1\0B=2\0\0"s},
        {L"wsl_utf8=1\0B=2\0\0"s, L"B=2\0\0"s},  // names compare without case
        {L"WSL_UTF8=1\0\0"s, L"\0\0"s},
        {L"WSL_UTF8X=1\0WSL_UTF=1\0\0"s, L"WSL_UTF8X=1\0WSL_UTF=1\0\0"s},
        {L"=C:=C:\\x\0WSL_UTF8=1\0\0"s, L"=C:=C:\\x\0\0"s},
        {L"A=WSL_UTF8=1\0\0"s, L"A=WSL_UTF8=1\0\0"s},
        {L"A=1\0WSL_UTF8=1"s, L"A=1\0\0"s},  // unterminated
        {L""s, L"\0\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EnvironmentBlockWithout(c.block, L"WSL_UTF8"), c.kept) << c.block.size();
    }
}

}  // namespace
