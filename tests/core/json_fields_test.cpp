#include "core/json_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(FindStringAfterKey, FindsCompactThenSpacedValues) {
    EXPECT_EQ(FindStringAfterKey(R"({"model":"claude-opus-4"})", "model"), "claude-opus-4");
    EXPECT_EQ(FindStringAfterKey(R"({"model": "claude-opus-4"})", "model"), "claude-opus-4");
    // The compact form is tried over the whole text before the spaced one.
    EXPECT_EQ(FindStringAfterKey(R"({"a": "x","a":"y"})", "a"), "y");
    EXPECT_EQ(FindStringAfterKey(R"({"a":"x","a":"y"})", "a"), "x");
    EXPECT_EQ(FindStringAfterKey(R"({"a":"")", "a"), "");
}

TEST(FindStringAfterKey, KeepsEscapesAndStopsAtTheNextQuote) {
    EXPECT_EQ(FindStringAfterKey(R"({"id":"ab\"c"})", "id"), "ab\\");
    EXPECT_EQ(FindStringAfterKey(R"({"p":"C:\\Users\\me"})", "p"), "C:\\\\Users\\\\me");
    EXPECT_EQ(FindStringAfterKey("{\"l\":\"Weekly \xC2\xB7 Opus\"}", "l"), "Weekly \xC2\xB7 Opus");
}

TEST(FindStringAfterKey, ReportsMissingValues) {
    EXPECT_FALSE(FindStringAfterKey("", "a"));
    EXPECT_FALSE(FindStringAfterKey(R"({"a":1})", "a"));
    EXPECT_FALSE(FindStringAfterKey(R"({"a" : "x"})", "a"));   // blank before the colon
    EXPECT_FALSE(FindStringAfterKey("{\"a\":\t\"x\"}", "a"));  // tab after it
    EXPECT_FALSE(FindStringAfterKey(R"({"a":"unterminated)", "a"));
    EXPECT_FALSE(FindStringAfterKey(R"({"ba":"x"})", "a"));   // the quotes belong to the key
    EXPECT_FALSE(FindStringAfterKey(R"({"a":"x"})", "a", 2));  // starts after the key's quote
    EXPECT_FALSE(FindStringAfterKey(R"({"a":"x"})", "a", 999));
}

TEST(FindStringAfterKey, SearchesFromTheStartPosition) {
    const std::string text = R"({"id":"first","usage":{"id":"second"}})";
    EXPECT_EQ(FindStringAfterKey(text, "id"), "first");
    EXPECT_EQ(FindStringAfterKey(text, "id", text.find("\"usage\"")), "second");
    EXPECT_EQ(FindStringAfterKey(text, "id", 1), "first");  // the pattern may begin at start
}

TEST(FindNumberAfterKey, ReadsNumbersAfterOptionalBlanks) {
    struct Case {
        const char* text;
        bool found;
        double value;
    };
    const Case cases[] = {
        {R"({"n":42})", true, 42},
        {R"({"n": 42})", true, 42},
        {R"({"n":   -1.5e3,"m":1})", true, -1500},
        {R"({"n":0.25})", true, 0.25},
        {R"({"n":1e-400})", true, 0},
        {R"({"n":null})", false, 0},
        {R"({"n":"42"})", false, 0},
        {R"({"n":true})", false, 0},
        {R"({"n":})", false, 0},
        {"{\"n\":\t7}", true, 7},  // only blanks are skipped here; strtod skips the tab
    };
    for (const Case& c : cases) {
        double out = 99;
        EXPECT_EQ(FindNumberAfterKey(c.text, "n", 0, kNoLimit, out), c.found) << c.text;
        EXPECT_EQ(out, c.value) << c.text;
    }
}

TEST(FindNumberAfterKey, LeavesOutputAloneWhenTheKeyIsMissing) {
    double out = 99;
    EXPECT_FALSE(FindNumberAfterKey(R"({"n" : 42})", "n", 0, kNoLimit, out));
    EXPECT_EQ(out, 99);
    EXPECT_FALSE(FindNumberAfterKey(R"({"m":42})", "n", 0, kNoLimit, out));
    EXPECT_EQ(out, 99);
    EXPECT_FALSE(FindNumberAfterKey("", "n", 0, kNoLimit, out));
    EXPECT_EQ(out, 99);
}

TEST(FindNumberAfterKey, HonoursStartAndLimit) {
    const std::string text = R"({"a":{"n":1},"b":{"n":2}})";
    const size_t b = text.find("\"b\"");
    double out = 0;
    EXPECT_TRUE(FindNumberAfterKey(text, "n", b, kNoLimit, out));
    EXPECT_EQ(out, 2);
    const size_t secondKey = text.find("\"n\"", b);
    out = 99;
    EXPECT_FALSE(FindNumberAfterKey(text, "n", b, secondKey - 1, out));
    EXPECT_EQ(out, 99);
    EXPECT_TRUE(FindNumberAfterKey(text, "n", b, secondKey, out));  // the limit is inclusive
    EXPECT_EQ(out, 2);
}

TEST(FindNumberAfterKey, MatchesWholeKeysOnly) {
    const std::string text =
        R"({"cache_creation_input_tokens":500,"input_tokens":12,"output_tokens":3})";
    double out = 0;
    EXPECT_TRUE(FindNumberAfterKey(text, "input_tokens", 0, kNoLimit, out));
    EXPECT_EQ(out, 12);
}

TEST(FindNumberAfterKey, AcceptsStrtodSpellings) {
    double out = 0;
    EXPECT_TRUE(FindNumberAfterKey(R"({"n":Infinity})", "n", 0, kNoLimit, out));
    EXPECT_TRUE(std::isinf(out));
    EXPECT_TRUE(FindNumberAfterKey(R"({"n":NaN})", "n", 0, kNoLimit, out));
    EXPECT_TRUE(std::isnan(out));
    EXPECT_TRUE(FindNumberAfterKey(R"({"n":0x10})", "n", 0, kNoLimit, out));
    EXPECT_EQ(out, 16);
}

}  // namespace
