#include "platform/ini_text.h"

#include <gtest/gtest.h>

namespace {

TEST(IniText, ReadsTrimmedAndUnquotedValues) {
    const std::string text =
        "; comment\r\n[q]\r\n  maxblock = 1234.75  \r\nshow=\"codex\"\r\nempty=\r\n[l]\r\nat=5";
    EXPECT_EQ(IniTextGet(text, "q", "maxblock"), "1234.75");
    EXPECT_EQ(IniTextGet(text, "q", "show"), "codex");
    EXPECT_EQ(IniTextGet(text, "q", "empty"), "");
    EXPECT_EQ(IniTextGet(text, "l", "at"), "5");
    EXPECT_FALSE(IniTextGet(text, "q", "at"));
    EXPECT_FALSE(IniTextGet(text, "x", "at"));
}

TEST(IniText, KeysOfTheFirstSectionInOrder) {
    const std::string text =
        "[q]\r\n; note\r\n a = 1\r\n\r\nB=\r\nbare\r\na=2\r\n[l]\r\nc=3\r\n[q]\r\nd=4";
    EXPECT_EQ(IniTextKeys(text, "Q"), (std::vector<std::string>{"a", "B", "bare", "a"}));
    EXPECT_EQ(IniTextKeys(text, "l"), std::vector<std::string>{"c"});
    EXPECT_TRUE(IniTextKeys(text, "x").empty());
    EXPECT_TRUE(IniTextKeys("", "q").empty());
}

TEST(IniText, FirstSectionAndKeyWin) {
    const std::string text = "[q]\na=1\na=2\n[q]\na=3\n";
    EXPECT_EQ(IniTextGet(text, "q", "a"), "1");
}

TEST(IniText, SetReplacesInPlaceAppendsAndCreatesSections) {
    std::string text;
    text = IniTextSet(text, "q", "a", "1");
    EXPECT_EQ(text, "[q]\na=1\n");
    text = IniTextSet(text, "l", "n", "0");
    text = IniTextSet(text, "q", "b", "2");
    EXPECT_EQ(text, "[q]\na=1\nb=2\n[l]\nn=0\n");
    text = IniTextSet(text, "Q", "A", "9");
    EXPECT_EQ(text, "[q]\nA=9\nb=2\n[l]\nn=0\n");
}

TEST(IniText, SetKeepsForeignLinesAndCrlf) {
    const std::string text = "[q]\r\n; note\r\na=1\r\n\r\n[l]\r\nn=0";
    EXPECT_EQ(IniTextSet(text, "q", "b", "2"), "[q]\r\n; note\r\na=1\r\nb=2\n\r\n[l]\r\nn=0");
    EXPECT_EQ(IniTextSet(text, "l", "at", "7"), "[q]\r\n; note\r\na=1\r\n\r\n[l]\r\nn=0\nat=7\n");
}

TEST(IniText, DeleteSectionRemovesEveryCopy) {
    const std::string text = "[l]\nn=1\n[q]\nsize=2\n[L]\nx=1\n";
    EXPECT_EQ(IniTextDeleteSection(text, "l"), "[q]\nsize=2\n");
    EXPECT_EQ(IniTextDeleteSection("", "l"), "");
}

TEST(IniText, DeleteKeyOnlyInItsSection) {
    const std::string text = "[l]\npx=1\n[q]\r\nPX = 5\r\n;px=6\r\npy=7\r\n[r]\npx=8\n";
    EXPECT_EQ(IniTextDeleteKey(text, "q", "px"), "[l]\npx=1\n[q]\r\n;px=6\r\npy=7\r\n[r]\npx=8\n");
    EXPECT_EQ(IniTextDeleteKey(text, "none", "px"), text);
    EXPECT_EQ(IniTextDeleteKey("", "q", "px"), "");
}

}  // namespace

namespace {

TEST(IniText, ReplaceSectionKeepsItsPlaceAndDropsCopies) {
    EXPECT_EQ(IniTextReplaceSection("", "l", "at=1\n"), "[l]\nat=1\n");
    EXPECT_EQ(IniTextReplaceSection("[q]\nsize=2", "l", "n=0\n"), "[q]\nsize=2\n[l]\nn=0\n");
    EXPECT_EQ(IniTextReplaceSection("[l]\nold=1\n[q]\nsize=2\n[L]\nx=1\n", "l", "n=1\n"),
              "[l]\nn=1\n[q]\nsize=2\n");
}

}  // namespace
