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
    for (const Case& c : cases)
        EXPECT_EQ(SplitConfigDirs(c.value), c.folders) << c.value;
}

}  // namespace
