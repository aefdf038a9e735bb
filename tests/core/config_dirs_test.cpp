#include "core/config_dirs.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitConfigDirs, CommasBlanksAndEmptyItems) {
    struct Case {
        const wchar_t* value;
        std::vector<std::wstring> folders;
    };
    const Case cases[] = {
        {L"", {}},
        {L"a", {L"a"}},
        {L"a,b", {L"a", L"b"}},
        {L" a , b ", {L"a", L"b"}},
        {L"\ta\t", {L"a"}},
        {L"a,,b", {L"a", L"b"}},  // no empty folder: it would be the current one
        {L",a", {L"a"}},
        {L"a,", {L"a"}},
        {L" , ", {}},
        {L",", {}},
        {L"C:\\My Claude,D:\\x y", {L"C:\\My Claude", L"D:\\x y"}},  // blanks inside stay
        {L"ab", {L"ab"}},
    };
    const auto noFolder = [](const std::wstring&) { return false; };
    for (const Case& c : cases)
        EXPECT_EQ(SplitConfigDirs(c.value, noFolder), c.folders) << c.value;
}

// One folder with a comma in its name is that folder; a list whose whole text names no folder
// is split as ever.
TEST(SplitConfigDirs, AFolderNamedWithACommaIsKeptWhole) {
    const std::wstring folder = L"C:\\Users\\Doe, John\\.claude";
    const auto isFolder = [&](const std::wstring& path) { return path == folder; };
    EXPECT_EQ(SplitConfigDirs(L" " + folder + L" ", isFolder), std::vector<std::wstring>{folder});
    EXPECT_EQ(SplitConfigDirs(folder + L",D:\\x", isFolder),
              (std::vector<std::wstring>{L"C:\\Users\\Doe", L"John\\.claude", L"D:\\x"}));
    EXPECT_EQ(SplitConfigDirs(L"a,b", isFolder), (std::vector<std::wstring>{L"a", L"b"}));
}

}  // namespace
