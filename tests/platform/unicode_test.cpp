#include "platform/unicode.h"

#include <gtest/gtest.h>

namespace {

TEST(Unicode, RoundTripsEveryPlane) {
    const std::wstring samples[] = {
        L"", L"plain", L"Weekly \u00b7 Opus", L"\u9031\u9593", L"wave \U0001F30A", L"\u00e9\u00e8",
    };
    for (const std::wstring& s : samples) {
        EXPECT_EQ(Utf8ToWide(WideToUtf8(s)), s);
    }
    EXPECT_EQ(WideToUtf8(L"\u00b7"), "\xC2\xB7");
    EXPECT_EQ(WideToUtf8(L"\U0001F30A"), "\xF0\x9F\x8C\x8A");
    EXPECT_EQ(Utf8ToWide("\xE2\x80\xA6"), L"\u2026");
}

TEST(Unicode, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xC3"), L"\uFFFD");           // truncated sequence
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80").find(L'\uFFFD'), 0u);  // encoded surrogate
    EXPECT_EQ(Utf8ToWide("\xC0\xAF").find(L'/'), std::wstring::npos);  // overlong slash
}

TEST(Unicode, EmbeddedNulsArePreserved) {
    const std::string bytes("a\0b", 3);
    EXPECT_EQ(Utf8ToWide(bytes), std::wstring(L"a\0b", 3));
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), bytes);
}

}  // namespace
